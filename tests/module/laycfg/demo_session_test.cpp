// Whole dlconfig sessions on the demo drawing: restores to model space and
// to viewports, captures from viewports, and the file they leave.
#include "session_fixture.h"

namespace zan::test {
namespace {

class DemoSession : public DlconfigSession {};

TEST_F(DemoSession, MakeRestoreCaptureAndLeaveWithCancel) {
    openDemo();
    int rc = h.run(
        "TILEMODE 0\n"
        "dlconfig\n"
        // A configuration captured from the drawing's freeze state.
        "@click 1038\n@edit 1032 Captured\n@click 1044\n@click 1\n"
        // Another restored to model space.
        "@select 1036 \"Level 2 plan\"\n@click 1043\n"
        // One restored to the left viewport (it thaws only level 1 there).
        "@select 1036 \"Level 1 plan\"\n@click 1042\n15,150\n\n"
        // Back with no line highlighted; model space still acts on Level 1 plan.
        "@click 1043\n"
        // One captured from the right viewport.
        "@click 1038\n@edit 1032 \"From right\"\n@click 1045\n405,150\n@click 1\n"
        "@escape\n");
    ASSERT_EQ(rc, 0) << h.session().error() << h.transcript();

    auto saved = readZly("samples/demo/demo.Zly");
    std::vector<std::string> all = names(saved);
    ASSERT_EQ(all.size(), 7u);
    EXPECT_EQ(all[5], "Captured");
    EXPECT_EQ(all[6], "From right");
    // Only S-FURN was frozen in the drawing: one frozen layer against eight
    // thawed ones of level S gives q = 0, so Site is included and S-FURN excluded.
    EXPECT_EQ(saved[5]->unresolvedIncludedModifiers, (std::vector<std::string>{"Level 1", "Level 2", "Level 3", "Site"}));
    EXPECT_EQ(saved[5]->excludedLayers, std::vector<std::string>{"S-FURN"});
    // The right viewport froze levels 1, 3 and S; their reference layers
    // stayed thawed, so 7 / 2 = 3 excludes levels 1 and S and includes the
    // reference layers; level 3 has no thawed layer; level 2 is thawed.
    EXPECT_EQ(saved[6]->unresolvedIncludedModifiers, std::vector<std::string>{"Level 2"});
    EXPECT_EQ(saved[6]->unresolvedExcludedModifiers, (std::vector<std::string>{"Level 1", "Level 3", "Site"}));
    EXPECT_EQ(saved[6]->includedLayers,
              (std::vector<std::string>{"0", "Defpoints", "FURN", "PLAN|1-DOOR", "PLAN|1-WALL", "PLAN|S-DOOR",
                                        "PLAN|S-WALL", "TEXT", "VIEWPORTS"}));

    // Restored to model space last: Level 1 plan.
    EXPECT_FALSE(frozen("1-WALL"));
    EXPECT_TRUE(frozen("2-WALL"));
    EXPECT_TRUE(frozen("S-WALL"));
    // The viewport restore reached the left viewport.
    EXPECT_EQ(h.count("[trace] command: \"Layer\" \"Freeze\" \"2-*,*|2-*,3-*,*|3-*,S-*,*|S-*,\""), 1u);
    EXPECT_TRUE(shows("[trace] command: \"VPLayer\" \"Freeze\" \"2-*,*|2-*,3-*,*|3-*,S-*,*|S-*,\" \"select\""));
    EXPECT_TRUE(shows("[dialog 122] close 1042\n"));
    EXPECT_TRUE(shows("[dialog 122] close 360\n[dialog 102] hidden\n"));
}

TEST_F(DemoSession, ViewportCaptureMessages) {
    openDemo();
    int rc = h.run(
        "dlconfig\n@click 1038\n@click 1045\n"  // model space
        "@click 2\n@escape\n"
        "TILEMODE 0\n"
        "VPLAYER T * S 15,150\n\n\n"
        "dlconfig\n@click 1038\n@click 1045\n"
        "10,280\n15,150\n"  // the title text first, then the viewport
        "@select 1012 0\n@click 1023\n"  // removed after the capture: not committed
        "@edit 1032 Thawed\n@click 1\n"
        "@click 1038\n@click 1045\n^C\n@cancel\n@ok\n");
    ASSERT_EQ(rc, 0) << h.session().error() << h.transcript();
    EXPECT_TRUE(shows("You must be in Paperspace in order to capture layers from Viewports."));
    EXPECT_TRUE(shows("Entity is not a viewport.\n"));
    EXPECT_TRUE(shows("No layers are frozen in selected Viewport.\n"));
    EXPECT_TRUE(shows("Function Canceled.\n"));

    auto saved = readZly("samples/demo/demo.Zly");
    ASSERT_EQ(saved.size(), 6u);
    const LayerConfiguration& thawed = *saved[5];
    EXPECT_EQ(thawed.name, "Thawed");
    // Every layer counts as thawed: every level included, the rest single layers.
    EXPECT_EQ(thawed.unresolvedIncludedModifiers, (std::vector<std::string>{"Level 1", "Level 2", "Level 3", "Site"}));
    EXPECT_EQ(thawed.includedLayers, (std::vector<std::string>{"Defpoints", "FURN", "TEXT", "VIEWPORTS"}));
    EXPECT_TRUE(thawed.excludedLayers.empty());
}

}  // namespace
}  // namespace zan::test
