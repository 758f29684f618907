// Edit Modifier from a right click on the bar: the four actions, what they
// leave in the grid and the level list, the uniqueness messages, and the
// configurations of a deleted level.
#include "laycfg/layer_configuration.h"
#include "level_bar_fixture.h"
#include "levels/level_removal.h"
#include "levels/levels.h"
#include "shell/state.h"

namespace zan::test {
namespace {

class EditModifier : public LevelBarTest {};

TEST_F(EditModifier, AppendAddsALevelWithTheClickedLevelsTagAtTheEnd) {
    openThreeLevelBar();
    answer("@edit 1022 Fourth\n@edit 1023 d\n@edit 1025 four.bmp\n@click 1031\n");
    ui("@tool 1 click 2 right");
    EXPECT_EQ(grid(), (std::vector<std::string>{"First", "Second", "Third", "Fourth"}));
    EXPECT_EQ(levels(), (std::vector<std::string>{"First=A/Ground", "Second=B/Upper", "Third=C/Roof", "Fourth=D/Upper"}));
    EXPECT_EQ(bar()->buttonAt(3).item().imageFile, "four.bmp");
    EXPECT_TRUE(bar()->changed());
    EXPECT_TRUE(shows("[dialog 120]   edit 1022 = \"Second\""));
    EXPECT_TRUE(shows("[dialog 120]   edit 1023 = \"B\""));
    EXPECT_TRUE(shows("[dialog 120]   edit 1025 = \"b.bmp\""));
}

TEST_F(EditModifier, InsertOnTheFirstButtonPutsTheNewLevelInFront) {
    openThreeLevelBar();
    answer("@edit 1022 Basement\n@edit 1023 u\n@click 1032\n");
    ui("@tool 1 click 1 right");
    EXPECT_EQ(grid(), (std::vector<std::string>{"Basement", "First", "Second", "Third"}));
    EXPECT_EQ(levels().back(), "Basement=U/Ground");
    EXPECT_EQ(bar()->columns(), 4);
}

TEST_F(EditModifier, ModifyChangesTheLevelInPlaceWithoutAUniquenessTest) {
    openThreeLevelBar();
    const Level* third = state().levelList[2].get();
    answer("@edit 1022 \"Roof \\\"top\\\"\"\n@edit 1023 b\n@edit 1025 other.bmp\n@click 1030\n");
    ui("@tool 1 click 3 right");
    EXPECT_EQ(grid(), (std::vector<std::string>{"First", "Second", "Roof  top "}));
    EXPECT_EQ(levels(), (std::vector<std::string>{"First=A/Ground", "Second=B/Upper", "Roof \"top\"=B/Roof"}));
    EXPECT_EQ(state().levelList[2].get(), third);
    EXPECT_EQ(bar()->buttonAt(2).item().imageFile, "other.bmp");

    // A double quote typed into a modifier cannot end its text in the file.
    answer("@edit 1023 \"q\\\"x\"\n@click 1030\n");
    ui("@tool 1 click 1 right");
    EXPECT_EQ(levels().front(), "First=Q\"X/Ground");
    EXPECT_NE(bar()->fileText().find("\"a.bmp\" \"First\" \"Q X\" \"Ground\"\n"), std::string::npos);
}

TEST_F(EditModifier, DuplicatesAreRefusedButTheBarCountsAsChanged) {
    openThreeLevelBar();
    // A modifier typed in lower case equals B; the same name and modifier as
    // First: the modifier message wins; a new modifier with a taken name.
    answer("@edit 1022 Other\n@edit 1023 b\n@click 1031\n@ok\n"
           "@edit 1022 First\n@edit 1023 a\n@click 1032\n@ok\n"
           "@edit 1022 Third\n@edit 1023 Q\n@click 1031\n@ok\n");
    ui("@tool 1 click 1 right");
    ui("@tool 1 click 1 right");
    ui("@tool 1 click 1 right");
    EXPECT_EQ(h.count(messageBox("A Level with that modifier already exists.\\n Levels must be unique.")), 2u);
    EXPECT_EQ(h.count(messageBox("A Level with that name already exists.\\n Levels must be unique.")), 1u);
    EXPECT_EQ(grid(), (std::vector<std::string>{"First", "Second", "Third"}));
    EXPECT_EQ(levels().size(), 3u);
    EXPECT_TRUE(bar()->changed());
}

TEST_F(EditModifier, DeleteRemovesTheLevelFromTheBarTheListAndEveryConfiguration) {
    openThreeLevelBar();
    Level* second = state().levelList[1].get();
    Level* third = state().levelList[2].get();
    auto* includes = state().layerConfigurations.append(std::make_unique<LayerConfiguration>());
    includes->addIncludedModifier(second);
    includes->addExcludedModifier(third);
    auto* excludes = state().layerConfigurations.append(std::make_unique<LayerConfiguration>());
    excludes->addExcludedModifier(second);

    answer("@click 1033\n");
    ui("@tool 1 click 2 right");
    EXPECT_EQ(grid(), (std::vector<std::string>{"First", "Third"}));
    EXPECT_EQ(levels(), (std::vector<std::string>{"First=A/Ground", "Third=C/Roof"}));
    EXPECT_TRUE(includes->includedModifiers.empty());
    EXPECT_EQ(includes->excludedModifiers, std::vector<Level*>{third});
    EXPECT_TRUE(excludes->excludedModifiers.empty());
    EXPECT_EQ(bar()->columns(), 2);
    // The remaining buttons still work.
    ui("@tool 1 click 2");
    EXPECT_EQ(state().activeModifierPrefix, "C-");
}

TEST_F(EditModifier, DeletingOneOfTwoButtonsOfOneLevelKeepsTheLevel) {
    state().modifierFile = write("twice.Zmb", "LEVELS\n3\n1\n20 20\n\"" + dir +
                                                  "/\"\n\"\" \"A\" \"a\" \"\"\n\"\" \"B\" \"b\" \"\"\n\"\" \"A\" \"x\" \"t\"\n");
    modifierbarCommand();
    ASSERT_NE(bar(), nullptr);
    EXPECT_EQ(levels(), (std::vector<std::string>{"A=X/t", "B=B/"}));
    answer("@click 1033\n");
    ui("@tool 1 click 1 right");
    EXPECT_EQ(grid(), (std::vector<std::string>{"B", "A"}));
    EXPECT_EQ(levels(), (std::vector<std::string>{"A=X/t", "B=B/"}));
    ui("@tool 1 click 2");
    EXPECT_EQ(state().activeModifierPrefix, "X-");
}

TEST_F(EditModifier, CancelAfterBrowseChangesNothing) {
    openThreeLevelBar();
    write("picked.bmp", "");
    answer("@click 1026\n@file " + dir + "/picked.bmp\n@cancel\n");
    ui("@tool 1 click 1 right");
    EXPECT_TRUE(shows("[dialog 120]   edit 1025 = \"picked.bmp\""));
    EXPECT_EQ(bar()->buttonAt(0).item().imageFile, "a.bmp");
    EXPECT_EQ(levels().front(), "First=A/Ground");
    EXPECT_FALSE(bar()->changed());
}

}  // namespace
}  // namespace zan::test

namespace zan::test {
namespace {

// Adds a level to the module's level list and returns it.
Level* keep(const char* name, const char* modifier) {
    auto& levels = state().levelList;
    levels.push_back(std::make_unique<Level>(Level{name, 0, modifier, ""}));
    return levels.back().get();
}

TEST(LevelRemoval, ClearingTheLevelListKeepsConfigurationsLevelsAsNames) {
    auto& s = state();
    Level* a = keep("Alpha", "A");
    Level* b = keep("Beta", "B");
    auto* c = s.layerConfigurations.append(std::make_unique<LayerConfiguration>());
    c->addIncludedModifier(a);
    c->addExcludedModifier(b);
    c->addUnresolvedIncludedModifier("Gamma");
    c->addUnresolvedIncludedModifier("Alpha");  // already kept as a name: not twice

    clearLevelList();
    EXPECT_TRUE(s.levelList.empty());
    EXPECT_TRUE(c->includedModifiers.empty());
    EXPECT_TRUE(c->excludedModifiers.empty());
    EXPECT_EQ(c->unresolvedIncludedModifiers, (std::vector<std::string>{"Gamma", "Alpha"}));
    EXPECT_EQ(c->unresolvedExcludedModifiers, std::vector<std::string>{"Beta"});
    s.layerConfigurations.clear();
}

TEST(LevelRemoval, NamesKeptOnClearingFollowTheLevelListOrder) {
    auto& s = state();
    Level* a = keep("Alpha", "A");
    Level* b = keep("Beta", "B");
    Level* c = keep("Gamma", "C");
    auto* first = s.layerConfigurations.append(std::make_unique<LayerConfiguration>());
    first->addIncludedModifier(c);
    first->addIncludedModifier(a);
    auto* copy = s.layerConfigurations.append(std::make_unique<LayerConfiguration>());
    copy->copyFrom(*first);
    copy->copyFrom(*first);  // a copy may list a level twice
    copy->addExcludedModifier(b);
    copy->addUnresolvedExcludedModifier("Beta");

    clearLevelList();
    EXPECT_EQ(first->unresolvedIncludedModifiers, (std::vector<std::string>{"Alpha", "Gamma"}));
    EXPECT_EQ(copy->unresolvedIncludedModifiers, (std::vector<std::string>{"Alpha", "Gamma"}));
    EXPECT_EQ(copy->unresolvedExcludedModifiers, std::vector<std::string>{"Beta"});
    EXPECT_TRUE(copy->includedModifiers.empty());
    s.layerConfigurations.clear();
}

}  // namespace
}  // namespace zan::test
