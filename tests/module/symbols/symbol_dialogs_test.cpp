// New Symbol and the three settings dialogs of the option strip.
#include "symbol_bar_fixture.h"
#include "symbols/new_symbol_dialog.h"

namespace zan::test {
namespace {

class SymbolDialogs : public SymbolBarTest {
protected:
    void SetUp() override {
        bar = openDemoBar();
        ASSERT_NE(bar, nullptr);
    }
    const SymbolButton& symbol(int index) const {
        return static_cast<const SymbolButton&>(bar->buttonAt(index).item());
    }
    SymbolBar* bar = nullptr;
};

TEST_F(SymbolDialogs, NewSymbolShowsTheClickedSymbolAndModifiesItInPlace) {
    answer("@show\n@edit 1000 \"Wide \\\"door\\\"\"\n@edit 1002 door2.dwg.dwg\n@edit 1027 DR\n@check 1029 on\n@click 1030\n");
    ui("@tool 1 click 1 right");
    EXPECT_TRUE(shows("[dialog 103] open modal \"New Symbol\""));
    EXPECT_TRUE(shows("\"sym_door.bmp\""));
    EXPECT_EQ(labels(*bar), (std::vector<std::string>{"Wide  door ", "Window", "Table", "Arrow"}));
    EXPECT_EQ(symbol(0).blockName, "door2");  // cut at the first ".dwg"
    EXPECT_EQ(symbol(0).layerName, "DR");
    EXPECT_EQ(symbol(0).searchSubEntities, 1);
    EXPECT_EQ(symbol(0).imageFile, "sym_door.bmp");
    EXPECT_TRUE(bar->changed());
}

TEST_F(SymbolDialogs, BrowseStoresTheFileNameAndOnlyALowerCaseEndingIsCut) {
    answer("@click 1003\n@file \"" + dir + "/samples/demo/blocks/window.dwg\"\n@click 1001\n@file \"" + dir +
           "/samples/demo/bitmaps/sym_window.bmp\"\n@click 1030\n");
    ui("@tool 1 click 1 right");
    // A new drawing has no folder: the bar's relative folders stay as recorded.
    EXPECT_TRUE(shows("filter \"Drawings (*.dwg)|*.dwg||\" ext \"dwg\" dir \"blocks/\""));
    EXPECT_TRUE(shows("filter \"Bitmaps (*.bmp)|*.bmp||\" ext \"bmp\" dir \"bitmaps/\""));
    EXPECT_EQ(symbol(0).blockName, "window");
    EXPECT_EQ(symbol(0).imageFile, "sym_window.bmp");

    answer("@edit 1002 DOOR.DWG\n@click 1030\n");
    ui("@tool 1 click 1 right");
    EXPECT_EQ(symbol(0).blockName, "DOOR.DWG");
}

TEST_F(SymbolDialogs, AppendInsertAndDeleteChangeTheGrid) {
    answer("@edit 1000 New\n@click 1031\n");
    ui("@tool 1 click 2 right");
    answer("@edit 1000 Before\n@click 1032\n");
    ui("@tool 1 click 2 right");
    EXPECT_EQ(labels(*bar), (std::vector<std::string>{"Door", "Before", "Window", "Table", "Arrow", "New"}));
    EXPECT_EQ(symbol(1).blockName, "window");  // the clicked symbol's values, name changed
    EXPECT_EQ(symbol(1).imageNumber, -1);

    answer("@click 1033\n");
    ui("@tool 1 click 1 right");
    EXPECT_EQ(labels(*bar).front(), "Before");

    // An unchanged dialog's action still counts as a change; Cancel does not.
    bar->setChanged(false);
    answer("@cancel\n");
    ui("@tool 1 click 1 right");
    EXPECT_FALSE(bar->changed());
    answer("@click 1030\n");
    ui("@tool 1 click 1 right");
    EXPECT_TRUE(bar->changed());
}

TEST_F(SymbolDialogs, DeletingTheLastSymbolSavesAnEmptyBarThatReadsBackEmpty) {
    for (int i = 0; i < 4; ++i) {
        answer("@click 1033\n");
        ui("@tool 1 click 1 right");
    }
    EXPECT_EQ(bar->itemCount(), 0);
    ASSERT_TRUE(bar->save());
    EXPECT_EQ(readFile(demoFile), "SYMBOL\n0\n1\n20 20\n\"FURN\"\n\"blocks/\"\n\"bitmaps/\"\n");
    bar->destroyWindow();
    SymbolBar* again = openDemoBar();
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->itemCount(), 0);
}

TEST_F(SymbolDialogs, ATextTooLongForTheFileIsRefusedAndTheDialogStaysOpen) {
    const std::string longName(128, 'n');
    answer("@edit 1000 " + longName + "\n@click 1031\n@ok\n@edit 1000 short\n@click 1031\n");
    ui("@tool 1 click 1 right");
    EXPECT_TRUE(shows("\"Please enter no more than 127 characters.\""));
    EXPECT_EQ(labels(*bar).back(), "short");
}

TEST_F(SymbolDialogs, ScalingFactorsAcceptZeroAndRefuseOutOfRange) {
    answer("@show\n@edit 1016 31000.5\n@ok\n@ok\n@edit 1016 0\n@edit 1017 -1.5\n@ok\n@ok\n@edit 1017 2\n@edit 1018 x\n@ok\n@ok\n@edit 1018 31000\n@ok\n");
    ui("@tool 1 release strip 3 right");
    EXPECT_TRUE(shows("[dialog 116] open modal \"Automatic Scaling Factors\""));
    EXPECT_TRUE(shows("edit 1016 = \"1\""));
    EXPECT_TRUE(shows("\"Please enter a number between 0 and 31000.\""));
    EXPECT_TRUE(shows("\"Please enter a number.\""));
    EXPECT_FLOAT_EQ(bar->values.xScale, 0.0f);
    EXPECT_FLOAT_EQ(bar->values.yScale, 2.0f);
    EXPECT_FLOAT_EQ(bar->values.zScale, 31000.0f);
    EXPECT_FALSE(bar->changed());  // the values reach the profile at close

    answer("@edit 1016 5\n@cancel\n");
    ui("@tool 1 release strip 3 right");
    EXPECT_FLOAT_EQ(bar->values.xScale, 0.0f);
}

TEST_F(SymbolDialogs, RotationAcceptsMinusOneAndLayerNameMayBeEmpty) {
    answer("@edit 1018 -1.5\n@ok\n@ok\n@edit 1018 -1\n@ok\n");
    ui("@tool 1 release strip 4 right");
    EXPECT_TRUE(shows("\"Please enter a number between -1 and 360.\""));
    EXPECT_FLOAT_EQ(bar->values.rotation, -1.0f);

    answer("@show\n@edit 1019 \"\"\n@ok\n");
    ui("@tool 1 release strip 1 right");
    EXPECT_TRUE(shows("edit 1019 = \"FURN\""));
    EXPECT_EQ(bar->defaultLayer, "");
    EXPECT_FALSE(bar->changed());

    // The explode option has no dialog; a left click toggles an option.
    ui("@tool 1 release strip 2 right");
    ui("@tool 1 click strip 2");
    EXPECT_TRUE(bar->option(SymbolBar::kExplode));
}

}  // namespace
}  // namespace zan::test
