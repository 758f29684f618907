// The symbolbar command and the bar: the .Zsb file read and written, files
// that end early or are of another type, new bars, the profile section,
// the bar's own menu commands, roll-up and closing.
#include <filesystem>

#include "shell/commands.h"
#include "shell/state.h"
#include "symbol_bar_fixture.h"
#include "symbols/symbol_profile.h"
#include "tk/platform.h"

namespace zan::test {
namespace {

class SymbolBarFile : public SymbolBarTest {
protected:
    tk::Profile& profile() { return tk::platform().profile("TUV Windows Application"); }
};

TEST_F(SymbolBarFile, TheDemoBarOpensUnchangedAndWritesBackTheSameText) {
    SymbolBar* bar = openDemoBar();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(labels(*bar), (std::vector<std::string>{"Door", "Window", "Table", "Arrow"}));
    EXPECT_EQ(bar->defaultLayer, "FURN");
    EXPECT_EQ(bar->blockDirectory(), "blocks/");  // as recorded: relative to the drawing's folder
    EXPECT_EQ(bar->title(), "symbols.Zsb");
    EXPECT_FALSE(bar->changed());
    EXPECT_EQ(bar->stripCount(), 4);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(bar->stripButtonState(i), 0);
    const auto& table = static_cast<const SymbolButton&>(bar->buttonAt(2).item());
    EXPECT_EQ(table.blockName, "table");
    EXPECT_EQ(table.layerName, "FURN");
    EXPECT_EQ(table.searchSubEntities, 1);
    EXPECT_EQ(table.imageNumber, -1);

    const std::string original = readFile(demoFile);
    ui("@tool 1 sysmenu 301");
    EXPECT_EQ(readFile(demoFile), original);
}

TEST_F(SymbolBarFile, AnEmptyBarWritesSevenLinesAndEmptyDirectoriesReadBackEmpty) {
    const std::string text = "SYMBOL\n0\n2\n16 16\n\"\"\n\"\"\n\"\"\n";
    std::string path = write("empty.Zsb", text);
    answer("@file \"" + path + "\"\n@ok\n");
    symbolbarCommand();
    SymbolBar* bar = lastBar();
    ASSERT_NE(bar, nullptr);
    // An empty bitmap directory refuses the (no) items with the grid's message.
    EXPECT_TRUE(shows(messageBox("Data file name and path have not been set.")));
    EXPECT_EQ(bar->itemCount(), 0);
    EXPECT_EQ(bar->blockDirectory(), "");
    EXPECT_EQ(bar->bitmapDirectory(), "");
    EXPECT_TRUE(bar->save());
    EXPECT_EQ(readFile(path), text);
}

TEST_F(SymbolBarFile, DirectoriesWithoutSeparatorGetOneAndAQuoteInAFieldCannotBreakTheFile) {
    std::string path = write("q.Zsb", "SYMBOL\n1\n1\n20 20\n\"L\"\n\"" + dir + "/blocks\"\n\"" + dir +
                                          "\"\n\"a.bmp\" \"A\" \"a\" \"\" 0\n");
    SymbolBar* bar = openBar(path);
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->blockDirectory(), dir + "/blocks/");
    auto& symbol = static_cast<SymbolButton&>(bar->buttonAt(0).item());
    symbol.blockName = "do\"or";
    ASSERT_TRUE(bar->save());
    EXPECT_NE(readFile(path).find("\"a.bmp\" \"A\" \"do or\" \"\" 0\n"), std::string::npos);
}

TEST_F(SymbolBarFile, AFileThatEndsEarlyOpensWithTheSymbolsReadAndSaysSo) {
    std::string path = write("short.Zsb", "SYMBOL\n3\n1\n20 20\n\"\"\n\"b/\"\n\"" + dir +
                                              "/\"\n\"a.bmp\" \"A\" \"a\" \"\" 0\n\"b.bmp\" \"B\" \"b\"\n");
    answer("@file \"" + path + "\"\n@ok\n");
    symbolbarCommand();
    SymbolBar* bar = lastBar();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(labels(*bar), (std::vector<std::string>{"A"}));
    EXPECT_TRUE(shows(messageBox("The symbol bar file " + path + " ends early; it may be damaged.\\n1 symbols were read.")));

    // A file cut inside its header opens an empty bar, also with the message.
    path = write("header.Zsb", "SYMBOL\n3\n1\n");
    answer("@file \"" + path + "\"\n@ok\n@ok\n");
    symbolbarCommand();
    EXPECT_EQ(SymbolBar::openBars().size(), 2u);
    EXPECT_EQ(lastBar()->itemCount(), 0);
    EXPECT_EQ(lastBar()->rows(), 1);
}

TEST_F(SymbolBarFile, AnotherTypeWordOpensNoBarAndCancelDoesNothing) {
    answer("@file \"" + write("lv.Zsb", "LEVELS\n0\n1\n20 20\n\"\"\n") + "\"\n@ok\n");
    symbolbarCommand();
    EXPECT_TRUE(shows(messageBox("Unknown template type.")));
    EXPECT_TRUE(SymbolBar::openBars().empty());

    answer("@cancel\n");
    EXPECT_EQ(symbolbarCommand(), RTNORM);
    EXPECT_TRUE(SymbolBar::openBars().empty());
}

TEST_F(SymbolBarFile, ANewBarAsksForBothDirectoriesAndHasFivePlaceholders) {
    std::filesystem::create_directories(dir + "/bmps");
    std::filesystem::create_directories(dir + "/blocks");
    answer("@file \"" + dir + "/new.Zsb\"\n@ok\n@edit 1013 \"" + dir + "/bmps\"\n@ok\n@ok\n@edit 1013 \"" + dir +
           "/blocks\"\n@ok\n");
    symbolbarCommand();
    SymbolBar* bar = lastBar();
    ASSERT_NE(bar, nullptr);
    EXPECT_TRUE(shows(messageBox("Now choose a path for bitmaps for the toolbar --\\n All bitmaps for this toolbar must be located here")));
    EXPECT_TRUE(shows(messageBox("Now choose a path for blocks for the toolbar --\\n All blocks for this toolbar must be located here")));
    EXPECT_EQ(labels(*bar), (std::vector<std::string>{"1", "2", "3", "4", "5"}));
    EXPECT_EQ(bar->bitmapDirectory(), dir + "/bmps/");
    EXPECT_EQ(bar->blockDirectory(), dir + "/blocks/");
    EXPECT_EQ(state().levelBitmapDirectory, dir + "/bmps/");
    EXPECT_TRUE(bar->changed());

    answer("@yes\n");
    ui("@tool 1 close");
    EXPECT_TRUE(shows(messageBox("Save changes to Symbol Bar?") + " [Yes/No]"));
    EXPECT_TRUE(SymbolBar::openBars().empty());
    EXPECT_EQ(readFile(dir + "/new.Zsb"), "SYMBOL\n5\n1\n20 20\n\"\"\n\"" + dir + "/blocks/\"\n\"" + dir +
                                              "/bmps/\"\n" +
                                              "\"\" \"1\" \"\" \"\" 0\n\"\" \"2\" \"\" \"\" 0\n\"\" \"3\" \"\" \"\" 0\n"
                                              "\"\" \"4\" \"\" \"\" 0\n\"\" \"5\" \"\" \"\" 0\n");

    // Cancel at the block directory: no bar is left.
    answer("@file \"" + dir + "/other.Zsb\"\n@ok\n@edit 1013 \"" + dir + "/bmps\"\n@ok\n@ok\n@cancel\n");
    symbolbarCommand();
    EXPECT_TRUE(SymbolBar::openBars().empty());
}

TEST_F(SymbolBarFile, TheProfileKeepsSettingsAtCloseAndOnlyAllFourScaleKeysCount) {
    SymbolBar* bar = openDemoBar();
    ASSERT_NE(bar, nullptr);
    bar->values = {1.23456f, 2.0f, 0.5f, 90.0f};
    bar->defaultLayer = "WALL";
    ui("@tool 1 moveto 300,200");
    ui("@tool 1 close");  // not changed: no question
    EXPECT_FALSE(shows("Save changes to Symbol Bar?"));
    const std::string section = "SymbolTemplate-symbols.Zsb";
    EXPECT_EQ(profile().getInt(section, "XScale", 0), 12345);
    EXPECT_EQ(profile().getInt(section, "YScale", 0), 20000);
    EXPECT_EQ(profile().getInt(section, "Rotation", 0), 900000);
    EXPECT_EQ(profile().getString(section, "Layername", "?"), "WALL");

    bar = openDemoBar();
    ASSERT_NE(bar, nullptr);
    EXPECT_FLOAT_EQ(bar->values.xScale, 1.2345f);
    EXPECT_FLOAT_EQ(bar->values.zScale, 0.5f);
    EXPECT_FLOAT_EQ(bar->values.rotation, 90.0f);
    EXPECT_EQ(bar->defaultLayer, "WALL");  // a non-empty profile value replaces the file's
    EXPECT_TRUE(shows("open \"Toolbox\" at 300,200"));
    bar->destroyWindow();

    // An empty profile layer leaves the file's; a stored -1 reads as absent,
    // so all four keep their defaults.
    profile().writeString(section, "Layername", "");
    profile().writeInt(section, "ZScale", -1);
    bar = openDemoBar();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->defaultLayer, "FURN");
    EXPECT_FLOAT_EQ(bar->values.xScale, 1.0f);
    EXPECT_FLOAT_EQ(bar->values.rotation, 0.0f);
}

TEST_F(SymbolBarFile, TwoBarsOfTheSameFileNameInDifferentDirectoriesShareOneSection) {
    const std::string text = "SYMBOL\n0\n1\n20 20\n\"\"\n\"\"\n\"" + dir + "/\"\n";
    SymbolBar* first = openBar(write("a/bar.Zsb", text));
    SymbolBar* second = openBar(write("b/bar.Zsb", text));
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(SymbolBar::openBars().size(), 2u);
    second->values.rotation = 45.0f;
    ui("@tool 2 close");
    EXPECT_EQ(profile().getInt("SymbolTemplate-bar.Zsb", "Rotation", 0), 450000);
    EXPECT_FLOAT_EQ(openBar(dir + "/a/bar.Zsb")->values.rotation, 45.0f);
}

TEST_F(SymbolBarFile, MenuCommandsSaveAsBlockDirectoryDefaultLayerAndRollUp) {
    SymbolBar* bar = openDemoBar();
    ASSERT_NE(bar, nullptr);
    ui("@tools");
    EXPECT_TRUE(shows("305 \"Set Block Dir...\""));
    EXPECT_TRUE(shows("307 \"Default Auto Layer...\""));

    answer("@edit 1014 \"\"\n@ok\n");
    ui("@tool 1 sysmenu 307");
    EXPECT_EQ(bar->defaultLayer, "");
    EXPECT_TRUE(bar->changed());

    std::filesystem::create_directories(dir + "/other");
    answer("@edit 1013 \"" + dir + "/other\"\n@ok\n");
    ui("@tool 1 sysmenu 305");
    EXPECT_EQ(bar->blockDirectory(), dir + "/other/");

    answer("@file \"" + dir + "/copy.Zsb\"\n");
    ui("@tool 1 sysmenu 302");
    EXPECT_TRUE(shows("\"Save ZAN Symbol Bar\" filter \"Symbol Bar Data (*.Zsb)|*.Zsb||\" ext \"Zsb\""));
    EXPECT_FALSE(bar->changed());
    EXPECT_EQ(bar->dataFileName(), "copy.Zsb");
    EXPECT_NE(readFile(dir + "/copy.Zsb").find("\"\"\n\"" + dir + "/other/\"\n"), std::string::npos);

    ui("@tool 1 minimize");
    EXPECT_TRUE(bar->rolledUp());
    EXPECT_EQ(bar->caption(), "copy.Zsb");
}

}  // namespace
}  // namespace zan::test
