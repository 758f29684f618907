// A headless platform with a button-grid window of plain test items, the
// clicks its handler received, and readers of what the window shows.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "tk/headless/headless_platform.h"
#include "toolwnd/button_grid_window.h"

namespace zan::test {

class TestItem : public GridItem {
public:
    explicit TestItem(std::string_view label, std::string image = "") {
        setLabel(label);
        imageFile = std::move(image);
    }
    bool readFrom(std::FILE*) override { return false; }
    void writeTo(std::string& out) const override { out += "\"" + imageFile + "\" \"" + label() + "\"\n"; }
};

struct Click {
    std::string label;
    int event;
    unsigned keys;
    bool operator==(const Click&) const = default;
};

class GridTest : public ::testing::Test {
protected:
    GridTest();
    ~GridTest() override;

    // A window at (100, 100) with `count` items labelled "I1", "I2", ...,
    // cells of 26 x 26, `rows` rows and images from `directory`.
    ButtonGridWindow& open(int count, int rows, const std::string& directory = "/nonexistent/");
    static GridItems items(int count, int first = 1);
    // Performs "@tool 1 ..." and fails the test when it cannot.
    void tool(const std::string& action);
    tk::Bitmap clientImage();
    tk::Size clientSize();
    tk::Rect childRect(int k);  // the k-th button (0-based, grid order) in client coordinates
    bool shows(const std::string& line) const;

    tk::headless::HeadlessPlatform platform;
    tk::common::ScriptedAnswers answers;
    std::string transcript;
    ButtonGridWindow* window = nullptr;
    static std::vector<Click> clicks;
};

}  // namespace zan::test
