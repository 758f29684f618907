// The host's OPEN, SAVE and SAVEAS commands.
#include <gtest/gtest.h>

#include <fstream>

#include "dxf/dxf.h"
#include "support/session_harness.h"

using zan::test::SessionHarness;

namespace {

TEST(DxfCommands, SaveNamesANewDrawingAndSaveAsKeepsOrChangesTheName) {
    std::string dir = zan::test::makeTempDirectory("dxf-save");
    SessionHarness h(false);
    // SAVE of a new drawing asks for a name and adds the extension; SAVEAS
    // with Enter keeps the name; a name may hold spaces.
    h.run("SAVE\n" + dir + "/first\nTILEMODE 0\nSAVEAS\n\nSAVEAS\n" + dir + "/with space.dxf\n");
    EXPECT_NE(h.transcript().find("Saved " + dir + "/first.dxf."), std::string::npos) << h.transcript();
    EXPECT_EQ(host::dxf::readFile(dir + "/first.dxf")->variables().integer("TILEMODE"), 0);
    EXPECT_EQ(h.host().drawingPath(), dir + "/with space.dxf");
    EXPECT_NO_THROW(host::dxf::readFile(dir + "/with space.dxf"));
}

TEST(DxfCommands, OpenReadsADrawingOrReportsWhyItCannot) {
    std::string dir = zan::test::makeTempDirectory("dxf-open");
    std::ofstream(dir + "/bad.dxf") << "  0\nSECTION\n  2\nENTITIES\n  0\nLINE\n 10\nnot-a-number\n";
    SessionHarness h(false);
    h.run("OPEN\n" + std::string(ZAN_SAMPLES_DIR) + "/demo/demo.dxf\nOPEN\n" + dir + "/bad.dxf\nSAVEAS\n" + dir +
          "/demo.dxf\nSAVEAS\n" + dir + "/no-such-dir/x.dxf\n");
    // The bad file is refused with file and line; the demo drawing stays open.
    EXPECT_NE(h.transcript().find("bad.dxf:8: group 10 needs a real number"), std::string::npos)
        << h.transcript();
    EXPECT_NE(h.db().findEntry("LAYER", "1-WALL"), host::kNoRecord);
    // A failed save is reported and the drawing keeps its file.
    EXPECT_NE(h.transcript().find("The drawing was not saved"), std::string::npos);
    EXPECT_EQ(h.host().drawingPath(), dir + "/demo.dxf");
    EXPECT_EQ(host::dxf::readFile(dir + "/demo.dxf")->entities().size(), h.db().entities().size());
}

// Another drawing opened over changes no save has written: a script cannot
// be asked, so the changes go (said on the transcript and on standard
// error), unless the session has an output file, which then keeps them.
TEST(DxfCommands, OpenOverUnsavedChangesSaysWhereTheyWent) {
    std::string dir = zan::test::makeTempDirectory("dxf-open-changes");
    const std::string demo = std::string(ZAN_SAMPLES_DIR) + "/demo/demo.dxf";
    {
        SessionHarness h(false);
        testing::internal::CaptureStderr();
        h.run("LAYER M CHANGED\n\nOPEN\n" + demo + "\n");
        const std::string errors = testing::internal::GetCapturedStderr();
        EXPECT_NE(h.transcript().find("The changes to Drawing1.dwg were discarded."), std::string::npos)
            << h.transcript();
        EXPECT_NE(errors.find("OPEN discarded the changes to Drawing1.dwg"), std::string::npos) << errors;
        EXPECT_NE(h.db().findEntry("LAYER", "1-WALL"), host::kNoRecord);
    }
    {
        SessionHarness h(false);
        h.host().setSaveTarget(dir + "/kept.dxf");
        h.run("LAYER M CHANGED\n\nOPEN\n" + demo + "\n");
        EXPECT_NE(h.transcript().find("Saved " + dir + "/kept.dxf."), std::string::npos) << h.transcript();
        EXPECT_NE(host::dxf::readFile(dir + "/kept.dxf")->findEntry("LAYER", "CHANGED"), host::kNoRecord);
        EXPECT_NE(h.db().findEntry("LAYER", "1-WALL"), host::kNoRecord);
    }
    {
        // A save that fails keeps the drawing, changes and all, open.
        SessionHarness h(false);
        h.host().setSaveTarget(dir + "/no-such-dir/kept.dxf");
        h.run("LAYER M CHANGED\n\nOPEN\n" + demo + "\n");
        EXPECT_NE(h.transcript().find("The drawing stays open."), std::string::npos) << h.transcript();
        EXPECT_NE(h.db().findEntry("LAYER", "CHANGED"), host::kNoRecord);
        EXPECT_EQ(h.db().findEntry("LAYER", "1-WALL"), host::kNoRecord);
    }
}

}  // namespace
