#include "grid_fixture.h"

namespace zan::test {

std::vector<Click> GridTest::clicks;

GridTest::GridTest() {
    platform.setTranscript([this](std::string_view line) { transcript += line; });
    platform.setAnswerSource(&answers);
    tk::installPlatform(&platform);
    platform.startModule("TUV Windows Application");
    clicks.clear();
}

GridTest::~GridTest() {
    platform.stopModule();  // destroys the window, which deletes itself
    tk::installPlatform(nullptr);
}

GridItems GridTest::items(int count, int first) {
    GridItems out;
    for (int i = first; i < first + count; ++i) out.push_back(std::make_unique<TestItem>("I" + std::to_string(i)));
    return out;
}

ButtonGridWindow& GridTest::open(int count, int rows, const std::string& directory) {
    window = new ButtonGridWindow;
    auto handler = [](GridItem& item, int event, unsigned keys, ButtonGridWindow&) {
        clicks.push_back({item.label(), event, keys});
    };
    EXPECT_TRUE(window->create("TEST", "Grid", {100, 100}, handler));
    window->setRows(rows);
    window->setImageSize(20, 20);
    window->setBitmapDirectory(directory);
    window->appendItems(items(count));
    window->show();
    return *window;
}

void GridTest::tool(const std::string& action) {
    std::string error;
    EXPECT_TRUE(platform.performUiLine("@tool 1 " + action, error)) << error;
}

tk::Bitmap GridTest::clientImage() { return platform.windowImage(window->handle(), false).value_or(tk::Bitmap()); }

tk::Size GridTest::clientSize() {
    tk::Rect r = window->clientRect();
    return {r.width(), r.height()};
}

tk::Rect GridTest::childRect(int k) {
    tk::Rect screen = tk::platform().windowRect(window->buttonAt(k).handle());
    tk::Rect frame = window->windowRect();
    return screen.offsetBy(-frame.left - 3, -frame.top - 21);
}

bool GridTest::shows(const std::string& line) const { return transcript.find(line + "\n") != std::string::npos; }

}  // namespace zan::test
