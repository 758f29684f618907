// The capture analysis and the adding rules of the editor's lists.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "laycfg/capture.h"
#include "levels/levels.h"

namespace {

using zan::Level;
using zan::RuleLists;

// Writes each rule as "+L name", "-L name", "+ layer", "- layer".
struct Recorder : zan::CaptureSink {
    std::vector<std::string> rules;
    void includeLevel(Level& l) override { rules.push_back("+L " + l.name); }
    void excludeLevel(Level& l) override { rules.push_back("-L " + l.name); }
    void includeLayer(std::string_view n) override { rules.push_back("+ " + std::string(n)); }
    void excludeLayer(std::string_view n) override { rules.push_back("- " + std::string(n)); }
};

class Capture : public ::testing::Test {
protected:
    zan::LevelList levels;
    Level* add(const std::string& name, const std::string& modifier) {
        levels.push_back(std::make_unique<Level>());
        levels.back()->name = name;
        levels.back()->modifier = zan::upperModifier(modifier);
        return levels.back().get();
    }
    std::vector<std::string> run(const std::vector<std::string>& frozen, const std::vector<std::string>& thawed,
                                 char separator = '-') {
        Recorder r;
        zan::analyseCapture(frozen, thawed, levels, separator, r);
        // The names as a table read gives them, packed in one buffer: the
        // same rules.
        zan::NameList packedFrozen, packedThawed;
        for (const std::string& n : frozen) packedFrozen.add(n);
        for (const std::string& n : thawed) packedThawed.add(n);
        Recorder packed;
        zan::analyseCapture(packedFrozen, packedThawed, levels, separator, packed);
        EXPECT_EQ(packed.rules, r.rules);
        return r.rules;
    }
    using V = std::vector<std::string>;
};

TEST(NameList, KeepsEveryNameInOrderEmptyOnesToo) {
    zan::NameList names;
    EXPECT_TRUE(names.empty());
    for (const char* n : {"A-WALL", "", "x|A-DOOR", "A very long layer name beyond any short string's own room"})
        names.add(n);
    ASSERT_EQ(names.size(), 4u);
    EXPECT_EQ(names[0], "A-WALL");
    EXPECT_EQ(names[1], "");
    EXPECT_EQ(names[2], "x|A-DOOR");
    EXPECT_EQ(names[3], "A very long layer name beyond any short string's own room");
    names.clear();
    names.add("B");
    ASSERT_EQ(names.size(), 1u);
    EXPECT_EQ(names[0], "B");
}

TEST_F(Capture, TheQuotientDecidesBetweenLevelAndSingleLayers) {
    add("First", "A");
    // q = 2 / 1 = 2: single layers on both sides, the level itself neither.
    EXPECT_EQ(run({"A-WALL", "A-DOOR"}, {"A-TEXT"}), (V{"+ A-TEXT", "- A-WALL", "- A-DOOR"}));
    // q = 3: the level is excluded and its thawed layer included.
    EXPECT_EQ(run({"A-1", "A-2", "A-3"}, {"A-4"}), (V{"-L First", "+ A-4"}));
    // q = 0 (1 / 2 truncated): the level is included, its frozen layer excluded.
    EXPECT_EQ(run({"A-1"}, {"A-2", "A-3"}), (V{"+L First", "- A-1"}));
    // 5 / 2 = 2 in integers (2.5 as a ratio would be the same band; 7 / 3 = 2 too).
    EXPECT_EQ(run({"A-1", "A-2", "A-3", "A-4", "A-5"}, {"A-6", "A-7"}),
              (V{"+ A-6", "+ A-7", "- A-1", "- A-2", "- A-3", "- A-4", "- A-5"}));
    // Only one side present: the whole level.
    EXPECT_EQ(run({}, {"A-1"}), (V{"+L First"}));
    EXPECT_EQ(run({"A-1"}, {}), (V{"-L First"}));
}

TEST_F(Capture, ReferenceLayersCountForTheirLevelAndOthersAreLeftOver) {
    add("First", "A");
    add("Second", "B");
    add("Unused", "C");
    // PLAN|A-WALL belongs to level A; WALL and PLAN|WALL have no separator;
    // X-1 has a modifier of no level. Leftovers: frozen excluded first, then
    // thawed included, each in table order.
    EXPECT_EQ(run({"WALL", "PLAN|A-WALL", "X-1", "B-1"}, {"0", "B-2", "PLAN|WALL"}),
              (V{"-L First", "+ B-2", "- B-1", "- WALL", "- X-1", "+ 0", "+ PLAN|WALL"}));
    // With no separator every name is left over.
    EXPECT_EQ(run({"A-1"}, {"A-2"}, '\0'), (V{"- A-1", "+ A-2"}));
}

TEST_F(Capture, TheFirstLevelOfAModifierTakesItsLayers) {
    add("First", "A");
    add("Again", "a");  // the same modifier once upper-cased
    EXPECT_EQ(run({"A-1"}, {}), (V{"-L First"}));
}

TEST(RuleListsTest, AddingRulesAndTheirMessages) {
    RuleLists lists;
    EXPECT_EQ(lists.add(RuleLists::LayersIncluded, "A-WALL"), RuleLists::Added);
    EXPECT_EQ(lists.add(RuleLists::LayersIncluded, "A-WALL"), RuleLists::AlreadyListed);
    EXPECT_EQ(lists.add(RuleLists::LayersExcluded, "A-WALL"), RuleLists::Conflict);
    EXPECT_EQ(lists.add(RuleLists::LayersExcluded, "*A-WALL"), RuleLists::Added);  // a pattern is another text
    EXPECT_EQ(lists.add(RuleLists::LayersIncluded, "a-wall"), RuleLists::Added);   // texts compare exactly
    EXPECT_EQ(lists.lines(RuleLists::LayersIncluded).size(), 2u);
    EXPECT_TRUE(lists.remove(RuleLists::LayersIncluded, "A-WALL"));
    EXPECT_FALSE(lists.remove(RuleLists::LayersIncluded, "A-WALL"));
    EXPECT_EQ(lists.add(RuleLists::LayersExcluded, "A-WALL"), RuleLists::Added);

    lists.clear(RuleLists::LayersExcluded);
    EXPECT_FALSE(lists.contains(RuleLists::LayersExcluded, "A-WALL"));
    EXPECT_EQ(lists.add(RuleLists::LayersExcluded, "A-WALL"), RuleLists::Added);

    EXPECT_EQ(RuleLists::conflictMessage(RuleLists::ModifiersIncluded, "First"),
              "level First is already in the Levels Excluded list.  It will not be added.");
    EXPECT_EQ(RuleLists::conflictMessage(RuleLists::ModifiersExcluded, "First"),
              "level First is already in the Levels Included list.  It will not be added.");
    EXPECT_EQ(RuleLists::conflictMessage(RuleLists::LayersIncluded, "A-%s"),
              "layer A-%s is already in the Layers Excluded list.  It will not be added.");
    EXPECT_EQ(RuleLists::conflictMessage(RuleLists::LayersExcluded, "A"),
              "layer A is already in the Layers Included list.  It will not be added.");
}

TEST(RuleListsTest, ManyTextsStayFoundInOrderThroughRemovals) {
    // Enough lines for the lists to grow many times over; then lines go
    // from the start, the middle and the end, and the rest keep their
    // order and are still found (and still refuse the opposite list).
    RuleLists lists;
    const int n = 5000;
    auto name = [](int i) { return "L" + std::to_string(i); };
    for (int i = 0; i < n; ++i) ASSERT_EQ(lists.add(RuleLists::LayersIncluded, name(i)), RuleLists::Added);
    for (int i : {0, n / 2, n - 1, 17}) EXPECT_TRUE(lists.remove(RuleLists::LayersIncluded, name(i)));
    const auto& lines = lists.lines(RuleLists::LayersIncluded);
    ASSERT_EQ(lines.size(), static_cast<std::size_t>(n - 4));
    int expected = 0;
    for (const auto& line : lines) {
        while (expected == 0 || expected == n / 2 || expected == n - 1 || expected == 17) ++expected;
        ASSERT_EQ(line.text, name(expected));
        ++expected;
    }
    for (int i = 0; i < n; ++i) {
        const bool removed = i == 0 || i == n / 2 || i == n - 1 || i == 17;
        ASSERT_EQ(lists.contains(RuleLists::LayersIncluded, name(i)), !removed) << i;
        ASSERT_EQ(lists.add(RuleLists::LayersExcluded, name(i)), removed ? RuleLists::Added : RuleLists::Conflict) << i;
    }
    EXPECT_EQ(lists.add(RuleLists::LayersIncluded, name(0)), RuleLists::Conflict);
    EXPECT_EQ(lists.insert(RuleLists::LayersIncluded, name(0)), true);  // shown as stored, both sides
    EXPECT_EQ(lists.lines(RuleLists::LayersIncluded).back().text, name(0));
}

}  // namespace
