// The modifier bar command and bar: new bars, opening from files that end
// early, clicks, closing with the save question and the kept position.
#include <filesystem>

#include "level_bar_fixture.h"
#include "shell/state.h"

namespace zan::test {
namespace {

class ModifierBarTest : public LevelBarTest {};

TEST_F(ModifierBarTest, ARecordedMissingFileMadeNewHasThreeDefaultLevelsAndIsSavedOnClose) {
    std::filesystem::create_directories(dir + "/bmps");
    state().modifierFile = dir + "/new.Zmb";
    answer("@yes\n@ok\n@edit 1013 \"" + dir + "/bmps\"\n@ok\n");
    modifierbarCommand();
    ASSERT_NE(bar(), nullptr);
    EXPECT_TRUE(shows("[tool 1] open \"Level Toolbar\" at 100,100"));
    EXPECT_TRUE(shows(messageBox("Modifier Bar " + dir + "/new.Zmb could not be found.\\n Would you like the file to be created?") + " [Yes/No]"));
    EXPECT_EQ(grid(), (std::vector<std::string>{"1", "2", "3"}));
    EXPECT_TRUE(levels().empty());  // the default levels belong to their buttons
    EXPECT_TRUE(bar()->changed());
    EXPECT_EQ(state().levelBitmapDirectory, dir + "/bmps/");

    // Deleting a default level leaves the list alone; the level goes with its button.
    answer("@click 1033\n");
    ui("@tool 1 click 2 right");
    EXPECT_EQ(grid(), (std::vector<std::string>{"1", "3"}));
    EXPECT_TRUE(levels().empty());

    ui("@tool 1 click 2");
    EXPECT_EQ(state().activeModifierPrefix, "3-");
    answer("@yes\n");
    ui("@tool 1 close");
    EXPECT_TRUE(shows(messageBox("Save changes to Modifier Bar?") + " [Yes/No]"));
    EXPECT_EQ(bar(), nullptr);
    EXPECT_EQ(state().activeModifierPrefix, "");
    EXPECT_EQ(readFile(dir + "/new.Zmb"), "LEVELS\n2\n1\n20 20\n\"" + dir +
                                              "/bmps/\"\n\"\" \"1\" \"1\" \"Primary\"\n\"\" \"3\" \"3\" \"Primary\"\n");

    // Read again, the levels enter the list.
    modifierbarCommand();
    EXPECT_EQ(levels(), (std::vector<std::string>{"1=1/Primary", "3=3/Primary"}));
}

TEST_F(ModifierBarTest, DecliningOrAnUnknownDirectoryMakesNoBar) {
    state().modifierFile = dir + "/new.Zmb";
    answer("@no\n@ok\n");
    modifierbarCommand();
    EXPECT_EQ(bar(), nullptr);
    EXPECT_TRUE(shows(messageBox("Use the ZANPREF command to change this file location.")));
    EXPECT_EQ(state().modifierFile, "");

    state().modifierFile = dir + "/nowhere/new.Zmb";
    answer("@yes\n@ok\n");
    modifierbarCommand();
    EXPECT_EQ(bar(), nullptr);
    EXPECT_TRUE(shows(messageBox("Unknown Path, aborting. . .\\nUse the ZANPREF command to change this file location.")));
    EXPECT_EQ(state().modifierFile, dir + "/nowhere/new.Zmb");
}

TEST_F(ModifierBarTest, AFileChosenInTheDialogIsRecordedAndCancelRecordsNone) {
    answer("@cancel\n");
    modifierbarCommand();
    EXPECT_EQ(bar(), nullptr);
    EXPECT_TRUE(shows("[open file] \"Open or Create ZAN Modifier Bar\" filter \"Templates (*.Zmb)|*.Zmb||\" ext \"Zmb\""));

    // A new file from the dialog: no question; Path Selection cancelled: no bar.
    answer("@file " + dir + "/chosen\n@ok\n@cancel\n");
    modifierbarCommand();
    EXPECT_EQ(state().modifierFile, dir + "/chosen.Zmb");
    EXPECT_EQ(bar(), nullptr);
    EXPECT_FALSE(std::filesystem::exists(dir + "/chosen.Zmb"));
}

TEST_F(ModifierBarTest, FilesThatEndEarlyShowTheirWholeLinesOnly) {
    // N promises four; the third line's tag is an unclosed quote.
    state().modifierFile = write("cut.Zmb", "LEVELS\n4\n0\n20 20\n\"" + dir +
                                                "/\"\n\"\" \"One\" \"1\" \"\"\n\"\" \"Two\" \"2\" \"\"\n\"\" \"Three\" \"3\" \"open");
    modifierbarCommand();
    EXPECT_EQ(grid(), (std::vector<std::string>{"One", "Two"}));
    EXPECT_EQ(bar()->rows(), 1);  // rows of 0 from a file are taken as 1
    bar()->destroyWindow();
    state().modifierFile = write("huge.Zmb", "LEVELS\n1\n2147483647\n99999 -5\n\"" + dir + "/\"\n\"\" \"One\" \"1\" \"\"\n");
    modifierbarCommand();
    EXPECT_EQ(bar()->rows(), 1000);
    EXPECT_EQ(bar()->imageSize(), (tk::Size{512, 0}));
    bar()->destroyWindow();

    // No whole level line, or N of 0: no bar (the levels read stay).
    state().levelList.clear();
    state().modifierFile = write("none.Zmb", "LEVELS\n2\n1\n20 20\n\"d/\"\n\"\" \"Only\" \"O");
    modifierbarCommand();
    EXPECT_EQ(bar(), nullptr);
    state().modifierFile = write("zero.Zmb", "LEVELS\n0\n1\n20 20\n\"d/\"\n\"\" \"Unread\" \"U\" \"\"\n");
    modifierbarCommand();
    EXPECT_EQ(bar(), nullptr);
    EXPECT_TRUE(levels().empty());
}

TEST_F(ModifierBarTest, ClicksSelectOrToggleTheLevel) {
    openThreeLevelBar();
    ui("@tool 1 click 2");
    EXPECT_EQ(state().activeModifierPrefix, "B-");
    EXPECT_EQ(bar()->buttonAt(1).pressed(), 1);
    ui("@tool 1 click 1 shift ctrl");
    EXPECT_EQ(state().activeModifierPrefix, "A-");
    EXPECT_EQ(bar()->buttonAt(1).pressed(), 0);
    EXPECT_EQ(bar()->buttonAt(0).pressed(), 1);

    Level& third = *state().levelList[2];
    ui("@tool 1 click 3 shift");
    EXPECT_EQ(third.thawed, 1);
    ui("@tool 1 click 3 shift");
    EXPECT_EQ(third.thawed, 0);
    EXPECT_EQ(state().activeModifierPrefix, "A-");  // toggling selects nothing
    ui("@tool 1 click 3 middle");
    EXPECT_EQ(state().activeModifierPrefix, "A-");
}

TEST_F(ModifierBarTest, AnUnchangedBarClosesWithoutAQuestionAndReopensWhereItWas) {
    openThreeLevelBar();
    ui("@tool 1 moveto 300,250");
    ui("@tool 1 close");
    EXPECT_FALSE(shows("Save changes to Modifier Bar?"));
    EXPECT_EQ(bar(), nullptr);
    EXPECT_EQ(levels().size(), 3u);  // closing keeps the levels
    modifierbarCommand();
    EXPECT_TRUE(shows("[tool 2] open \"Level Toolbar\" at 300,250"));
    // A second command while the bar is open does nothing.
    modifierbarCommand();
    EXPECT_FALSE(shows("[tool 3]"));
}

TEST_F(ModifierBarTest, SaveAsWritesTheBarElsewhereAndKeepsTheRecordedFile) {
    openThreeLevelBar();
    const std::string recorded = state().modifierFile;
    answer("@file " + dir + "/copy.Zmb\n");
    ui("@tool 1 sysmenu 302");
    EXPECT_TRUE(shows("[save file] \"Save ZAN Modifier Bar\" filter \"Modifier Bar Data (*.Zmb)|*.Zmb||\" ext \"Zmb\""));
    EXPECT_EQ(readFile(dir + "/copy.Zmb"), readFile(recorded));
    EXPECT_EQ(bar()->dataFileName(), "copy.Zmb");
    EXPECT_EQ(state().modifierFile, recorded);
}

}  // namespace
}  // namespace zan::test
