// The initialization object, read, made and changed through the real host
// by the module's code linked into the test.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ads/adslib.h"
#include "levels/modifier_bar_window.h"
#include "shell/init_object.h"
#include "shell/lifecycle.h"
#include "shell/state.h"
#include "support/session_harness.h"

using zan::test::SessionHarness;

namespace {

struct Marker {
    std::string version, bitmaps, configDir, layerFile, modifierFile;
    int rows = 1;
};

void makeMarker(const Marker& m) {
    ads_point origin = {0, 0, 0};
    resbuf* rb = ads_buildlist(RTDXF0, "INSERT", 2, "TUV_INIT_OBJ", 10, origin, 41, 1.0, 42, 1.0, 43, 1.0, 50, 0.0,
                               -3, 1001, "TUV_1001001", 1000, "TUV_Version_Number", 1000, m.version.c_str(), 1000,
                               "Level_bitmap_directory", 1000, m.bitmaps.c_str(), 1070, m.rows, 1000,
                               "Config_files_directory", 1000, m.configDir.c_str(), 1000, "Layer_config_file", 1000,
                               m.layerFile.c_str(), 1000, "Modifier_file", 1000, m.modifierFile.c_str(), 0);
    ASSERT_EQ(ads_entmake(rb), RTNORM);
    ads_relrb(rb);
}

// The markers of the drawing, in drawing order, as their extended data
// (1000 texts and the 1070 row count as text).
std::vector<std::vector<std::string>> markers() {
    std::vector<std::vector<std::string>> out;
    ads_name ss;
    resbuf* filter = ads_buildlist(RTDXF0, "INSERT", 2, "TUV_INIT_OBJ", 0);
    int status = ads_ssget("X", nullptr, nullptr, filter, ss);
    ads_relrb(filter);
    if (status != RTNORM) return out;
    long n = 0;
    ads_sslength(ss, &n);
    resbuf* apps = ads_buildlist(RTSTR, "TUV_1001001", 0);
    for (long i = 0; i < n; ++i) {
        ads_name e;
        ads_ssname(ss, i, e);
        resbuf* list = ads_entgetx(e, apps);
        std::vector<std::string> values;
        bool xdata = false;
        for (resbuf* rb = list; rb; rb = rb->rbnext) {
            if (rb->restype == -3) xdata = true;
            else if (xdata && (rb->restype == 1000 || rb->restype == 1001)) values.push_back(rb->resval.rstring);
            else if (xdata && rb->restype == 1070) values.push_back(std::to_string(rb->resval.rint));
        }
        out.push_back(values);
        ads_relrb(list);
    }
    ads_relrb(apps);
    ads_ssfree(ss);
    return out;
}

class InitObject : public ::testing::Test {
protected:
    void SetUp() override {
        zan::onInitApplication(nullptr);
        ads_regapp("TUV_1001001");
        zan::state().cmdEchoOff.restype = RTSHORT;
        zan::state().cmdEchoOff.resval.rint = 0;
        zan::state().cmdEchoOn.restype = RTSHORT;
        zan::state().cmdEchoOn.resval.rint = 1;
    }
    void TearDown() override { zan::onUnloadApplication(); }
    void makeBlock() {
        ads_point origin = {0, 0, 0};
        resbuf* b = ads_buildlist(RTDXF0, "BLOCK", 2, "TUV_INIT_OBJ", 70, 0, 10, origin, 0);
        resbuf* e = ads_buildlist(RTDXF0, "ENDBLK", 0);
        ASSERT_EQ(ads_entmake(b), RTNORM);
        ASSERT_EQ(ads_entmake(e), RTKWORD);
        ads_relrb(b);
        ads_relrb(e);
    }
    SessionHarness h{false};
};

const std::vector<std::string> kEmptyRecord = {
    "TUV_1001001",       "TUV_Version_Number", "000.001.B", "Level_bitmap_directory", "", "1",
    "Config_files_directory", "", "Layer_config_file", "", "Modifier_file", ""};

}  // namespace

TEST_F(InitObject, CreateMakesTheBlockAndOneMarkerWithTheRecord) {
    ASSERT_EQ(zan::createInitObject(), 1);
    auto all = markers();
    ASSERT_EQ(all.size(), 1u);
    EXPECT_EQ(all[0], kEmptyRecord);
    EXPECT_NE(h.db().block("TUV_INIT_OBJ"), nullptr);
    // A second creation reuses the block definition.
    std::size_t blocks = h.db().blocks().size();
    ASSERT_EQ(zan::createInitObject(), 1);
    EXPECT_EQ(h.db().blocks().size(), blocks);
}

TEST_F(InitObject, TwoMarkersFirstForReadingLastForBitmapsOnlyFirstDeleted) {
    makeBlock();
    makeMarker({"000.001.B", "bmpA", "cfgA", "a.Zly", "a.Zmb", 2});
    makeMarker({"000.001.B", "bmpB", "cfgB", "b.Zly", "b.Zmb", 3});
    ASSERT_EQ(zan::readInitObject(), 1);
    EXPECT_NE(h.transcript().find("More than one initialization entity found.\n Using the first one found.\n"),
              std::string::npos);
    EXPECT_EQ(zan::state().layerConfigFile, "a.Zly");
    EXPECT_EQ(zan::state().modifierFile, "a.Zmb");
    EXPECT_EQ(zan::state().levelBitmapDirectory, "bmpA");
    EXPECT_EQ(zan::state().levelBarRows, 2);

    ASSERT_EQ(zan::setModifierFile("new.Zmb"), 1);
    ASSERT_EQ(zan::setLevelBitmapDirectory("bmpNew", 5), 1);
    EXPECT_NE(h.transcript().find("Using the last one created.\n"), std::string::npos);
    auto all = markers();
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[0][11], "new.Zmb");
    EXPECT_EQ(all[0][4], "bmpA");
    EXPECT_EQ(all[1][11], "b.Zmb");
    EXPECT_EQ(all[1][4], "bmpNew");
    EXPECT_EQ(all[1][5], "5");

    ASSERT_EQ(zan::deleteInitObject(), 1);
    all = markers();
    ASSERT_EQ(all.size(), 1u);
    EXPECT_EQ(all[0][9], "b.Zly");
}

TEST_F(InitObject, AnOldOrMissingVersionIsRewrittenKeepingTheValues) {
    makeBlock();
    makeMarker({"000.001.A", "bmp", "cfg", "x.Zly", "x.Zmb", 4});
    ASSERT_EQ(zan::readInitObject(), 1);
    EXPECT_NE(h.transcript().find("\nUpdating drawing to version 000.001.B.\n"), std::string::npos);
    auto all = markers();
    ASSERT_EQ(all.size(), 1u);
    EXPECT_EQ(all[0], (std::vector<std::string>{"TUV_1001001", "TUV_Version_Number", "000.001.B",
                                                "Level_bitmap_directory", "bmp", "4", "Config_files_directory",
                                                "cfg", "Layer_config_file", "x.Zly", "Modifier_file", "x.Zmb"}));

    // Without a version key at all.
    zan::deleteInitObject();
    ads_point origin = {0, 0, 0};
    resbuf* rb = ads_buildlist(RTDXF0, "INSERT", 2, "TUV_INIT_OBJ", 10, origin, -3, 1001, "TUV_1001001", 1000,
                               "Modifier_file", 1000, "only.Zmb", 0);
    ASSERT_EQ(ads_entmake(rb), RTNORM);
    ads_relrb(rb);
    zan::state().modifierFile.clear();
    h.clearTranscript();
    ASSERT_EQ(zan::readInitObject(), 1);
    EXPECT_NE(h.transcript().find("Updating drawing"), std::string::npos);
    all = markers();
    ASSERT_EQ(all.size(), 1u);
    EXPECT_EQ(all[0][11], "only.Zmb");
    EXPECT_EQ(all[0][2], "000.001.B");
}

TEST_F(InitObject, SettersShortcutEqualTextsAndGrowLongerOnes) {
    ASSERT_EQ(zan::createInitObject(), 1);
    ASSERT_EQ(zan::setLayerConfigFile("short.Zly", 0), 1);
    EXPECT_EQ(markers()[0][9], "short.Zly");
    std::string longer = "/a/much/longer/path/to/the/layer/configuration/file.Zly";
    ASSERT_EQ(zan::setLayerConfigFile(longer, 0), 1);
    EXPECT_EQ(markers()[0][9], longer);
    ASSERT_EQ(zan::setLayerConfigFile("s.Zly", 0), 1);
    EXPECT_EQ(markers()[0][9], "s.Zly");

    // The same text again does not touch the drawing: a value changed behind
    // the module's back stays as it is.
    zan::deleteInitObject();
    makeMarker({"000.001.B", "", "", "elsewhere.Zly", "", 1});
    ASSERT_EQ(zan::setLayerConfigFile("s.Zly", 0), 1);
    EXPECT_EQ(markers()[0][9], "elsewhere.Zly");

    // Over-long values are cut to 127 characters, never overrun.
    ASSERT_EQ(zan::setModifierFile(std::string(400, 'm')), 1);
    EXPECT_EQ(markers()[0][11], std::string(127, 'm'));
}

TEST_F(InitObject, SettersReportAMissingMarker) {
    EXPECT_EQ(zan::setModifierFile("x.Zmb"), 0);
    EXPECT_NE(h.transcript().find("Filter finds no entities, tuv, "), std::string::npos);
    EXPECT_EQ(zan::state().modifierFile, "x.Zmb");  // the value stands
}

TEST_F(InitObject, PaperSpaceWithoutFloatingViewportSwitchesToTilemode1) {
    h.run("TILEMODE 0\n");
    ASSERT_TRUE(h.host().paperSpaceCurrent());
    h.clearTranscript();
    ASSERT_EQ(zan::createInitObject(), 1);
    EXPECT_NE(h.transcript().find("\nSwitching to TILEMODE 1 for initialization."), std::string::npos);
    EXPECT_EQ(h.db().variables().integer("TILEMODE"), 1);
    ads_name last;
    ads_entlast(last);
    resbuf* marker = ads_entget(last);
    for (resbuf* rb = marker; rb; rb = rb->rbnext) {
        if (rb->restype == 67) {
            EXPECT_EQ(rb->resval.rint, 0);  // made in model space
        }
    }
    ads_relrb(marker);
}

TEST_F(InitObject, InAFloatingViewportNothingChanges) {
    h.run("TILEMODE 0\n");
    ads_point center = {5, 5, 0};
    resbuf* vp = ads_buildlist(RTDXF0, "VIEWPORT", 67, 1, 10, center, 40, 4.0, 41, 3.0, 68, 2, 69, 2, 0);
    ASSERT_EQ(ads_entmake(vp), RTNORM);
    ads_relrb(vp);
    h.run("MSPACE\n");
    h.clearTranscript();
    ASSERT_EQ(zan::ensureModelSpace(), 1);
    EXPECT_EQ(h.db().variables().integer("TILEMODE"), 0);
    EXPECT_EQ(h.db().variables().integer("CVPORT"), 2);
    EXPECT_EQ(h.transcript().find("Switching"), std::string::npos);

    // From paper space, the floating viewport is activated instead of leaving the layout.
    h.run("PSPACE\n");
    ASSERT_EQ(zan::ensureModelSpace(), 1);
    EXPECT_EQ(h.db().variables().integer("TILEMODE"), 0);
    EXPECT_EQ(h.db().variables().integer("CVPORT"), 2);
}

namespace {
struct OpenBar final : zan::ModifierBarWindow {
    HWND handle() const override { return nullptr; }
};
}  // namespace

TEST_F(InitObject, ClearlevIsRefusedWhileTheModifierBarIsOpen) {
    ads_point origin = {0, 0, 0};
    resbuf* b = ads_buildlist(RTDXF0, "BLOCK", 2, "TUV_LEVEL_OBJ", 70, 0, 10, origin, 0);
    resbuf* e = ads_buildlist(RTDXF0, "ENDBLK", 0);
    ads_entmake(b);
    ads_entmake(e);
    ads_relrb(b);
    ads_relrb(e);
    resbuf* ins = ads_buildlist(RTDXF0, "INSERT", 2, "TUV_LEVEL_OBJ", 10, origin, 0);
    ASSERT_EQ(ads_entmake(ins), RTNORM);
    ASSERT_EQ(ads_entmake(ins), RTNORM);
    ads_relrb(ins);
    zan::state().levelList.push_back(std::make_unique<zan::Level>());

    OpenBar bar;
    zan::state().modifierBarWindow = &bar;
    zan::app::Script answers("@ok\n");
    h.session().attach(answers);
    zan::clearlevCommand();
    EXPECT_NE(h.transcript().find("Cannot delete levels while levelbar is active."), std::string::npos);
    EXPECT_EQ(zan::state().levelList.size(), 1u);
    resbuf* filter = ads_buildlist(RTDXF0, "INSERT", 2, "TUV_LEVEL_OBJ", 0);
    ads_name ss;
    ASSERT_EQ(ads_ssget("X", nullptr, nullptr, filter, ss), RTNORM);
    ads_ssfree(ss);

    zan::state().modifierBarWindow = nullptr;
    zan::clearlevCommand();
    EXPECT_TRUE(zan::state().levelList.empty());
    EXPECT_EQ(ads_ssget("X", nullptr, nullptr, filter, ss), RTERROR);
    ads_relrb(filter);
}
