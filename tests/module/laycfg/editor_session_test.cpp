// The editor and the selection dialog driven by scripts through dlconfig.
#include "session_fixture.h"

namespace zan::test {
namespace {

class EditorSession : public DlconfigSession {
protected:
    // A new drawing whose preferences name a level file and a configuration
    // file made here.
    void prepare(const std::vector<std::string>& configurations) {
        zmb = write("levels.Zmb",
                    "LEVELS\n5\n1\n20 20\n\"\"\n\"\" \"First\" \"A\" \"\"\n\"\" \"Second\" \"B\" \"\"\n"
                    "\"\" \"Third\" \"C\" \"\"\n\"\" \"Fourth\" \"D\" \"\"\n\"\" \"Fifth\" \"E\" \"\"\n");
        zlyPath = write("layers.Zly", zly(configurations));
        ASSERT_EQ(h.run("ZANpref\n@edit 1001 \"" + zlyPath + "\"\n@edit 1003 \"" + zmb + "\"\n@ok\n"), 0);
        h.clearTranscript();
    }
    std::string zmb, zlyPath;
};

// A capture over rules the user listed before it: every rule that
// conflicts shows its message, in the order the capture derives the rules
// (here the table's), however many there are, and changes nothing.
TEST_F(EditorSession, ACaptureReportsItsConflictsInTheOrderOfItsRules) {
    prepare({});
    std::string names, selection, answers;
    for (int i = 0; i < 40; ++i) {
        const std::string name = (i < 10 ? "N0" : "N") + std::to_string(i);
        names += (i > 0 ? "," : "") + name;
        selection += " " + name;
        answers += "@ok\n";
    }
    ASSERT_EQ(h.run("-LAYER\nNew\n" + names + "\n\n"), 0) << h.transcript();
    int rc = h.run("dlconfig\n@click 1038\n@select 1010" + selection + "\n@click 1019\n@click 1044\n" + answers +
                   "@show\n@cancel\n@escape\n");
    ASSERT_EQ(rc, 0) << h.session().error() << h.transcript();

    std::size_t previous = 0;
    for (int i = 0; i < 40; ++i) {
        const std::string name = (i < 10 ? "N0" : "N") + std::to_string(i);
        const std::size_t at =
            h.transcript().find(messageBox("layer " + name + " is already in the Layers Excluded list.  It will not be added."));
        ASSERT_NE(at, std::string::npos) << name;
        EXPECT_GT(at, previous) << name;
        previous = at;
    }
    EXPECT_EQ(last("[dialog 102]   listbox 1012"),
              "[dialog 102]   listbox 1012 \"Layers Included\" sorted = [\"0\", \"Defpoints\"]");
    EXPECT_TRUE(shows("[dialog 102]   listbox 1020 \"Layers Excluded\" sorted = [\"N00\", \"N01\""));
}

TEST_F(EditorSession, CaptureGlobalConflictsPatternsAndUntitled) {
    prepare({});
    host::ensureLayer(h.db(), "PLAN|D-WALL");
    ASSERT_EQ(h.run("-LAYER\nNew\nA-WALL,A-DOOR,A-TEXT,B-1,B-2,B-3,B-4,C-1,C-2,C-3,E-1,NOSEP\n"
                    "Freeze\nA-WALL,A-DOOR,B-1,B-2,B-3,C-1,PLAN|D-WALL,NOSEP\n\n"),
              0);
    int rc = h.run(
        "dlconfig\n@click 1038\n@click 1044\n"
        // Conflicts: each shows its message and changes nothing.
        "@select 1014 Third\n@click 1017\n@ok\n"
        "@select 1014 Second\n@click 1016\n@ok\n"
        "@select 1010 A-TEXT\n@click 1019\n@ok\n"
        "@select 1010 A-WALL\n@click 1013\n@ok\n"
        "@show\n@click 1060\n"
        "@select 1010 A-WALL\n@click 1025\n@click 1013\n"
        "@click 1\n@escape\n");
    ASSERT_EQ(rc, 0) << h.session().error() << h.transcript();

    // A-: 2 frozen, 1 thawed (q = 2); B-: 3 and 1 (q = 3); C-: 1 and 2
    // (q = 0); D-: only a reference layer, frozen; E-: thawed only; NOSEP,
    // 0 and Defpoints belong to no level.
    EXPECT_TRUE(shows("[dialog 102]   listbox 1015 \"Modifiers Included\" sorted = [\"Fifth\", \"Third\"]\n"));
    EXPECT_TRUE(shows("[dialog 102]   listbox 1018 \"Modifiers Excluded\" sorted = [\"Fourth\", \"Second\"]\n"));
    EXPECT_TRUE(shows("[dialog 102]   listbox 1012 \"Layers Included\" sorted = [\"0\", \"A-TEXT\", \"B-4\", \"Defpoints\"]\n"));
    EXPECT_TRUE(shows("[dialog 102]   listbox 1020 \"Layers Excluded\" sorted = [\"A-DOOR\", \"A-WALL\", \"C-1\", \"NOSEP\"]\n"));

    EXPECT_TRUE(shows(messageBox("level Third is already in the Levels Included list.  It will not be added.")));
    EXPECT_TRUE(shows(messageBox("level Second is already in the Levels Excluded list.  It will not be added.")));
    EXPECT_TRUE(shows(messageBox("layer A-TEXT is already in the Layers Included list.  It will not be added.")));
    EXPECT_TRUE(shows(messageBox("layer A-WALL is already in the Layers Excluded list.  It will not be added.")));
    // After Clear All, the pattern and the name are two lines.
    EXPECT_EQ(last("[dialog 102]   listbox 1012"), "[dialog 102]   listbox 1012 \"Layers Included\" sorted = [\"*A-WALL\", \"A-WALL\"]");
    EXPECT_EQ(last("[dialog 122]   listbox 1036"),
              "[dialog 122]   listbox 1036 \"Existing Layer Configurations:\" sorted notify = [\"Untitled\"]");

    // Left with Cancel: the new configuration was written all the same.
    auto saved = readZly(zlyPath);
    ASSERT_EQ(names(saved), std::vector<std::string>{"Untitled"});
    EXPECT_EQ(saved[0]->includedLayers, (std::vector<std::string>{"*A-WALL", "A-WALL"}));
    EXPECT_TRUE(saved[0]->excludedLayers.empty());
    EXPECT_TRUE(saved[0]->unresolvedIncludedModifiers.empty());
}

TEST_F(EditorSession, TheLayerListIsSortedIgnoringCaseWhateverTheTableOrder) {
    // Names sharing their first eight letters, one a prefix of another, in
    // no order in the table.
    prepare({});
    for (const char* name : {"Longprefix-b", "Short", "LONGPREFIX-A", "longpre", "longprefix-C", "LONGPREF"})
        host::ensureLayer(h.db(), name);
    ASSERT_EQ(h.run("dlconfig\n@click 1038\n@show\n@cancel\n@escape\n"), 0) << h.session().error() << h.transcript();
    EXPECT_NE(h.transcript().find("sorted extended = [\"0\", \"Defpoints\", \"longpre\", \"LONGPREF\", "
                                  "\"LONGPREFIX-A\", \"Longprefix-b\", \"longprefix-C\", \"Short\"]"),
              std::string::npos)
        << h.transcript();
}

TEST_F(EditorSession, CopyDeleteEditAndTheOpenEditor) {
    prepare({"Alpha", "Beta"});
    int rc = h.run(
        "dlconfig\n@select 1036 Alpha\n"
        "@click 1041\n@yes\n"
        "@click 1040\n@yes\n"
        "@click 1043\n@ok\n"  // nothing selected after Delete
        "@click 1039\n"       // Edit with nothing selected: nothing happens
        "@select 1036 Beta\n@click 1039\n"
        "@activate 122\n@click 1040\n"  // the editor comes forward, nothing is deleted
        "@edit 1032 \"Beta renamed\"\n@radio 1035\n@click 1\n"
        "@click 1038\n@activate 122\n@escape\n");
    ASSERT_EQ(rc, 0) << h.session().error() << h.transcript();

    EXPECT_TRUE(shows(messageBox("Are you sure you want to copy configuration Alpha ?") + " [Yes/No]"));
    EXPECT_TRUE(shows(messageBox("Are you sure you want to delete configuration Alpha ?") + " [Yes/No]"));
    EXPECT_EQ(h.count(messageBox("There is no layer configuration selected.")), 1u);
    EXPECT_TRUE(shows("[dialog 122] click 1040\n[dialog 102] front\n"));
    EXPECT_EQ(h.count("[dialog 102] open modeless"), 2u);  // Edit with Beta, then New
    EXPECT_TRUE(shows("sorted notify = [\"Beta renamed\", \"Copy of Alpha\"]\n"));
    // Escape closed the second editor without committing it.
    EXPECT_TRUE(shows("[dialog 122] escape\n[dialog 102] close 2\n[dialog 122] close 2\n"));

    auto saved = readZly(zlyPath);
    EXPECT_EQ(names(saved), (std::vector<std::string>{"Beta renamed", "Copy of Alpha"}));
    EXPECT_EQ(saved[0]->undefinedLayerOption, 2);
}

TEST_F(EditorSession, NothingChangedWritesNothing) {
    prepare({"Alpha"});
    std::filesystem::remove(zlyPath);
    std::string bytes = zly({"Alpha"});
    // Another program's copy of the file: a run that changes nothing leaves it alone.
    write("layers.Zly", bytes + "trailing");
    ASSERT_EQ(h.run("dlconfig\n@select 1036 Alpha\n@click 1043\n@ok\n"), 0) << h.transcript();
    std::ifstream in(zlyPath, std::ios::binary);
    EXPECT_EQ(std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>()), bytes + "trailing");
}

}  // namespace
}  // namespace zan::test
