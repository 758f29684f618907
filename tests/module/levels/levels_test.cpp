// The level model: lookup and uniqueness, the layer-name rule, the active
// prefix, and the thaw and freeze texts run by the host's command line.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "db/layers.h"
#include "levels/level_index.h"
#include "levels/levels.h"
#include "shell/lifecycle.h"
#include "shell/state.h"
#include "support/session_harness.h"

using zan::test::SessionHarness;

namespace {

class Levels : public ::testing::Test {
protected:
    void SetUp() override {
        zan::onInitApplication(nullptr);
        zan::state().modifierSeparator = '-';
        zan::state().activeModifierPrefix.clear();
    }
    void TearDown() override {
        zan::destroyAll(zan::state().levelList);
        zan::onUnloadApplication();
    }
    zan::Level* add(const std::string& name, const std::string& modifier) {
        auto level = std::make_unique<zan::Level>();
        level->name = name;
        zan::setModifier(*level, modifier);
        zan::state().levelList.push_back(std::move(level));
        return zan::state().levelList.back().get();
    }
    SessionHarness h{false, true};
};

}  // namespace

TEST_F(Levels, SplittingTakesTheModifierBeforeTheFirstAndTheRootAfterTheLastSeparator) {
    struct Case { const char* name; const char* modifier; const char* root; };
    for (Case c : {Case{"A-WALL", "A", "WALL"}, Case{"A-WALL-NEW", "A", "NEW"}, Case{"PLAN|A-WALL", "A", "WALL"},
                   Case{"WALL", "", "WALL"}, Case{"X|Y|B-DOOR", "B", "DOOR"}, Case{"-WALL", "", "WALL"},
                   Case{"A-", "A", ""}}) {
        EXPECT_EQ(zan::modifierOf(c.name), c.modifier) << c.name;
        EXPECT_EQ(zan::rootNameOf(c.name), c.root) << c.name;
    }
    EXPECT_EQ(zan::composeLayerName("A", "WALL"), "A-WALL");

    // With no separator a name is its own root and has no modifier.
    zan::state().modifierSeparator = '\0';
    EXPECT_EQ(zan::composeLayerName("A", "WALL"), "AWALL");
    EXPECT_EQ(zan::modifierOf("AWALL"), "");
    EXPECT_EQ(zan::rootNameOf("AWALL"), "AWALL");
    EXPECT_EQ(zan::rootNameOf(""), "");
}

TEST_F(Levels, UniquenessTestsModifierFirstAndTheEarliestLevelDecides) {
    add("First", "A");
    add("Second", "B");
    zan::Level candidate;
    candidate.name = "first";
    zan::setModifier(candidate, "a");
    EXPECT_EQ(candidate.modifier, "A");
    EXPECT_EQ(zan::checkLevelUnique(candidate, zan::state().levelList), 1);
    candidate.modifier = "C";
    EXPECT_EQ(zan::checkLevelUnique(candidate, zan::state().levelList), 0);  // names are case-sensitive
    candidate.name = "First";
    EXPECT_EQ(zan::checkLevelUnique(candidate, zan::state().levelList), 2);
    candidate.name = "Second";
    candidate.modifier = "A";  // level 1 matches by modifier before level 2 by name
    EXPECT_EQ(zan::checkLevelUnique(candidate, zan::state().levelList), 1);

    EXPECT_EQ(zan::findLevelByName("Second")->modifier, "B");
    EXPECT_EQ(zan::findLevelByName("second"), nullptr);
}

TEST_F(Levels, UpperCasingKeepsMultibyteCharactersWhole) {
    zan::Level level;
    zan::setModifier(level, "\xc3\xa9tage-b");  // "étage-b" in UTF-8
    EXPECT_EQ(level.modifier, "\xc3\xa9TAGE-B");
}

TEST_F(Levels, ActivePrefixFollowsTheSelectedLevelAndSeparator) {
    zan::Level* a = add("First", "A");
    zan::selectLevel(*a);
    EXPECT_EQ(zan::state().activeModifierPrefix, "A-");
    zan::state().modifierSeparator = '\0';
    zan::selectLevel(*a);
    EXPECT_EQ(zan::state().activeModifierPrefix, "A");
    EXPECT_EQ(zan::levelPattern(*a), "A*,*|A*");
    zan::clearActiveLevel();
    EXPECT_EQ(zan::state().activeModifierPrefix, "");
}

TEST_F(Levels, ThawAndFreezeTextsRunThroughTheHostCommandLine) {
    for (const char* n : {"A-WALL", "A-DOOR", "PLAN|A-WALL", "B-WALL", "AWALL"}) host::ensureLayer(h.db(), n);
    h.run("-layer f * \n");
    zan::Level* a = add("First", "a");
    h.clearTranscript();
    EXPECT_TRUE(zan::thawLevelLayers(*a));
    EXPECT_EQ(a->thawed, 1);
    h.run("");  // the host runs the text when idle
    EXPECT_NE(h.transcript().find("[trace] text: \"-Layer Set 0 T A-*,*|A-*  \""), std::string::npos);
    for (const char* n : {"A-WALL", "A-DOOR", "PLAN|A-WALL"})
        EXPECT_FALSE(host::layerFrozen(h.db().at(host::findLayer(h.db(), n)))) << n;
    for (const char* n : {"B-WALL", "AWALL"})
        EXPECT_TRUE(host::layerFrozen(h.db().at(host::findLayer(h.db(), n)))) << n;
    EXPECT_EQ(h.db().variables().text("CLAYER"), "0");

    EXPECT_TRUE(zan::freezeLevelLayers(*a));
    h.run("");
    EXPECT_EQ(a->thawed, 0);
    EXPECT_TRUE(host::layerFrozen(h.db().at(host::findLayer(h.db(), "PLAN|A-WALL"))));
}

TEST_F(Levels, ModifierTooLongForTheCommandTextIsRefused) {
    EXPECT_EQ(zan::maximumModifierLength(), 51u);
    zan::Level* fits = add("Fits", std::string(51, 'M'));
    zan::Level* tooLong = add("Long", std::string(52, 'M'));
    h.clearTranscript();
    EXPECT_TRUE(zan::thawLevelLayers(*fits));
    EXPECT_FALSE(zan::thawLevelLayers(*tooLong));
    EXPECT_EQ(tooLong->thawed, 0);
    EXPECT_NE(h.transcript().find("is too long"), std::string::npos);
    h.run("");
    EXPECT_EQ(h.count("[trace] text:"), 1u);
    zan::state().modifierSeparator = '\0';
    EXPECT_EQ(zan::maximumModifierLength(), 52u);
    EXPECT_TRUE(zan::thawLevelLayers(*tooLong));
}

// The index finds the first level of a name, exactly as written, across
// the growth of its table, whether the level was there when it was made or
// added after.
TEST_F(Levels, IndexFindsTheFirstLevelOfANameExactly) {
    zan::Level* first = add("Level 1", "A");
    zan::Level* again = add("Level 1", "B");
    zan::Level* empty = add("", "C");
    zan::LevelIndex index(zan::state().levelList);
    EXPECT_EQ(index.find("Level 1"), first);
    EXPECT_EQ(index.find(""), empty);
    EXPECT_EQ(index.find("level 1"), nullptr);
    EXPECT_EQ(index.find("Level 1 "), nullptr);
    std::vector<zan::Level*> added;
    for (int i = 0; i < 5000; ++i) {
        added.push_back(add("L" + std::to_string(i), "M" + std::to_string(i)));
        index.add(*added.back());
    }
    index.add(*add("L42", "X"));  // later: the earlier level keeps the name
    index.add(*again);
    for (int i = 0; i < 5000; ++i) ASSERT_EQ(index.find("L" + std::to_string(i)), added[static_cast<std::size_t>(i)]);
    EXPECT_EQ(index.find("Level 1"), first);
    EXPECT_EQ(index.find("L5000"), nullptr);
}
