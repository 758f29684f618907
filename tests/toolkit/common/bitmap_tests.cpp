#include <sys/stat.h>

#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "temporary_directory.h"
#include "tk/common/builtin_bitmaps.h"
#include "tk/common/dib_reader.h"
#include "tk/common/image_file.h"

using tk::common::decodeDib;
using tk::common::DibError;

namespace {

// Writes a bitmap file the way other programs do, for the reader to read.
struct DibBuilder {
    int bits = 24;
    int width = 0;
    int height = 0;  // negative: top-down
    std::uint32_t compression = 0;
    std::vector<std::uint32_t> palette;        // 0x00RRGGBB
    std::vector<std::uint32_t> masks;          // bit fields, written after the header
    std::vector<std::vector<std::uint32_t>> rows;  // values per pixel, top row first

    std::vector<std::uint8_t> build() const {
        std::vector<std::uint8_t> out;
        auto put = [&](std::uint64_t v, int bytes) {
            for (int i = 0; i < bytes; ++i) out.push_back((v >> (8 * i)) & 0xFF);
        };
        const int h = height < 0 ? -height : height;
        const std::size_t stride = (static_cast<std::size_t>(width) * bits + 31) / 32 * 4;
        const std::size_t offset = 14 + 40 + masks.size() * 4 + palette.size() * 4;
        out.push_back('B');
        out.push_back('M');
        put(offset + stride * h, 4);
        put(0, 4);
        put(offset, 4);
        put(40, 4);
        put(static_cast<std::uint32_t>(width), 4);
        put(static_cast<std::uint32_t>(height), 4);
        put(1, 2);
        put(bits, 2);
        put(compression, 4);
        put(stride * h, 4);
        put(0, 8);
        put(palette.size(), 4);
        put(0, 4);
        for (auto m : masks) put(m, 4);
        for (auto c : palette) put(((c & 0xFF)) | (c & 0xFF00) | ((c >> 16) & 0xFF) << 16, 4);
        for (int r = 0; r < h; ++r) {
            const auto& row = rows[height < 0 ? r : h - 1 - r];  // bottom-up stores the last row first
            std::vector<std::uint8_t> bytes(stride, 0);
            for (int x = 0; x < width; ++x) {
                std::uint32_t v = row[x];
                if (bits < 8) {
                    int bit = x * bits;
                    bytes[bit / 8] |= static_cast<std::uint8_t>(v << (8 - bits - bit % 8));
                } else {
                    for (int i = 0; i < bits / 8; ++i) bytes[x * (bits / 8) + i] = (v >> (8 * i)) & 0xFF;
                }
            }
            out.insert(out.end(), bytes.begin(), bytes.end());
        }
        return out;
    }
};

// Stores 0x00RRGGBB the way a 24- or 32-bit file does (blue first).
std::uint32_t bgr(std::uint32_t c) { return c; }

const std::uint32_t kRed = tk::rgb(255, 0, 0), kGreen = tk::rgb(0, 255, 0), kBlue = tk::rgb(0, 0, 255),
                    kWhite = tk::rgb(255, 255, 255);

void expectPixels(const tk::Bitmap& b, const std::vector<std::vector<std::uint32_t>>& rows) {
    ASSERT_EQ(b.height, static_cast<int>(rows.size()));
    ASSERT_EQ(b.width, static_cast<int>(rows[0].size()));
    for (int y = 0; y < b.height; ++y)
        for (int x = 0; x < b.width; ++x) EXPECT_EQ(b.at(x, y), rows[y][x]) << "pixel " << x << "," << y;
}

}  // namespace

TEST(DibReader, ReadsPalettedDepthsBottomUpAndTopDown) {
    for (int bits : {1, 4, 8}) {
        for (int sign : {1, -1}) {
            DibBuilder d;
            d.bits = bits;
            d.width = 3;
            d.height = 2 * sign;
            d.palette = {kWhite, kRed};
            d.rows = {{1, 0, 1}, {0, 0, 1}};
            auto result = decodeDib(d.build());
            ASSERT_TRUE(result.bitmap) << bits << " bits: " << result.message;
            expectPixels(*result.bitmap, {{kRed, kWhite, kRed}, {kWhite, kWhite, kRed}});
        }
    }
}

TEST(DibReader, ReadsTrueColourDepths) {
    DibBuilder d24;
    d24.width = 2;
    d24.height = 2;
    d24.rows = {{bgr(kRed), bgr(kGreen)}, {bgr(kBlue), bgr(kWhite)}};
    auto r24 = decodeDib(d24.build());
    ASSERT_TRUE(r24.bitmap) << r24.message;
    expectPixels(*r24.bitmap, {{kRed, kGreen}, {kBlue, kWhite}});

    DibBuilder d32 = d24;
    d32.bits = 32;
    d32.height = -2;
    d32.rows = {{0xFF000000u | kRed, kGreen}, {kBlue, kWhite}};  // the fourth byte is ignored
    auto r32 = decodeDib(d32.build());
    ASSERT_TRUE(r32.bitmap) << r32.message;
    expectPixels(*r32.bitmap, {{kRed, kGreen}, {kBlue, kWhite}});

    DibBuilder d16;  // 5-6-5 bit fields
    d16.bits = 16;
    d16.compression = 3;
    d16.masks = {0xF800, 0x07E0, 0x001F};
    d16.width = 2;
    d16.height = 1;
    d16.rows = {{0xF800, 0x07E0}};
    auto r16 = decodeDib(d16.build());
    ASSERT_TRUE(r16.bitmap) << r16.message;
    expectPixels(*r16.bitmap, {{kRed, kGreen}});
}

TEST(DibReader, RefusesMalformedFilesWithAReason) {
    DibBuilder good;
    good.width = 4;
    good.height = 4;
    good.rows.assign(4, std::vector<std::uint32_t>(4, kRed));
    const std::vector<std::uint8_t> file = good.build();
    auto patched = [&](std::size_t at, std::uint32_t value) {
        auto copy = file;
        for (int i = 0; i < 4; ++i) copy[at + i] = (value >> (8 * i)) & 0xFF;
        return copy;
    };
    struct Case {
        const char* what;
        std::vector<std::uint8_t> bytes;
        DibError error;
    };
    std::vector<std::uint8_t> notBm = file;
    notBm[0] = 'X';
    const std::vector<Case> cases = {
        {"empty", {}, DibError::NotABitmap},
        {"not BM", notBm, DibError::NotABitmap},
        {"header size", patched(14, 99), DibError::BadHeader},
        {"width 0", patched(18, 0), DibError::BadSize},
        {"negative width", patched(18, 0xFFFFFFF0u), DibError::BadSize},
        {"absurd width", patched(18, 100000), DibError::BadSize},
        {"absurd area", [&] {
             auto copy = patched(18, 5000);
             copy[22] = 5000 & 0xFF;
             copy[23] = 5000 >> 8;
             return copy;
         }(),
         DibError::BadSize},
        {"run-length compressed", patched(30, 1), DibError::Unsupported},
        {"pixel offset beyond the end", patched(10, 0x7FFFFFFF), DibError::Truncated},
        {"header cut", std::vector<std::uint8_t>(file.begin(), file.begin() + 30), DibError::Truncated},
        {"pixels cut", std::vector<std::uint8_t>(file.begin(), file.end() - 5), DibError::Truncated},
    };
    for (const auto& c : cases) {
        auto result = decodeDib(c.bytes);
        EXPECT_FALSE(result.bitmap) << c.what;
        EXPECT_EQ(result.error, c.error) << c.what << ": " << result.message;
        EXPECT_FALSE(result.message.empty()) << c.what;
    }
}

// Every shortened copy of a valid file is refused, never read past its end;
// only the padding after the last row may be missing.
TEST(DibReader, EveryTruncationIsRefused) {
    DibBuilder d;
    d.bits = 4;
    d.width = 5;
    d.height = 3;
    d.palette = {kWhite, kRed, kGreen};
    d.rows = {{0, 1, 2, 1, 0}, {2, 2, 2, 2, 2}, {1, 1, 0, 0, 1}};
    const auto file = d.build();
    auto whole = decodeDib(file);
    ASSERT_TRUE(whole.bitmap);
    const std::size_t padding = 1;  // rows of 5 four-bit pixels take 3 of their 4 bytes
    auto unpadded = decodeDib(std::span(file.data(), file.size() - padding));
    ASSERT_TRUE(unpadded.bitmap);
    EXPECT_EQ(unpadded.bitmap->pixels, whole.bitmap->pixels);
    for (std::size_t n = 0; n < file.size() - padding; ++n)
        EXPECT_FALSE(decodeDib(std::span(file.data(), n)).bitmap) << "length " << n;
}

TEST(DibReader, ReadsFilesAndReportsMissingOnes) {
    TemporaryDirectory dir;
    auto missing = tk::common::readDibFile(dir / "none.bmp");
    EXPECT_EQ(missing.error, DibError::CannotOpen);
    // A FIFO named as a bitmap is refused at once, not waited on.
    ASSERT_EQ(::mkfifo((dir / "pipe.bmp").c_str(), 0644), 0);
    auto pipe = tk::common::readDibFile(dir / "pipe.bmp");
    EXPECT_EQ(pipe.error, DibError::CannotOpen);
    EXPECT_NE(pipe.message.find(dir / "pipe.bmp"), std::string::npos) << pipe.message;

    // What the image writer writes, the reader reads back unchanged.
    tk::Bitmap strip = tk::common::builtinBitmap(tk::common::kOptionStripBitmap);
    ASSERT_TRUE(tk::common::writeImageFile(dir / "strip.bmp", strip));
    auto read = tk::common::readDibFile(dir / "strip.bmp");
    ASSERT_TRUE(read.bitmap) << read.message;
    EXPECT_EQ(read.bitmap->pixels, strip.pixels);
}

TEST(BuiltinBitmaps, HaveTheSizesTheModuleExpects) {
    tk::Bitmap placeholder = tk::common::builtinBitmap(125);
    EXPECT_EQ(placeholder.width, 20);
    EXPECT_EQ(placeholder.height, 20);
    tk::Bitmap strip = tk::common::builtinBitmap(114);
    EXPECT_EQ(strip.width, 4 * 15);
    EXPECT_EQ(strip.height, 14);
    EXPECT_TRUE(tk::common::builtinBitmap(999).empty());
    // The four strip images differ from one another.
    auto image = [&](int i) {
        std::vector<std::uint32_t> px;
        for (int y = 0; y < 14; ++y)
            for (int x = 0; x < 15; ++x) px.push_back(strip.at(i * 15 + x, y));
        return px;
    };
    for (int i = 0; i < 4; ++i)
        for (int j = i + 1; j < 4; ++j) EXPECT_NE(image(i), image(j));
}

TEST(ImageFile, WritesPortablePixmaps) {
    tk::Bitmap b(2, 1);
    b.set(0, 0, kRed);
    b.set(1, 0, kBlue);
    auto bytes = tk::common::encodePpm(b);
    const std::string header = "P6\n2 1\n255\n";
    ASSERT_EQ(bytes.size(), header.size() + 6);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + header.size()), header);
    EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin() + header.size(), bytes.end()),
              (std::vector<std::uint8_t>{255, 0, 0, 0, 0, 255}));
}
