// The level bar in whole sessions of the built module on the demo drawing:
// what it shows, Shift-clicks that reach the drawing, clearlev beside it,
// and clearlev while layer configurations refer to the levels.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "ads/adslib.h"
#include "support/demo_kit.h"
#include "tk/common/dib_reader.h"

namespace zan::test {
namespace {

class LevelBarSession : public DemoKitTest {
protected:
    LevelBarSession() : DemoKitTest("levelbar-session") {}

    // Every layer of the drawing and whether it is frozen, read through the host.
    static std::map<std::string, bool> layerStates() {
        std::map<std::string, bool> out;
        for (resbuf* rb = ads_tblnext("LAYER", 1); rb; rb = ads_tblnext("LAYER", 0)) {
            std::string name;
            int flags = 0;
            for (resbuf* i = rb; i; i = i->rbnext) {
                if (i->restype == 2) name = i->resval.rstring;
                if (i->restype == 70) flags = i->resval.rint;
            }
            out[name] = (flags & 1) != 0;
            ads_relrb(rb);
        }
        return out;
    }
    static bool isLevel2Layer(const std::string& name) { return name.rfind("2-", 0) == 0 || name.rfind("PLAN|2-", 0) == 0; }

};

TEST_F(LevelBarSession, TheBarOpensFromTheDemoFileAndShowsTheLevelBitmapsInRaisedCells) {
    run("levelbar\n@tool 1 image bar.bmp\n");
    EXPECT_TRUE(shows("[tool 1] open \"Level Toolbar\" at 100,100"));
    EXPECT_TRUE(shows("[tool 1] at 100,100 size 112x52 client 106x28"));
    tk::common::DibResult picture = tk::common::readDibFile("bar.bmp");
    ASSERT_TRUE(picture.bitmap) << picture.message;
    const tk::Bitmap& image = *picture.bitmap;
    ASSERT_EQ(image.width, 112);
    ASSERT_EQ(image.height, 52);

    const char* files[] = {"level1.bmp", "level2.bmp", "level3.bmp", "levelS.bmp"};
    for (int k = 0; k < 4; ++k) {
        // Frame 3, caption 18; the cell at 1 + 26k; the button's border 1.
        const int x = 3 + 1 + 26 * k + 1, y = 21 + 1 + 1;
        tk::common::DibResult level = tk::common::readDibFile(std::string("samples/demo/bitmaps/") + files[k]);
        ASSERT_TRUE(level.bitmap) << level.message;
        for (int py = 0; py < 20; ++py)
            for (int px = 0; px < 20; ++px)
                ASSERT_EQ(image.at(x + 2 + px, y + 2 + py), level.bitmap->at(px, py)) << files[k] << " " << px << "," << py;
        for (int d : {0, 1}) {
            EXPECT_EQ(image.at(x + d, y + 12), tk::rgb(255, 255, 255));
            EXPECT_EQ(image.at(x + 12, y + d), tk::rgb(255, 255, 255));
            EXPECT_EQ(image.at(x + 22 + d, y + 12), tk::rgb(128, 128, 128));
            EXPECT_EQ(image.at(x + 12, y + 22 + d), tk::rgb(128, 128, 128));
        }
        EXPECT_EQ(image.at(x - 1, y + 5), tk::rgb(0, 0, 0));  // the button's border
    }
}

TEST_F(LevelBarSession, TheReadmeExampleShowsTheRefusal) {
    run("xreflist\n\nLAYER ? *\n\nlevelbar\nclearlev\n@ok\nQUIT\n");
    EXPECT_TRUE(shows("[message box] \"TUV Windows Application\" \"Cannot delete levels while levelbar is active.\" [OK]\n"
                      "[message box] -> OK\n"));
}

TEST_F(LevelBarSession, ShiftClickOnLevel2ThawsThenFreezesItsLayersAndNoOthers) {
    run("-LAYER\nFreeze\n2-*,*|2-*\n\n");
    std::map<std::string, bool> before = layerStates();
    int level2 = 0;
    for (const auto& [name, frozen] : before)
        if (isLevel2Layer(name)) {
            EXPECT_TRUE(frozen) << name;
            ++level2;
        }
    ASSERT_GT(level2, 4);

    // The text the click hands to the command line runs when the host is
    // next idle at its prompt: after the empty input that follows.
    run("levelbar\n@tool 1 click 2 left shift\n\n");
    EXPECT_TRUE(shows("[trace] text: \"-Layer Set 0 T 2-*,*|2-*  \""));
    std::map<std::string, bool> thawed = layerStates();
    for (const auto& [name, frozen] : thawed) EXPECT_EQ(frozen, isLevel2Layer(name) ? false : before[name]) << name;

    run("@tool 1 click 2 left shift\n\n");
    EXPECT_TRUE(shows("[trace] text: \"-Layer Set 0 F 2-*,*|2-*  \""));
    EXPECT_EQ(layerStates(), before);
}

TEST_F(LevelBarSession, ClearlevLeavesConfigurationsThatStillRestore) {
    // Levels loaded by dlconfig and referred to by the configurations, then
    // destroyed by clearlev; a restore afterwards reads no destroyed level.
    run("dlconfig\n@escape\nclearlev\ndlconfig\n@select 1036 \"Level 2 plan\"\n@click 1043\n@escape\n");
    EXPECT_EQ(h.count("[dialog 122] open modal"), 2u);
    // The levels were kept as names: they take no part in the restore until
    // the configuration file is read again with levels loaded.
    EXPECT_TRUE(shows("[trace] command: \"Layer\" \"Freeze\" \"\" \"Thaw\" \"\" \"Freeze\" \"2-FURN,\" \"Thaw\" \"\" \"\""));
}

}  // namespace
}  // namespace zan::test
