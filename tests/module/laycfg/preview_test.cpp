// The preview of a restore is the restore's own plan: after previewing a
// configuration and restoring it, the saved drawing read back differs from
// the original in exactly the layers the preview listed.
#include <filesystem>
#include <fstream>
#include <cctype>
#include <map>
#include <set>

#include "fixture.h"

#include "db/layers.h"
#include "db/viewport_layers.h"
#include "db/viewports.h"
#include "dxf/dxf.h"
#include "laycfg/configuration_file.h"
#include "laycfg/name_patterns.h"
#include "laycfg/restore.h"
#include "laycfg/restore_plan.h"
#include "shell/commands.h"
#include "support/session_harness.h"
#include "wildcard/wildcard.h"

using zan::LayerConfiguration;

namespace {

const std::vector<std::string> kLayers = {"A-WALL", "A-DOOR",  "a-glaz",   "PLAN|A-WALL", "B-WALL", "B-DOOR",
                                          "WALL",   "AB-NOTE", "X1-GRID", "X2-GRID",     "C-TEXT"};

struct LayerState {
    bool frozen = false;
    bool off = false;
};
using States = std::map<std::string, LayerState>;

States statesOf(const host::Database& db) {
    States out;
    for (host::RecordId id : db.table("LAYER")->entries)
        out[std::string(db.at(id).text(2))] = {host::layerFrozen(db.at(id)), host::layerOff(db.at(id))};
    return out;
}

std::set<std::string> asSet(const std::vector<std::string>& names) { return {names.begin(), names.end()}; }

// Layer names as the drawing compares them: ignoring case.
std::set<std::string> upperSet(const std::vector<std::string>& names) {
    std::set<std::string> out;
    for (std::string n : names) {
        for (char& ch : n) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
        out.insert(n);
    }
    return out;
}

}  // namespace

class Preview : public zan::test::ModuleState {
protected:
    void drawing() {
        for (const std::string& n : kLayers) host::ensureLayer(h.db(), n);
        h.run("-layer t * on * f B-DOOR,WALL,X2-GRID off A-DOOR,C-TEXT \n");
        h.clearTranscript();
    }
    // Saves the drawing and reads it back with the host's reader.
    States savedStates() {
        const std::string dir = zan::test::makeTempDirectory("preview");
        const std::string path = dir + "/restored.dxf";
        std::string error;
        EXPECT_TRUE(host::dxf::saveDrawing(h.db(), path, &error)) << error;
        auto back = host::dxf::readFile(path);
        return back ? statesOf(*back) : States{};
    }
    void configure(LayerConfiguration& c) {
        zan::Level* a = addLevel("Architecture", "A");
        zan::Level* ab = addLevel("Annotation", "AB");
        zan::Level* b = addLevel("Building", "B");
        c.name = "Plan";
        c.addExcludedModifier(a);
        c.addIncludedModifier(b);
        c.addIncludedModifier(ab);
        c.addExcludedLayer("B-DOOR");
        c.addExcludedLayer("X#-GRID");  // a pattern, sent as it stands
        c.addIncludedLayer("a-door");   // the layer commands ignore case
        c.addIncludedLayer("NOSUCH");
    }
};

TEST_F(Preview, ListsExactlyTheLayersTheRestoreChanges) {
    for (int option : {LayerConfiguration::NoAction, LayerConfiguration::Thaw, LayerConfiguration::Freeze}) {
        drawing();  // on top of what the previous restore left
        LayerConfiguration c;
        configure(c);
        c.undefinedLayerOption = option;
        const States before = statesOf(h.db());

        const zan::RestorePlan plan = zan::planModelSpace(c);
        zan::printRestorePlan(plan);
        const std::string preview = h.transcript();
        const std::size_t revision = h.db().revision();
        zan::applyModelSpace(c, plan);
        EXPECT_NE(h.db().revision(), revision);
        const States after = savedStates();
        ASSERT_EQ(after.size(), before.size());

        std::vector<std::string> frozen, thawed, turnedOn;
        for (const auto& [name, was] : before) {
            const LayerState& now = after.at(name);
            if (!was.frozen && now.frozen) frozen.push_back(name);
            if (was.frozen && !now.frozen) thawed.push_back(name);
            if (was.off && !now.off) turnedOn.push_back(name);
        }
        EXPECT_EQ(asSet(plan.freezes), asSet(frozen)) << "option " << option << "\n" << preview;
        EXPECT_EQ(asSet(plan.thaws), asSet(thawed)) << "option " << option;
        EXPECT_EQ(asSet(plan.turnsOn), asSet(turnedOn)) << "option " << option;
        EXPECT_FALSE(frozen.empty());
        for (const std::string& name : frozen) EXPECT_NE(preview.find(name), std::string::npos) << name;
        EXPECT_NE(preview.find("Level Architecture (A-):"), std::string::npos) << preview;
        EXPECT_NE(preview.find("The drawing has no layer NOSUCH."), std::string::npos) << preview;
        // "a-door" names A-DOOR in another case; a pattern is never missing.
        EXPECT_EQ(plan.missingLayers, std::vector<std::string>{"NOSUCH"});
        const zan::RestoreCounts n = plan.counts();
        EXPECT_NE(h.transcript().find("\"Plan\" restored: " + std::to_string(n.frozen) + " layer" +
                                      (n.frozen == 1 ? "" : "s") + " frozen, " + std::to_string(n.thawed) +
                                      " thawed, " + std::to_string(n.turnedOn) + " turned on."),
                  std::string::npos)
            << h.transcript();
        h.clearTranscript();
        zan::destroyAll(zan::state().levelList);
    }
}

// The preview command changes nothing; a configuration it cannot find, or a
// file it cannot read, is said so.
TEST_F(Preview, TheCommandChangesNothingAndGroupsByLevel) {
    drawing();
    {
        LayerConfiguration c;
        configure(c);
        c.addUnresolvedExcludedModifier("Landscape");
        auto owned = std::make_unique<LayerConfiguration>();
        configure(*owned);
        owned->addUnresolvedExcludedModifier("Landscape");
        zan::state().layerConfigurations.append(std::move(owned));
    }
    const std::string dir = zan::test::makeTempDirectory("preview_cmd");
    const std::string file = dir + "/plan.Zly";
    std::ofstream(file, std::ios::binary) << zan::configurationFileBytes();
    zan::state().layerConfigurations.clear();

    const std::size_t revision = h.db().revision();
    zan::app::Script answers(file + "\nPlan\n\n");
    h.session().attach(answers);
    h.clearTranscript();
    zan::zanPreviewCommand();
    EXPECT_EQ(h.db().revision(), revision);
    EXPECT_TRUE(zan::state().layerConfigurations.empty());  // the drawing's list is put back
    const std::string& t = h.transcript();
    EXPECT_NE(t.find("Restoring layer configuration \"Plan\" to model space would freeze"), std::string::npos) << t;
    EXPECT_NE(t.find("    Level Architecture (A-): 3 to freeze, 0 to thaw, 1 to turn on\n"
                     "      to freeze (3): A-WALL, a-glaz, PLAN|A-WALL\n      to turn on (1): A-DOOR\n"),
              std::string::npos)
        << t;
    EXPECT_NE(t.find("No level Landscape is loaded"), std::string::npos) << t;

    zan::app::Script wrong(file + "\nSection\n");
    h.session().attach(wrong);
    h.clearTranscript();
    zan::zanPreviewCommand();
    EXPECT_NE(h.transcript().find("No layer configuration is named \"Section\"."), std::string::npos);

    zan::app::Script missing(dir + "/none.Zly\n");
    h.session().attach(missing);
    h.clearTranscript();
    zan::zanPreviewCommand();
    EXPECT_NE(h.transcript().find("could not be read"), std::string::npos) << h.transcript();
    EXPECT_EQ(h.db().revision(), revision);
}

TEST_F(Preview, ViewportPlanMatchesTheFreezesRestoredInEachViewport) {
    for (const std::string& n : kLayers) host::ensureLayer(h.db(), n);
    host::setTileMode(h.host().db(), 0);
    std::vector<host::RecordId> viewports;
    for (int number : {2, 3}) {
        host::Record v;
        v.type = "VIEWPORT";
        v.groups = {{100, "AcDbEntity"}, {67, "1"}, {8, "0"}, {100, "AcDbViewport"}, {10, "100"}, {20, "100"},
                    {40, "50"},          {41, "50"}, {68, "2"}, {69, std::to_string(number)}};
        viewports.push_back(h.db().addEntity(std::move(v), true));
    }
    host::setViewportFrozenLayers(h.db(), viewports[0], {"B-WALL", "GONE", "a-wall"});
    LayerConfiguration c;
    configure(c);
    c.undefinedLayerOption = LayerConfiguration::Thaw;
    std::vector<std::vector<std::string>> before;
    for (host::RecordId vp : viewports) before.push_back(host::viewportFrozenLayers(h.db().at(vp)));

    zan::app::Script pick("ALL\n\n");
    h.session().attach(pick);
    zan::SelectionSet set;
    ASSERT_TRUE(zan::chooseViewports(set));
    const zan::RestorePlan plan = zan::planViewports(c, set.name());
    ASSERT_EQ(plan.viewports.size(), 2u);
    ASSERT_TRUE(zan::applyViewports(c, plan, set.name()));
    set.release();

    for (std::size_t i = 0; i < viewports.size(); ++i) {
        const std::string label = "viewport " + std::to_string(i + 2);
        const zan::ViewportPlan* vp = nullptr;
        for (const zan::ViewportPlan& p : plan.viewports)
            if (p.label == label) vp = &p;
        ASSERT_NE(vp, nullptr) << label;
        std::set<std::string> was = upperSet(before[i]);
        std::set<std::string> now = upperSet(host::viewportFrozenLayers(h.db().at(viewports[i])));
        std::vector<std::string> frozen, thawed;
        for (const std::string& n : now)
            if (!was.count(n)) frozen.push_back(n);
        for (const std::string& n : was)
            if (!now.count(n)) thawed.push_back(n);
        EXPECT_EQ(upperSet(vp->freezes), asSet(frozen)) << label;
        EXPECT_EQ(upperSet(vp->thaws), asSet(thawed)) << label;
    }
}

TEST(NamePatterns, MatchAsTheLayerCommandsDo) {
    zan::StepPatterns steps;
    steps.add("A-*", 1, true);
    steps.add("*|A-*", 1, true);
    steps.add("AB-*", 2, false);
    steps.add("a-door", 4, false);
    EXPECT_EQ(steps.match("A-WALL").freeze, 1);
    EXPECT_EQ(steps.match("PLAN|A-WALL").freeze, 1);
    EXPECT_EQ(steps.match("AB-NOTE").freeze, -1);
    EXPECT_EQ(steps.match("AB-NOTE").thaw, 2);
    EXPECT_EQ(steps.match("A-DOOR").thaw, 4);
    EXPECT_EQ(steps.match("B-DOOR").freeze, -1);
}

// "~NAME" and "~PREFIX*" name every layer but those the plain pattern names,
// as the host's wildcard rules have it.
TEST(NamePatterns, AllButPatternsAgreeWithTheWildcardRules) {
    const std::vector<std::string> names = {"0", "00", "A-WALL", "a-door", "AB-NOTE", "A", "PLAN|A-WALL", ""};
    for (const char* pattern : {"~0", "~a-*", "~A-WALL", "~*", "~A?-*"}) {
        zan::StepPatterns steps;
        steps.add(pattern, 3, true);
        for (const std::string& name : names)
            EXPECT_EQ(steps.match(name).freeze == 3, wildcard::patternMatch(name, pattern, true))
                << pattern << " " << name;
    }
}
