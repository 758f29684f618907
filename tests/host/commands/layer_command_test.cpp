// The host's LAYER command: its options, name lists and the rules about the
// current layer, read back from the layer table.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "commands/layer_name_lists.h"
#include "db/layers.h"
#include "wildcard/wildcard.h"
#include "support/session_harness.h"

using zan::test::SessionHarness;

namespace {

void addLayers(SessionHarness& h, const std::vector<std::string>& names) {
    for (const std::string& n : names) host::ensureLayer(h.db(), n);
}

const host::Record& layer(SessionHarness& h, const std::string& name) {
    return h.db().at(host::findLayer(h.db(), name));
}
bool frozen(SessionHarness& h, const std::string& name) { return host::layerFrozen(layer(h, name)); }

std::vector<std::string> frozenLayers(SessionHarness& h) {
    std::vector<std::string> out;
    for (host::RecordId id : h.db().table("LAYER")->entries)
        if (host::layerFrozen(h.db().at(id))) out.emplace_back(h.db().at(id).text(2));
    return out;
}

}  // namespace

TEST(LayerCommand, NameListsMatchWithoutRegardToCaseAndTheLastOptionWins) {
    SessionHarness h(false);
    addLayers(h, {"A-WALL", "a-door", "PLAN|A-WALL", "B-WALL", "WALL", "XA-WALL"});
    h.run("-LAYER F a-*,*|a-* T A-DOOR \n");
    EXPECT_EQ(frozenLayers(h), (std::vector<std::string>{"A-WALL", "PLAN|A-WALL"}));
    h.run("_.layer thaw * freeze ~0 thaw b-wall,wall \n");
    EXPECT_EQ(frozenLayers(h), (std::vector<std::string>{"Defpoints", "A-WALL", "a-door", "PLAN|A-WALL", "XA-WALL"}));
    h.run("layer t * \n");
    EXPECT_TRUE(frozenLayers(h).empty());
    EXPECT_EQ(h.count("Cannot find layer"), 0u);
    h.run("layer f NOSUCH,B-* \n");
    EXPECT_EQ(h.count("Cannot find layer \"NOSUCH\"."), 1u);
    EXPECT_TRUE(frozen(h, "B-WALL"));
}

TEST(LayerCommand, CurrentLayerIsNeverFrozenAndFrozenLayerNeverMadeCurrent) {
    SessionHarness h(false);
    addLayers(h, {"A-WALL", "B-WALL"});
    h.run("-layer set A-WALL freeze * \n");
    EXPECT_EQ(h.db().variables().text("CLAYER"), "A-WALL");
    EXPECT_FALSE(frozen(h, "A-WALL"));
    EXPECT_TRUE(frozen(h, "B-WALL"));
    EXPECT_TRUE(frozen(h, "0"));
    EXPECT_EQ(h.count("Cannot freeze layer \"A-WALL\".  It is the CURRENT layer."), 1u);
    h.run("-layer s b-wall \n-layer m b-wall \n");
    EXPECT_EQ(h.db().variables().text("CLAYER"), "A-WALL");
    EXPECT_EQ(h.count("Cannot set current layer to a frozen layer."), 2u);
    h.run("-layer s nosuch \n");
    EXPECT_EQ(h.count("Cannot find layer \"nosuch\"."), 1u);
}

TEST(LayerCommand, NewMakeOnOffLockColorAndLinetype) {
    SessionHarness h(false);
    h.run("-layer n P1,p2,bad*name m M1 \n");
    ASSERT_NE(host::findLayer(h.db(), "P1"), host::kNoRecord);
    ASSERT_NE(host::findLayer(h.db(), "p2"), host::kNoRecord);
    EXPECT_EQ(host::findLayer(h.db(), "bad*name"), host::kNoRecord);
    EXPECT_EQ(h.db().variables().text("CLAYER"), "M1");
    EXPECT_NE(h.transcript().find("Invalid layer name"), std::string::npos);

    h.run("-layer c red P1 c 5 \n\n");  // Enter for the list: the current layer
    EXPECT_EQ(layer(h, "P1").integer(62), 1);
    EXPECT_EQ(layer(h, "M1").integer(62), 5);
    h.run("-layer off P* lo p2 \n");
    EXPECT_LT(layer(h, "P1").integer(62), 0);
    EXPECT_EQ(layer(h, "P1").integer(62), -1);  // colour kept while off
    EXPECT_TRUE(layer(h, "p2").integer(70) & host::kLayerLocked);
    h.run("-layer on * u * \n");
    EXPECT_EQ(layer(h, "P1").integer(62), 1);
    EXPECT_FALSE(layer(h, "p2").integer(70) & host::kLayerLocked);

    h.run("-layer l nosuch \n-layer l continuous p2 \n");
    EXPECT_NE(h.transcript().find("Linetype \"nosuch\" not found"), std::string::npos);
    EXPECT_EQ(layer(h, "p2").text(6), "Continuous");
}

// A layer read without flags or colour groups gets them when switched, each
// switch of one command kept (frozen, off and locked together).
TEST(LayerCommand, SwitchesOfOneCommandAllReachALayerWithoutFlagsOrColour) {
    SessionHarness h(false);
    host::RecordId bare = host::ensureLayer(h.db(), "BARE");
    h.db().modify(bare, [](host::Record& r) {
        r.groups = {{100, "AcDbSymbolTableRecord"}, {100, "AcDbLayerTableRecord"}, {2, "BARE"}};
    });
    h.run("-layer f BARE off BARE lo BARE \n");
    EXPECT_EQ(layer(h, "BARE").integer(70), host::kLayerFrozen | host::kLayerLocked);
    EXPECT_EQ(layer(h, "BARE").integer(62), -7);
    h.run("-layer t BARE on BARE \n");
    EXPECT_EQ(layer(h, "BARE").integer(70), host::kLayerLocked);
    EXPECT_EQ(layer(h, "BARE").integer(62), 7);
}

// Only the layers a command changes count as changed: a switch that finds a
// layer as it wants it leaves the layer's revision alone.
TEST(LayerCommand, LayersLeftAsTheyWereAreNotStampedAsChanged) {
    SessionHarness h(false);
    addLayers(h, {"A-WALL", "B-WALL"});
    h.run("-layer f B-WALL \n");
    const std::uint64_t a = layer(h, "A-WALL").revision;
    const std::uint64_t b = layer(h, "B-WALL").revision;
    h.run("-layer on * thaw * \n");
    EXPECT_EQ(layer(h, "A-WALL").revision, a);
    EXPECT_GT(layer(h, "B-WALL").revision, b);
    EXPECT_FALSE(frozen(h, "B-WALL"));
}

TEST(LayerCommand, LayerZeroAlwaysExistsAndCancelKeepsWhatWasEntered) {
    SessionHarness h(false);
    addLayers(h, {"A"});
    EXPECT_NE(host::findLayer(h.db(), "0"), host::kNoRecord);
    zan::app::Script none("");
    h.session().attach(none);
    ASSERT_EQ(ads_command(RTSTR, "layer", RTSTR, "freeze", RTSTR, "A", 0), RTNORM);
    ASSERT_EQ(ads_command(0), RTNORM);  // cancel
    EXPECT_FALSE(h.host().commands().active());
    EXPECT_TRUE(frozen(h, "A"));
}

// The fast paths of the name-list matcher must agree with the host's
// general wildcard matcher on every kind of pattern.
TEST(LayerNameLists, MatcherAgreesWithTheWildcardRules) {
    const std::vector<std::string> names = {"A-WALL", "a-wall", "A-WALL-NEW", "PLAN|A-WALL", "X|Y|A-DOOR", "WALL",
                                            "A1", "AB", "A.B", "A B", "A*B", "A,B", "[A]", "~A", "0", "",
                                            "PLAN|WALL", "B-", "A-"};
    const std::vector<std::string> lists = {
        "A-*,*|A-*,", "a-wall", "*", "~0", "A#", "A@", "A.B", "A[0-9]", "A[~0-9]", "A`*B", "A`,B", "*|*",
        "*WALL", "A-*-NEW", "B-,WALL", "[~A]*", "`[A`]", "~A-*", "*|A-", "A?", ",,A1,"};
    for (const std::string& list : lists) {
        host::NameListMatcher matcher;
        matcher.addList(list);
        for (const std::string& name : names) {
            bool fast = false;
            matcher.match(name, [&](std::size_t, std::size_t) { fast = true; });
            bool general = false;
            for (std::string_view p : host::splitNameList(list))
                if (!p.empty() && wildcard::wildcardMatch(name, p, true)) general = true;
            EXPECT_EQ(fast, general) << "name \"" << name << "\" list \"" << list << "\"";
        }
    }
}

TEST(LayerNameLists, SeveralListsReportEachMatchingList) {
    host::NameListMatcher matcher;
    matcher.addList("A-*,*|A-*,");
    matcher.addList("B-*");
    matcher.addList("a-wall");
    std::vector<int> hit(3, 0);
    matcher.match("a-WALL", [&](std::size_t list, std::size_t) { hit[list] = 1; });
    EXPECT_EQ(hit, (std::vector<int>{1, 0, 1}));
    hit.assign(3, 0);
    matcher.match("REF|x|A-DOOR", [&](std::size_t list, std::size_t) { hit[list] = 1; });
    EXPECT_EQ(hit, (std::vector<int>{1, 0, 0}));
}
