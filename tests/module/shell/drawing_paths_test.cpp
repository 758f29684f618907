// Relative paths a drawing records are taken in the drawing's own folder, so
// that a drawing opened from any working directory finds its files.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "shell/drawing_paths.h"
#include "support/session_harness.h"
#include "tk/common/dib_reader.h"

namespace fs = std::filesystem;
using zan::test::SessionHarness;

namespace {

class DrawingPaths : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::canonical(zan::test::makeTempDirectory("drawing-paths")).string();
        previous = fs::current_path();
        fs::copy(std::string(ZAN_SOURCE_DIR) + "/samples/demo", dir + "/kit", fs::copy_options::recursive);
        fs::create_directories(dir + "/elsewhere");
        fs::current_path(dir + "/elsewhere");
    }
    void TearDown() override {
        fs::current_path(previous);
        fs::remove_all(dir);
    }
    static std::string read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    std::string dir;
    fs::path previous;
};

TEST_F(DrawingPaths, RelativePathsAreTakenInTheFolderOfTheDrawing) {
    SessionHarness h(false);
    // A new drawing has no folder: paths stay as recorded.
    EXPECT_EQ(zan::drawingFolder(), "");
    EXPECT_EQ(zan::resolveDrawingPath("demo.Zly"), "demo.Zly");

    // However the drawing was named, its folder is a full path.
    ASSERT_TRUE(h.session().openDrawing("../elsewhere/../kit/demo.dxf"));
    const std::string kit = dir + "/kit/";
    EXPECT_EQ(zan::drawingFolder(), kit);
    EXPECT_EQ(zan::resolveDrawingPath("demo.Zly"), kit + "demo.Zly");
    EXPECT_EQ(zan::resolveDrawingPath("./bitmaps/"), kit + "bitmaps/");
    EXPECT_EQ(zan::resolveDrawingPath("../shared/demo.Zmb"), kit + "../shared/demo.Zmb");
    for (const char* kept : {"", "/srv/kit/demo.Zly", "\\\\server\\kit\\demo.Zly", "C:\\kit\\demo.Zly"})
        EXPECT_EQ(zan::resolveDrawingPath(kept), kept);
}

// The demo kit opened from another directory: the layer configurations, the
// level bar with its bitmaps, and a block loaded from the symbol bar's block
// folder are all found; the drawing still records its relative paths.
TEST_F(DrawingPaths, TheDemoKitWorksFromAnotherWorkingDirectory) {
    fs::copy_file(dir + "/kit/blocks/door.dwg", dir + "/kit/blocks/lift.dwg");
    SessionHarness h(true, true);
    ASSERT_TRUE(h.session().openDrawing("../kit/demo.dxf"));
    const std::string zly = read(dir + "/kit/demo.Zly");
    int rc = h.run(
        "dlconfig\n@select 1036 \"Site\"\n@escape\n"
        "levelbar\n@tool 1 image bar.bmp\n"
        "symbolbar\n@file ../kit/symbols.Zsb\n"
        "@tool 2 click 4 right\n@edit 1002 lift\n@click 1030\n@tool 2 click 4\n\n7,7\n\n\n\n");
    ASSERT_EQ(rc, 0) << h.session().error() << h.transcript();
    EXPECT_NE(h.transcript().find("\"Level 1 plan\""), std::string::npos) << h.transcript();
    EXPECT_EQ(h.transcript().find("[message box]"), std::string::npos) << h.transcript();
    EXPECT_NE(h.transcript().find("[trace] command: \"insert\" \"" + dir + "/kit/blocks/lift.dwg\""),
              std::string::npos);
    EXPECT_EQ(read(dir + "/kit/demo.Zly"), zly);
    EXPECT_FALSE(fs::exists("demo.Zly"));

    // The first level button shows the level's bitmap, not the placeholder.
    tk::common::DibResult picture = tk::common::readDibFile("bar.bmp");
    tk::common::DibResult level = tk::common::readDibFile(dir + "/kit/bitmaps/level1.bmp");
    ASSERT_TRUE(picture.bitmap && level.bitmap);
    const int x = 3 + 1 + 1 + 2, y = 21 + 1 + 1 + 2;  // frame, cell, border, bevel
    for (int py = 0; py < 20; ++py)
        for (int px = 0; px < 20; ++px)
            ASSERT_EQ(picture.bitmap->at(x + px, y + py), level.bitmap->at(px, py)) << px << "," << py;

    // The recorded texts are left as they were.
    ASSERT_TRUE(h.session().saveDrawing(dir + "/elsewhere/saved.dxf"));
    const std::string saved = read(dir + "/elsewhere/saved.dxf");
    for (const char* recorded : {"\ndemo.Zly\n", "\ndemo.Zmb\n", "\nbitmaps/\n"})
        EXPECT_NE(saved.find(recorded), std::string::npos) << recorded;
    EXPECT_EQ(saved.find(dir + "/kit/demo"), std::string::npos);
}

}  // namespace
