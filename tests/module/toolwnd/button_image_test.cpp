// Button images: bitmap files as read, and the placeholder for files that
// are missing or malformed (never a read past the file's end).
#include <gtest/gtest.h>

#include <fstream>

#include "grid_fixture.h"
#include "support/session_harness.h"
#include "tk/common/image_file.h"
#include "toolwnd/button_image.h"

namespace zan::test {
namespace {

class ButtonImage : public GridTest {
protected:
    std::string dir = makeTempDirectory("images");
    void write(const std::string& name, const std::vector<std::uint8_t>& bytes) {
        std::ofstream(dir + "/" + name, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    static void put32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    }
    static tk::Bitmap gradient() {
        tk::Bitmap b(20, 20);
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 20; ++x) b.set(x, y, tk::rgb(x * 12, y * 12, 100));
        return b;
    }
    tk::Bitmap placeholder() { return tk::platform().loadBitmapResource(kPlaceholderBitmap); }
};

TEST_F(ButtonImage, AFileIsReadAndShownInItsButton) {
    write("good.bmp", tk::common::encodeBmp(gradient()));
    tk::Bitmap read = loadButtonImage(dir + "/", "good.bmp");
    EXPECT_EQ(read.pixels, gradient().pixels);

    window = new ButtonGridWindow;
    ASSERT_TRUE(window->create("TEST", "Grid", {0, 0}, nullptr));
    window->setImageSize(20, 20);
    window->setBitmapDirectory(dir);
    GridItems list;
    list.push_back(std::make_unique<TestItem>("one", "good.bmp"));
    list.push_back(std::make_unique<TestItem>("two", "missing.bmp"));
    window->appendItems(std::move(list));
    window->show();
    tk::Bitmap shown = clientImage();
    EXPECT_EQ(shown.at(1 + 1 + 2 + 5, 1 + 1 + 2 + 7), gradient().at(5, 7));
    EXPECT_EQ(shown.at(27 + 1 + 2 + 5, 1 + 1 + 2 + 7), placeholder().at(5, 7));
}

TEST_F(ButtonImage, MissingEmptyAndMalformedFilesGiveThePlaceholder) {
    EXPECT_EQ(loadButtonImage(dir + "/", "missing.bmp").pixels, placeholder().pixels);
    EXPECT_EQ(loadButtonImage(dir + "/", "").pixels, placeholder().pixels);

    const std::vector<std::uint8_t> good = tk::common::encodeBmp(gradient());
    std::vector<std::uint8_t> offsetPastEnd = good;
    put32(offsetPastEnd, 10, 0x7FFFFFF0);
    std::vector<std::uint8_t> oddDepth = good;
    oddDepth[28] = 7;
    std::vector<std::uint8_t> hugeSize = good;
    put32(hugeSize, 18, 0x40000000);
    std::vector<std::uint8_t> truncated(good.begin(), good.begin() + 300);
    // An 8-bit header whose colour table would run past the end of the file.
    std::vector<std::uint8_t> tableTooLong(good.begin(), good.begin() + 80);
    tableTooLong[28] = 8;
    put32(tableTooLong, 46, 256);
    std::vector<std::uint8_t> notABitmap = {'G', 'I', 'F', '8'};

    int n = 0;
    for (const auto* bytes : {&offsetPastEnd, &oddDepth, &hugeSize, &truncated, &tableTooLong, &notABitmap}) {
        const std::string name = "bad" + std::to_string(n++) + ".bmp";
        write(name, *bytes);
        EXPECT_EQ(loadButtonImage(dir + "/", name).pixels, placeholder().pixels) << name;
    }
}

}  // namespace
}  // namespace zan::test
