// Restoring a configuration: the host commands sent, argument by argument,
// and the layers thawed and frozen, read back from the drawing.
#include "fixture.h"

#include "ads/adslib.h"
#include "db/layers.h"
#include "db/viewport_layers.h"
#include "db/viewports.h"
#include "laycfg/restore.h"
#include "laycfg/restore_plan.h"

using zan::LayerConfiguration;

namespace {

const std::vector<std::string> kLayers = {"A-WALL", "A-DOOR", "PLAN|A-WALL", "B-WALL", "B-DOOR", "WALL"};

}  // namespace

class Restore : public zan::test::ModuleState {
protected:
    std::vector<std::string> frozen() {
        std::vector<std::string> out;
        for (host::RecordId id : h.db().table("LAYER")->entries)
            if (host::layerFrozen(h.db().at(id))) out.emplace_back(h.db().at(id).text(2));
        return out;
    }
    void drawing() {
        for (const std::string& n : kLayers) host::ensureLayer(h.db(), n);
        h.run("-layer f B-DOOR,WALL \n");
        h.clearTranscript();
    }
};

TEST_F(Restore, EmptyConfigurationSendsTheFixedSequence) {
    LayerConfiguration c;
    zan::restoreToModelSpace(c);
    EXPECT_EQ(traces(), (std::vector<std::string>{
                            R"(command: "layer" "set" "0" "on" "*" "")",
                            R"(command: "Layer" "Freeze" "" "Thaw" "" "Freeze" "" "Thaw" "" "")",
                            R"(command: "regenauto" "ON")"}));
    EXPECT_EQ(h.db().variables().integer("CMDECHO"), 1);
    EXPECT_EQ(h.db().variables().integer("REGENMODE"), 1);
    EXPECT_FALSE(h.host().commands().active());
}

TEST_F(Restore, ExcludedAIncludedBLeavesTheLayersTheHostCommandShould) {
    drawing();
    zan::Level* a = addLevel("First", "A");
    zan::Level* b = addLevel("Second", "B");
    LayerConfiguration c;
    c.addExcludedModifier(a);
    c.addIncludedModifier(b);
    c.restoredFlag = 0;
    zan::restoreToModelSpace(c);
    EXPECT_EQ(traces(), (std::vector<std::string>{
                            R"(command: "layer" "set" "0" "on" "*" "")",
                            R"(command: "Layer" "Freeze" "A-*,*|A-*," "Thaw" "B-*,*|B-*," "Freeze" "" "Thaw" "" "")",
                            R"(command: "regenauto" "ON")"}));
    EXPECT_EQ(frozen(), (std::vector<std::string>{"A-WALL", "A-DOOR", "PLAN|A-WALL", "WALL"}));
    EXPECT_EQ(c.restoredFlag, 1);

    c.undefinedLayerOption = LayerConfiguration::Thaw;
    zan::restoreToModelSpace(c);
    EXPECT_EQ(frozen(), (std::vector<std::string>{"A-WALL", "A-DOOR", "PLAN|A-WALL"}));

    c.undefinedLayerOption = LayerConfiguration::Freeze;
    h.clearTranscript();
    zan::restoreToModelSpace(c);
    EXPECT_EQ(traces()[1], R"(command: "layer" "freeze" "~0" "")");
    EXPECT_EQ(frozen(), (std::vector<std::string>{"Defpoints", "A-WALL", "A-DOOR", "PLAN|A-WALL", "WALL"}));
    EXPECT_EQ(h.db().variables().text("CLAYER"), "0");
}

// The restore says what it changed, counted from the layer table; the
// commands it sends with the echo off say nothing.
TEST_F(Restore, ReportsTheLayersItFrozeThawedAndTurnedOn) {
    drawing();  // B-DOOR and WALL frozen
    h.run("-layer off A-DOOR,B-WALL \n");
    h.run("UCS S Front\n");
    h.clearTranscript();
    LayerConfiguration c;
    c.name = "Plan A";
    c.ucsName = "Front";
    c.addExcludedModifier(addLevel("First", "A"));
    c.addIncludedModifier(addLevel("Second", "B"));
    zan::restoreToModelSpace(c);
    EXPECT_NE(h.transcript().find("Layer configuration \"Plan A\" restored: 3 layers frozen, 1 thawed, 2 turned on.\n"),
              std::string::npos)
        << h.transcript();
    EXPECT_EQ(h.transcript().find("Current ucs name"), std::string::npos) << h.transcript();

    h.clearTranscript();
    zan::restoreToModelSpace(c);
    EXPECT_NE(h.transcript().find("restored: 0 layers frozen, 0 thawed, 0 turned on."), std::string::npos);
}

TEST_F(Restore, SingleLayersOverrideLevelsInTheirOrder) {
    drawing();
    zan::Level* a = addLevel("First", "A");
    zan::Level* b = addLevel("Second", "B");
    LayerConfiguration c;
    c.addIncludedModifier(a);
    c.addExcludedModifier(a);  // included levels win over excluded ones
    c.addIncludedModifier(b);
    c.addExcludedLayer("*WALL");  // a pattern: excluded layers win over included levels
    c.addIncludedLayer("b-wall");  // included layers win over everything
    zan::restoreToModelSpace(c);
    EXPECT_EQ(frozen(), (std::vector<std::string>{"A-WALL", "PLAN|A-WALL", "WALL"}));
}

TEST_F(Restore, LongListsAreSplitAtTheChunkLimit) {
    LayerConfiguration c;
    std::vector<std::string> entries;
    for (int i = 1; i <= 40; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "LEVEL%02d", i);
        c.addExcludedModifier(addLevel(name, name));
        entries.push_back(std::string(name) + "-*,*|" + name + "-*,");
    }
    // 2 x 8 characters are tested per entry: eleven entries (242 characters) fit in each list.
    std::string expected = R"(command: "Layer")";
    for (std::size_t first = 0; first < entries.size(); first += 11) {
        std::string list;
        for (std::size_t i = first; i < std::min(first + 11, entries.size()); ++i) list += entries[i];
        expected += " \"Freeze\" \"" + list + "\"";
    }
    expected += R"( "Thaw" "" "Freeze" "" "Thaw" "" "")";
    zan::restoreToModelSpace(c);
    ASSERT_EQ(traces().size(), 3u);
    EXPECT_EQ(traces()[1], expected);

    std::vector<std::string> names = {std::string(200, 'X'), std::string(38, 'Y'), "Z", std::string(240, 'W')};
    std::vector<std::string> tooLong;
    auto lists = zan::layerChunks(names, &tooLong);
    EXPECT_EQ(lists, (std::vector<std::string>{std::string(200, 'X') + "," + std::string(38, 'Y') + ",",
                                               "Z,"}));
    EXPECT_EQ(tooLong, (std::vector<std::string>{std::string(240, 'W') + ","}));
}

// A restore keeps the layer table it leaves for the next plan: what it keeps
// is what the drawing then holds (every undefined-layer option, a current
// layer the restore cannot change, layers off, patterns of every kind), and
// any change to the drawing in between makes the next plan read the table.
TEST_F(Restore, TheTableKeptForTheNextPlanIsWhatTheDrawingHolds) {
    drawing();
    h.run("-layer set A-WALL freeze 0 off A-DOOR,B-WALL \n");
    zan::Level* a = addLevel("First", "A");
    zan::Level* b = addLevel("Second", "B");
    for (int option : {LayerConfiguration::NoAction, LayerConfiguration::Thaw, LayerConfiguration::Freeze}) {
        LayerConfiguration c;
        c.undefinedLayerOption = option;
        c.addExcludedModifier(a);
        c.addIncludedModifier(b);
        c.addExcludedLayer("*DOOR");
        c.addExcludedLayer("~B*");
        c.addIncludedLayer("wall");
        zan::restoreToModelSpace(c);
        ASSERT_TRUE(zan::restoredTableKept()) << option;
        const zan::RestorePlan next = zan::planModelSpace(c);
        const std::vector<zan::PlannedLayer> read = zan::readLayerTable();
        ASSERT_EQ(next.table.size(), read.size()) << option;
        for (std::size_t i = 0; i < read.size(); ++i) {
            EXPECT_EQ(next.table[i].name, read[i].name) << option;
            EXPECT_EQ(next.table[i].frozen, read[i].frozen) << option << " " << read[i].name;
            EXPECT_EQ(next.table[i].on, read[i].on) << option << " " << read[i].name;
        }
        EXPECT_FALSE(zan::restoredTableKept());  // the plan took it
    }
    LayerConfiguration c;
    c.addExcludedModifier(a);
    zan::restoreToModelSpace(c);
    EXPECT_TRUE(zan::restoredTableKept());
    h.run("-layer t A-DOOR \n");
    EXPECT_FALSE(zan::restoredTableKept());
    h.clearTranscript();
    zan::restoreToModelSpace(c);
    EXPECT_NE(h.transcript().find("restored: 1 layer"), std::string::npos) << h.transcript();
}

TEST_F(Restore, UcsViewAndRegenmode) {
    h.run("UCS S Front\nVIEW S Plan\nUCS W\nregenauto OFF\n");
    h.clearTranscript();
    LayerConfiguration c;
    c.ucsName = "Front";
    c.viewName = "Plan";
    zan::restoreToModelSpace(c);
    std::vector<std::string> t = traces();
    ASSERT_EQ(t.size(), 5u);
    EXPECT_EQ(t[2], R"(command: "_.UCS" "Restore" "Front")");
    EXPECT_EQ(t[3], R"(command: "_.View" "Restore" "Plan" "yes")");
    EXPECT_EQ(h.db().variables().text("UCSNAME"), "Front");
    EXPECT_EQ(h.db().variables().integer("REGENMODE"), 0);  // set back to what it was
    EXPECT_EQ(h.transcript().find("Unknown command"), std::string::npos);

    c.ucsName = "none";  // only the exact text None means none
    h.clearTranscript();
    zan::restoreToModelSpace(c);
    EXPECT_NE(h.transcript().find("Cannot find UCS \"none\"."), std::string::npos);
}

class ViewportRestore : public Restore {
protected:
    host::RecordId vp2 = 0, vp3 = 0;
    void layout() {
        for (const std::string& n : kLayers) host::ensureLayer(h.db(), n);
        host::setTileMode(h.host().db(), 0);
        for (int number : {2, 3}) {
            host::Record v;
            v.type = "VIEWPORT";
            v.groups = {{100, "AcDbEntity"}, {67, "1"}, {8, "0"}, {100, "AcDbViewport"},
                        {10, "100"}, {20, "100"}, {40, "50"}, {41, "50"}, {68, "2"}, {69, std::to_string(number)}};
            (number == 2 ? vp2 : vp3) = h.db().addEntity(std::move(v), true);
        }
        h.clearTranscript();
    }
    std::vector<std::string> frozenIn(host::RecordId vp) { return host::viewportFrozenLayers(h.db().at(vp)); }
};

TEST_F(ViewportRestore, FreezesOnlyInTheSelectedViewportsAndSkipsMissingLayers) {
    layout();
    zan::Level* a = addLevel("First", "A");
    LayerConfiguration c;
    c.addExcludedModifier(a);
    c.addExcludedLayer("B-DOOR");
    c.addExcludedLayer("NOSUCH");
    c.addExcludedLayer("*WALL");
    c.addIncludedLayer("A-DOOR");
    c.name = "Doors";
    zan::app::Script pick("L\n\n");  // the last viewport, then Enter
    h.session().attach(pick);
    EXPECT_TRUE(zan::restoreToViewports(c));

    std::vector<std::string> t = traces();
    ASSERT_EQ(t.size(), 3u);
    EXPECT_EQ(t[0], R"(command: "PSPACE")");
    EXPECT_EQ(t[1], R"(command: "_.layer" "on" "*" "")");
    std::string set = t[2].substr(t[2].find("<Selection set"), t[2].find('>') - t[2].find("<Selection set") + 1);
    EXPECT_EQ(t[2], "command: \"VPLayer\" \"Freeze\" \"A-*,*|A-*,\" \"select\" " + set +
                        " \"\" \"Freeze\" \"B-DOOR,\" \"select\" " + set + " \"\" \"Thaw\" \"A-DOOR,\" \"select\" " +
                        set + " \"\" \"\"");
    EXPECT_TRUE(frozenIn(vp2).empty());
    EXPECT_EQ(frozenIn(vp3), (std::vector<std::string>{"A-WALL", "PLAN|A-WALL", "B-DOOR"}));
    EXPECT_NE(h.transcript().find("\"Doors\" restored to 1 viewport: 3 layers frozen, 0 thawed, 0 turned on."),
              std::string::npos)
        << h.transcript();
    EXPECT_EQ(h.count(" found"), 1u) << h.transcript();  // the user's pick; VPLAYER's own selections say nothing
    EXPECT_EQ(h.db().variables().integer("CMDECHO"), 1);
    EXPECT_EQ(h.host().selections().openCount(), 0u);
}

TEST_F(ViewportRestore, MissingExcludedLayersSendNoFreezeUnit) {
    layout();
    LayerConfiguration c;
    c.addExcludedLayer("NOSUCH");
    c.addExcludedLayer("a-wall");  // names are compared exactly here
    c.undefinedLayerOption = LayerConfiguration::Thaw;
    zan::app::Script pick("L\n\n");
    h.session().attach(pick);
    EXPECT_TRUE(zan::restoreToViewports(c));
    std::vector<std::string> t = traces();
    ASSERT_EQ(t.size(), 4u);
    EXPECT_EQ(t[2].rfind(R"(command: "vplayer" "thaw" "*" "select" <Selection set: )", 0), 0u);
    EXPECT_EQ(t[3], R"(command: "VPLayer" "")");
}

TEST_F(ViewportRestore, ModelSpaceAndCancelledSelectionChangeNothing) {
    LayerConfiguration c;
    c.addExcludedLayer("A-WALL");
    EXPECT_FALSE(zan::restoreToViewports(c));
    EXPECT_NE(h.transcript().find("You must be in Paperspace in order to assign layers to Viewports."),
              std::string::npos);
    EXPECT_TRUE(traces().empty());

    layout();
    zan::app::Script none("");
    h.session().attach(none);
    EXPECT_FALSE(zan::restoreToViewports(c));
    EXPECT_EQ(traces(), (std::vector<std::string>{R"(command: "PSPACE")"}));
    EXPECT_TRUE(frozenIn(vp3).empty());
    EXPECT_EQ(h.host().selections().openCount(), 0u);
}

// The selection is filtered to viewports: other entities picked with them
// take no part, and a selection of none of them restores nothing.
TEST_F(ViewportRestore, OnlyViewportsOfTheSelectionAreRestored) {
    layout();
    host::Record text;
    text.type = "TEXT";
    text.groups = {{100, "AcDbEntity"}, {67, "1"}, {8, "0"}, {100, "AcDbText"}, {10, "10"}, {20, "10"},
                   {40, "2.5"},         {1, "Sheet title"}};
    h.db().addEntity(std::move(text), true);
    LayerConfiguration c;
    c.addExcludedLayer("B-DOOR");
    zan::app::Script all("ALL\n\n");
    h.session().attach(all);
    EXPECT_TRUE(zan::restoreToViewports(c));
    EXPECT_NE(h.transcript().find("restored to 2 viewports: 2 layers frozen"), std::string::npos) << h.transcript();

    zan::app::Script last("L\n\n");  // the text, the last entity made
    h.session().attach(last);
    h.clearTranscript();
    EXPECT_FALSE(zan::restoreToViewports(c));
    EXPECT_NE(h.transcript().find("filtered out"), std::string::npos) << h.transcript();
    EXPECT_EQ(h.transcript().find("restored"), std::string::npos) << h.transcript();
    EXPECT_EQ(h.host().selections().openCount(), 0u);
}
