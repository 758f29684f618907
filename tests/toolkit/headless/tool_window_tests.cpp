#include "headless_fixture.h"
#include "tk/common/dib_reader.h"
#include "tk/window.h"

using tk::MouseButton;
using tk::Point;
using tk::Rect;

namespace {

constexpr unsigned kToolStyle = tk::WS_CAPTION | tk::WS_SYSMENU | tk::WS_MINIMIZEBOX | tk::WS_MAXIMIZEBOX;
const tk::Color kWhite = tk::rgb(255, 255, 255), kDarkGrey = tk::rgb(128, 128, 128),
                kLightGrey = tk::rgb(192, 192, 192), kBlack = tk::rgb(0, 0, 0);

struct Event {
    std::string what;
    int window;
    Point point;
    unsigned keys;
    bool operator==(const Event&) const = default;
};

// A button drawn with a raised three-dimensional edge around an image.
class ImageButton : public tk::Window {
public:
    ImageButton(int number, std::vector<Event>& log) : number_(number), log_(log) {}
    bool pressed = false;

    void onPaint(tk::Canvas& canvas) override {
        const tk::Size size = canvas.size();
        canvas.copyBitmap(tk::platform().loadBitmapResource(125), Rect::fromSize(2, 2, 26, 26));
        const int right = size.width, bottom = size.height;
        canvas.selectPen({pressed ? kDarkGrey : kWhite, 2});
        canvas.moveTo({0, bottom});
        canvas.lineTo({0, 0});
        canvas.lineTo({right, 0});
        canvas.moveTo({1, bottom - 1});
        canvas.lineTo({1, 1});
        canvas.lineTo({right - 1, 1});
        canvas.selectPen({pressed ? kLightGrey : kDarkGrey, 2});
        canvas.moveTo({right, 0});
        canvas.lineTo({right, bottom});
        canvas.lineTo({0, bottom});
        canvas.moveTo({right - 1, 1});
        canvas.lineTo({right - 1, bottom - 1});
        canvas.lineTo({1, bottom - 1});
    }
    void onMouseMove(Point p, unsigned keys) override { log_.push_back({"move", number_, p, keys}); }
    void onMouseDown(MouseButton b, Point p, unsigned keys) override {
        log_.push_back({name(b) + " down", number_, p, keys});
    }
    void onMouseUp(MouseButton b, Point p, unsigned keys) override { log_.push_back({name(b) + " up", number_, p, keys}); }

private:
    static std::string name(MouseButton b) {
        return b == MouseButton::Left ? "left" : b == MouseButton::Right ? "right" : "middle";
    }
    int number_;
    std::vector<Event>& log_;
};

// A floating grid of 7 buttons in 2 rows of 26 x 26 cells (4 columns).
class Grid : public tk::Window {
public:
    std::vector<Event> log;
    std::vector<unsigned> commands;
    std::vector<std::unique_ptr<ImageButton>> buttons;
    bool handleMinimize = false;
    bool keepOpen = false;
    int closeRequests = 0;
    int destroyed = 0;

    bool open() {
        if (!createPopup(nullptr, "Level Toolbar", Rect::fromSize(100, 100, 100, 50), kToolStyle)) return false;
        appendSystemMenuItem(301, "Save");
        appendSystemMenuItem(303, "Set Rows...");
        for (int k = 0; k < 7; ++k) {
            buttons.push_back(std::make_unique<ImageButton>(k + 1, log));
            Rect cell = Rect::fromSize(1 + (k % 4) * 26, 1 + (k / 4) * 26, 26, 26);
            // Made in reverse, so that reading order and creation order differ.
            if (!buttons.back()->createChild(handle(), 350 + k, cell, tk::WS_VISIBLE | tk::WS_BORDER)) return false;
        }
        Rect window = tk::platform().adjustWindowRect({0, 0, 4 * 26 + 2, 2 * 26 + 2}, kToolStyle);
        resize(window.width(), window.height());
        show();
        return true;
    }
    bool onSystemCommand(unsigned command) override {
        commands.push_back(command);
        return command == 301 || command == 303 || (command == tk::SC_MINIMIZE && handleMinimize);
    }
    bool onClose() override {
        ++closeRequests;
        return keepOpen;
    }
    void onDestroyed() override { ++destroyed; }
};

}  // namespace

using ToolWindowTest = HeadlessTest;

TEST_F(ToolWindowTest, GeometryFollowsTheFrameAndCaption) {
    Grid grid;
    ASSERT_TRUE(grid.open());
    EXPECT_EQ(grid.windowRect(), Rect::fromSize(100, 100, 112, 78));
    EXPECT_EQ(grid.clientRect(), (Rect{0, 0, 106, 54}));
    EXPECT_EQ(platform.windowRect(grid.buttons[5]->handle()), Rect::fromSize(100 + 3 + 27, 100 + 21 + 27, 26, 26));
    EXPECT_EQ(grid.buttons[0]->clientRect(), (Rect{0, 0, 24, 24}));
    EXPECT_TRUE(shown("[tool 1] open \"Level Toolbar\" at 100,100 size 100x50 client 94x26 hidden"));
    EXPECT_TRUE(shown("[tool 1] at 100,100 size 112x78 client 106x54"));
    EXPECT_TRUE(shown("[tool 1] menu 301 \"Save\""));

    // Rolled up to the caption: the window keeps its width, the client area is gone.
    const int height = grid.windowRect().height() - grid.clientRect().height();
    grid.resize(grid.windowRect().width(), height);
    EXPECT_EQ(grid.clientRect(), (Rect{0, 0, 106, 0}));
    EXPECT_EQ(height, tk::headless::HeadlessPlatform::kFrameWidth * 2 + tk::headless::HeadlessPlatform::kCaptionHeight);
}

TEST_F(ToolWindowTest, ClicksReachTheButtonWithButtonAndKeyState) {
    Grid grid;
    ASSERT_TRUE(grid.open());
    std::string error;
    ASSERT_TRUE(platform.performUiLine("@tool 1 click 3 left shift", error)) << error;
    ASSERT_TRUE(platform.performUiLine("@tool \"level toolbar\" click 5 right ctrl", error)) << error;
    ASSERT_TRUE(platform.performUiLine("@tool 1 press 7 middle shift ctrl", error)) << error;
    ASSERT_TRUE(platform.performUiLine("@tool 1 release 7 middle", error)) << error;
    ASSERT_TRUE(platform.performUiLine("@tool 1 click at 60,40", error)) << error;  // inside button 7
    const Point centre{12, 12};
    EXPECT_EQ(grid.log, (std::vector<Event>{
                            {"move", 3, centre, tk::MK_SHIFT},
                            {"left down", 3, centre, tk::MK_SHIFT | tk::MK_LBUTTON},
                            {"left up", 3, centre, tk::MK_SHIFT},
                            {"move", 5, centre, tk::MK_CONTROL},
                            {"right down", 5, centre, tk::MK_CONTROL | tk::MK_RBUTTON},
                            {"right up", 5, centre, tk::MK_CONTROL},
                            {"middle down", 7, centre, tk::MK_SHIFT | tk::MK_CONTROL | tk::MK_MBUTTON},
                            {"middle up", 7, centre, 0},
                            {"move", 7, {60 - 53 - 1, 40 - 27 - 1}, 0},
                            {"left down", 7, {6, 12}, tk::MK_LBUTTON},
                            {"left up", 7, {6, 12}, 0},
                        }));
    EXPECT_TRUE(shown("[tool 1] click 5 right ctrl"));
}

TEST_F(ToolWindowTest, UnknownTargetsAreRefusedWithAReason) {
    Grid grid;
    ASSERT_TRUE(grid.open());
    std::string error;
    EXPECT_FALSE(platform.performUiLine("@tool 1 click 8", error));
    EXPECT_EQ(error, "\"@tool 1 click 8\": tool window 1 has 7 buttons; there is no button 8");
    EXPECT_FALSE(platform.performUiLine("@tool 2 close", error));
    EXPECT_EQ(error, "\"@tool 2 close\": there is no tool window 2 (open: 1 \"Level Toolbar\")");
    EXPECT_FALSE(platform.performUiLine("@tool 1 sysmenu 305", error));
    EXPECT_EQ(error, "\"@tool 1 sysmenu 305\": the system menu of tool window 1 has no command 305 "
                     "(items: 301 \"Save\", 303 \"Set Rows...\")");
    EXPECT_FALSE(platform.performUiLine("@tool 1 click strip 1", error));
    EXPECT_FALSE(platform.performUiLine("@ok", error));
    EXPECT_TRUE(grid.log.empty());
}

TEST_F(ToolWindowTest, StripButtonsAreAddressedByTheirRole) {
    Grid grid;
    ASSERT_TRUE(grid.open());
    std::vector<Event> stripLog;
    ImageButton toggle(100, stripLog);
    ASSERT_TRUE(toggle.createChild(grid.handle(), 320, Rect::fromSize(2, 60, 22, 20), tk::WS_VISIBLE, "strip"));
    std::string error;
    ASSERT_TRUE(platform.performUiLine("@tool 1 release strip 1 right", error)) << error;
    EXPECT_EQ(stripLog, (std::vector<Event>{{"right up", 100, {11, 10}, 0}}));
    EXPECT_TRUE(grid.log.empty());
}

TEST_F(ToolWindowTest, SystemCommandsGoToTheWindowFirst) {
    Grid grid;
    ASSERT_TRUE(grid.open());
    std::string error;
    ASSERT_TRUE(platform.performUiLine("@tool 1 sysmenu 301", error)) << error;
    grid.handleMinimize = true;
    ASSERT_TRUE(platform.performUiLine("@tool 1 minimize", error)) << error;
    EXPECT_FALSE(shown("[tool 1] minimized"));
    grid.handleMinimize = false;
    ASSERT_TRUE(platform.performUiLine("@tool 1 minimize", error)) << error;  // default handling
    EXPECT_TRUE(shown("[tool 1] minimized"));
    EXPECT_FALSE(platform.performUiLine("@tool 1 click 1", error));
    EXPECT_EQ(error, "\"@tool 1 click 1\": tool window 1 is minimized");
    ASSERT_TRUE(platform.performUiLine("@tool 1 restore", error)) << error;
    ASSERT_TRUE(platform.performUiLine("@tool 1 moveto 5,6", error)) << error;
    EXPECT_EQ(grid.windowRect().topLeft(), (Point{5, 6}));
    EXPECT_EQ(grid.commands, (std::vector<unsigned>{301, tk::SC_MINIMIZE, tk::SC_MINIMIZE, tk::SC_RESTORE}));
}

TEST_F(ToolWindowTest, APostedCloseArrivesWhenMessagesAreProcessed) {
    Grid grid;
    ASSERT_TRUE(grid.open());
    HWND handle = grid.handle();
    grid.keepOpen = true;
    ASSERT_TRUE(platform.postCloseRequest(handle));
    EXPECT_EQ(grid.closeRequests, 0);
    platform.processPostedMessages();
    EXPECT_EQ(grid.closeRequests, 1);
    EXPECT_TRUE(platform.isWindow(handle));

    grid.keepOpen = false;  // the default: the window is destroyed
    ASSERT_TRUE(platform.postCloseRequest(handle));
    platform.processPostedMessages();
    EXPECT_EQ(grid.closeRequests, 2);
    EXPECT_FALSE(platform.isWindow(handle));
    EXPECT_EQ(grid.destroyed, 1);
    for (const auto& button : grid.buttons) EXPECT_FALSE(button->exists());
    EXPECT_TRUE(shown("[tool 1] close"));
    EXPECT_FALSE(platform.postCloseRequest(handle));
}

TEST_F(ToolWindowTest, PaintingLandsInThePixelBuffer) {
    Grid grid;
    ASSERT_TRUE(grid.open());
    auto button = platform.windowImage(grid.buttons[0]->handle(), false);
    ASSERT_TRUE(button);
    ASSERT_EQ(button->width, 24);
    ASSERT_EQ(button->height, 24);
    const tk::Bitmap placeholder = platform.loadBitmapResource(125);
    // The first pen covers the two left columns and the two top rows ...
    EXPECT_EQ(button->at(0, 0), kWhite);
    EXPECT_EQ(button->at(1, 1), kWhite);
    EXPECT_EQ(button->at(1, 20), kWhite);
    EXPECT_EQ(button->at(20, 1), kWhite);
    // ... the second the two right columns and the two bottom rows.
    EXPECT_EQ(button->at(23, 0), kDarkGrey);
    EXPECT_EQ(button->at(22, 5), kDarkGrey);
    EXPECT_EQ(button->at(0, 23), kDarkGrey);
    EXPECT_EQ(button->at(5, 22), kDarkGrey);
    // Inside the edge: the image, from its top-left corner at (2, 2).
    for (int y = 2; y < 22; ++y)
        for (int x = 2; x < 22; ++x) ASSERT_EQ(button->at(x, y), placeholder.at(x - 2, y - 2)) << x << "," << y;

    // Repainting follows invalidation.
    grid.buttons[0]->pressed = true;
    grid.buttons[0]->invalidate();
    grid.buttons[0]->update();
    button = platform.windowImage(grid.buttons[0]->handle(), false);
    EXPECT_EQ(button->at(0, 0), kDarkGrey);
    EXPECT_EQ(button->at(23, 23), kLightGrey);

    // The whole window: frame, caption bar, client area, button borders.
    auto window = platform.windowImage(grid.handle());
    ASSERT_TRUE(window);
    ASSERT_EQ(window->width, 112);
    ASSERT_EQ(window->height, 78);
    EXPECT_EQ(window->at(0, 0), kDarkGrey);                // frame
    EXPECT_EQ(window->at(10, 10), tk::rgb(0, 0, 128));     // caption bar
    EXPECT_EQ(window->at(3, 21), kLightGrey);              // client background left of the first button
    EXPECT_EQ(window->at(4, 22), kBlack);                  // border of button 1
    EXPECT_EQ(window->at(5, 23), kDarkGrey);               // button 1, pressed: dark edge
    EXPECT_EQ(window->at(3 + 27 + 1, 21 + 1 + 1), kWhite); // button 2, raised
}

TEST_F(ToolWindowTest, AWindowImageIsWrittenAsABitmapFile) {
    Grid grid;
    ASSERT_TRUE(grid.open());
    TemporaryDirectory dir;
    std::string error;
    ASSERT_TRUE(platform.performUiLine("@tool 1 image " + dir / "grid.bmp", error)) << error;
    auto read = tk::common::readDibFile(dir / "grid.bmp");
    ASSERT_TRUE(read.bitmap) << read.message;
    EXPECT_EQ(read.bitmap->pixels, platform.windowImage(grid.handle())->pixels);
}

TEST_F(ToolWindowTest, CaptionsAndStateShowInTheTranscript) {
    Grid grid;
    ASSERT_TRUE(grid.open());
    grid.setCaption("Ground floor");
    std::string error;
    ASSERT_TRUE(platform.performUiLine("@tool \"Ground floor\" show", error)) << error;
    ASSERT_TRUE(platform.performUiLine("@tool level toolbar show", error) == false);  // two words: not a caption
    EXPECT_TRUE(shown("[tool 1] caption \"Ground floor\""));
    EXPECT_TRUE(shown("[tool 1] \"Ground floor\" at 100,100 size 112x78 client 106x54"));
    EXPECT_TRUE(shown("[tool 1]   button 5 child 354 at 1,27 size 26x26"));
}

TEST_F(ToolWindowTest, StoppingTheModuleClosesItsWindows) {
    Grid grid;
    ASSERT_TRUE(grid.open());
    HWND main = platform.createExternalWindow("Host", nullptr);
    platform.stopModule();
    EXPECT_FALSE(grid.exists());
    EXPECT_EQ(grid.destroyed, 1);
    EXPECT_TRUE(platform.isWindow(main));  // the host's window is not the module's
    EXPECT_TRUE(platform.toolWindows().empty());
}
