// The button-grid window on the headless platform: layout, painting, clicks,
// items added and removed, the system-menu commands, roll-up, the option
// strip and the common writer.
#include <filesystem>
#include <fstream>
#include <iterator>

#include "grid_fixture.h"
#include "support/session_harness.h"
#include "tk/common/image_file.h"

namespace zan::test {
namespace {

const tk::Color kWhite = tk::rgb(255, 255, 255), kDarkGrey = tk::rgb(128, 128, 128),
                kLightGrey = tk::rgb(192, 192, 192);

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Colours of the four edges of button k: left, top, right, bottom, each
// checked on both of its two pixel lines.
void expectEdges(const tk::Bitmap& image, tk::Rect cell, tk::Color first, tk::Color second) {
    SCOPED_TRACE("cell at " + std::to_string(cell.left) + "," + std::to_string(cell.top));
    const int x = cell.left + 1, y = cell.top + 1;  // the button's client area, inside its border
    for (int d : {0, 1}) {
        EXPECT_EQ(image.at(x + d, y + 12), first) << "left " << d;
        EXPECT_EQ(image.at(x + 12, y + d), first) << "top " << d;
        EXPECT_EQ(image.at(x + 22 + d, y + 12), second) << "right " << d;
        EXPECT_EQ(image.at(x + 12, y + 22 + d), second) << "bottom " << d;
    }
}

void expectImageAt(const tk::Bitmap& shown, tk::Rect cell, const tk::Bitmap& image) {
    for (int py = 0; py < 20; ++py)
        for (int px = 0; px < 20; ++px)
            ASSERT_EQ(shown.at(cell.left + 3 + px, cell.top + 3 + py), image.at(px, py)) << px << "," << py;
}

TEST_F(GridTest, SevenButtonsInTwoRowsArePlacedAndPaintedRaisedAroundThePlaceholder) {
    open(7, 2);
    EXPECT_EQ(window->columns(), 4);
    EXPECT_EQ(clientSize(), (tk::Size{106, 54}));
    EXPECT_EQ(window->windowRect(), tk::Rect::fromSize(100, 100, 112, 78));
    const int xs[] = {1, 27, 53, 79};
    for (int k = 0; k < 7; ++k) EXPECT_EQ(childRect(k), tk::Rect::fromSize(xs[k % 4], k < 4 ? 1 : 27, 26, 26)) << k;

    tk::Bitmap image = clientImage();
    tk::Bitmap placeholder = tk::platform().loadBitmapResource(125);
    ASSERT_EQ(placeholder.width, 20);
    for (int k = 0; k < 7; ++k) {
        expectEdges(image, childRect(k), kWhite, kDarkGrey);
        expectImageAt(image, childRect(k), placeholder);
    }
}

TEST_F(GridTest, ClicksReachTheHandlerWithEventAndKeysAndTheCaptionFollowsThePointer) {
    open(7, 2);
    tool("click 3 left shift");
    tool("click 2 right");
    tool("click 1 middle ctrl");
    tool("click 4 left shift ctrl");
    EXPECT_EQ(clicks, (std::vector<Click>{{"I3", 0, 4}, {"I2", 1, 0}, {"I1", 2, 8}, {"I4", 0, 12}}));
    EXPECT_EQ(window->lastClicked(), &window->buttonAt(3));
    EXPECT_EQ(window->caption(), "I4");
    tool("move at 105,53");
    EXPECT_EQ(window->caption(), "Toolbox");

    // Pressing shows the edge sunken without pressing the button.
    tool("press 5");
    expectEdges(clientImage(), childRect(4), kDarkGrey, kLightGrey);
    EXPECT_EQ(window->buttonAt(4).pressed(), 0);
    tool("release 5");
    expectEdges(clientImage(), childRect(4), kWhite, kDarkGrey);
    EXPECT_EQ(window->lastClicked(), &window->buttonAt(4));

    window->pressLastClicked(1);
    expectEdges(clientImage(), childRect(4), kDarkGrey, kLightGrey);
    window->releaseAll();
    expectEdges(clientImage(), childRect(4), kWhite, kDarkGrey);
}

TEST_F(GridTest, ItemsInsertedAndRemovedKeepTheGridInOrder) {
    open(3, 1);
    window->insertItems(items(1, 9), 0);
    window->insertItems(items(1, 8), 99);  // past the end: appended
    EXPECT_EQ(window->itemCount(), 5);
    std::vector<std::string> labels;
    for (int i = 0; i < window->itemCount(); ++i) labels.push_back(window->buttonAt(i).item().label());
    EXPECT_EQ(labels, (std::vector<std::string>{"I9", "I1", "I2", "I3", "I8"}));

    tool("click 2");
    window->removeItem(1);
    EXPECT_EQ(window->lastClicked(), nullptr);
    EXPECT_EQ(window->itemCount(), 4);
    EXPECT_EQ(window->buttonAt(1).item().label(), "I2");
    EXPECT_EQ(childRect(1), tk::Rect::fromSize(27, 1, 26, 26));
    EXPECT_EQ(clientSize(), (tk::Size{4 * 26 + 2, 28}));
    EXPECT_EQ(window->indexOfButton(&window->buttonAt(3)), 3);
    EXPECT_EQ(window->indexOfButton(nullptr), -1);
    window->removeItem(7);  // out of range: nothing
    EXPECT_EQ(window->itemCount(), 4);
}

TEST_F(GridTest, NoBitmapDirectoryRefusesItems) {
    window = new ButtonGridWindow;
    ASSERT_TRUE(window->create("TEST", "Grid", {0, 0}, nullptr));
    answers.add("@ok");
    EXPECT_FALSE(window->appendItems(items(2)));
    EXPECT_TRUE(shows("[message box] \"TUV Windows Application\" \"Data file name and path have not been set.\" [OK]"));
    EXPECT_EQ(window->itemCount(), 0);
}

TEST_F(GridTest, SetRowsTakesPositiveNumbersOnly) {
    open(7, 2);
    for (const char* refused : {"0", "-2", "abc"}) {
        answers.add(std::string("@edit 1014 ") + refused);
        answers.add("@ok");
        tool("sysmenu 303");
    }
    answers.add("@cancel");
    tool("sysmenu 303");
    EXPECT_EQ(window->rows(), 2);
    EXPECT_FALSE(window->changed());

    answers.add("@edit 1014 3rows");
    answers.add("@ok");
    tool("sysmenu 303");
    EXPECT_EQ(window->rows(), 3);
    EXPECT_EQ(window->columns(), 3);
    EXPECT_EQ(clientSize(), (tk::Size{80, 80}));
    EXPECT_TRUE(window->changed());
    EXPECT_TRUE(shows("[dialog 115]   static 1015 \"Enter new number of rows:\""));
}

TEST_F(GridTest, SetBitmapSizeTakesFiveToFifty) {
    open(7, 2);
    for (const char* refused : {"4", "51", "0"}) {
        answers.add(std::string("@edit 1014 ") + refused);
        answers.add("@ok");
        tool("sysmenu 306");
    }
    EXPECT_EQ(window->imageSize(), (tk::Size{20, 20}));
    EXPECT_FALSE(window->changed());
    answers.add("@edit 1014 5");
    answers.add("@ok");
    tool("sysmenu 306");
    EXPECT_EQ(window->cellWidth(), 11);
    EXPECT_EQ(window->cellHeight(), 11);
    EXPECT_EQ(clientSize(), (tk::Size{4 * 11 + 2, 2 * 11 + 2}));
    EXPECT_EQ(childRect(5), tk::Rect::fromSize(12, 12, 11, 11));
    EXPECT_TRUE(window->changed());
}

TEST_F(GridTest, SetBitmapDirectoryAddsTheSeparator) {
    open(2, 1);
    answers.add("@edit 1013 /tmp/bitmaps");
    answers.add("@ok");
    tool("sysmenu 304");
    EXPECT_EQ(window->bitmapDirectory(), "/tmp/bitmaps/");
    EXPECT_TRUE(window->changed());
}

TEST_F(GridTest, MinimizeRollsUpToTheCaptionAndMaximizeRollsDown) {
    open(7, 2);
    tool("maximize");  // not rolled up: nothing
    EXPECT_EQ(window->windowRect(), tk::Rect::fromSize(100, 100, 112, 78));
    tool("minimize");
    EXPECT_TRUE(window->rolledUp());
    EXPECT_EQ(window->windowRect(), tk::Rect::fromSize(100, 100, 112, 24));
    tool("minimize");  // already rolled up: nothing
    EXPECT_EQ(window->windowRect(), tk::Rect::fromSize(100, 100, 112, 24));
    tool("moveto 300,200");
    tool("maximize");
    EXPECT_FALSE(window->rolledUp());
    EXPECT_EQ(window->windowRect(), tk::Rect::fromSize(300, 200, 112, 78));
}

class StripWindow : public ButtonGridWindow {
public:
    std::vector<int>* contexts = nullptr;
    void stripButtonContext(int index) override { contexts->push_back(index); }
    bool rolledUpCaption(std::string& text) override {
        text = "rolled";
        return true;
    }
};

TEST_F(GridTest, OptionStripTogglesReportsRightClicksAndWidensTheWindow) {
    auto* strip = new StripWindow;
    std::vector<int> contexts;
    strip->contexts = &contexts;
    window = strip;
    ASSERT_TRUE(strip->create("TEST", "Strip", {0, 0}, nullptr));
    ASSERT_TRUE(strip->createOptionStrip(20, 20, 5, 114));
    strip->setBitmapDirectory("/nonexistent");
    strip->appendItems(items(2));
    strip->show();
    EXPECT_EQ(clientSize(), (tk::Size{5 * 27 + 4, 26 + 26 + 6}));
    EXPECT_EQ(childRect(0), tk::Rect::fromSize(1, 31, 26, 26));

    tool("click strip 2");
    EXPECT_EQ(strip->stripButtonState(1), 1);
    tool("click strip 2");
    EXPECT_EQ(strip->stripButtonState(1), 0);
    tool("click strip 4");
    EXPECT_EQ(strip->stripButtonState(3), 1);
    EXPECT_EQ(strip->stripButtonState(5), 0);
    EXPECT_EQ(strip->stripButtonState(-1), 0);
    tool("click strip 3 right");
    EXPECT_EQ(contexts, std::vector<int>{2});

    tool("minimize");
    EXPECT_EQ(strip->caption(), "rolled");
}

TEST_F(GridTest, TheCommonWriterWritesTheHeaderAndEveryItem) {
    std::string dir = makeTempDirectory("grid");
    open(3, 2, "bmp");
    answers.add("@ok");
    EXPECT_FALSE(window->save());
    EXPECT_TRUE(shows("[message box] \"TUV Windows Application\" \"A file name or path for the data file has not been defined.\" [OK]"));

    window->setDataDirectory(dir + "/missing");
    window->setDataFileName("bar.Zmb");
    EXPECT_EQ(window->dataDirectory(), dir + "/missing/");
    answers.add("@ok");
    EXPECT_FALSE(window->save());
    EXPECT_TRUE(shows("[message box] \"TUV Windows Application\" \"Failed opening the data file for writing.\" [OK]"));

    window->setDataDirectory(dir);
    window->setChanged(true);
    tool("sysmenu 301");
    EXPECT_FALSE(window->changed());
    const std::string expected = "TEST\n3\n2\n20 20\n\"bmp/\"\n\"\" \"I1\"\n\"\" \"I2\"\n\"\" \"I3\"\n";
    EXPECT_EQ(readFile(dir + "/bar.Zmb"), expected);

    // Save As takes the new name and directory and always clears the flag.
    std::filesystem::create_directories(dir + "/other");
    window->setChanged(true);
    answers.add("@file " + dir + "/other/copy.Zmb");
    tool("sysmenu 302");
    EXPECT_EQ(window->dataFileName(), "copy.Zmb");
    EXPECT_EQ(window->dataDirectory(), dir + "/other/");
    EXPECT_FALSE(window->changed());
    EXPECT_EQ(readFile(dir + "/other/copy.Zmb"), expected);
    std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace zan::test
