// CAPTURE GLOBAL of an open editor. The editor is modeless: the drawing may
// change between its opening and the capture, and the capture must see the
// drawing as it is then.
#include <cstdint>
#include <string>
#include <vector>

#include "db/layers.h"
#include "fixture.h"
#include "laycfg/editor_dialog.h"
#include "tk/platform.h"

namespace zan::test {
namespace {

struct Owner : EditorOwner {
    void editorCommitted(LayerConfigurationEditor&) override {}
    void viewportCaptureRequested() override {}
    void editorClosed(LayerConfigurationEditor&) override {}
};

class EditorCapture : public ModuleState {
protected:
    std::vector<std::string> texts(const LayerConfigurationEditor& editor, RuleLists::Which which) {
        std::vector<std::string> out;
        for (const RuleLists::Line& line : editor.rules().lines(which)) out.push_back(line.text);
        return out;
    }
    using V = std::vector<std::string>;
};

TEST_F(EditorCapture, ChangesMadeWhileTheEditorIsOpenAreCaptured) {
    addLevel("Walls", "A");
    ASSERT_EQ(h.run("-LAYER\nNew\nA-1,A-2,A-3\nFreeze\nA-1\n\n"), 0) << h.transcript();
    Owner owner;
    LayerConfigurationEditor editor(owner, nullptr);
    ASSERT_TRUE(editor.open());

    // As opened: one of three frozen (q = 0) includes the level.
    editor.captureGlobal();
    EXPECT_EQ(texts(editor, RuleLists::ModifiersIncluded), V{"Walls"});
    EXPECT_EQ(texts(editor, RuleLists::LayersExcluded), V{"A-1"});

    // Frozen and added while the editor stays open: all of the level frozen,
    // and a new frozen layer of no level.
    ASSERT_EQ(h.run("-LAYER\nMake\nB-1\nSet\n0\nFreeze\nA-2,A-3,B-1\n\n"), 0) << h.transcript();
    editor.onCommand(LayerConfigurationEditor::kClearAll, tk::BN_CLICKED);
    editor.captureGlobal();
    EXPECT_EQ(texts(editor, RuleLists::ModifiersIncluded), V{});
    EXPECT_EQ(texts(editor, RuleLists::ModifiersExcluded), V{"Walls"});
    EXPECT_EQ(texts(editor, RuleLists::LayersExcluded), V{"B-1"});

    // Nothing changed since: the same rules again.
    editor.onCommand(LayerConfigurationEditor::kClearAll, tk::BN_CLICKED);
    editor.captureGlobal();
    EXPECT_EQ(texts(editor, RuleLists::ModifiersExcluded), V{"Walls"});
    EXPECT_EQ(texts(editor, RuleLists::LayersExcluded), V{"B-1"});
}

TEST_F(EditorCapture, TheSnapshotTellsWhetherTheDrawingChangedSinceItWasRead) {
    ASSERT_EQ(h.run("-LAYER\nNew\nP,Q\nFreeze\nQ\n\n"), 0) << h.transcript();
    LayerTableSnapshot snapshot;
    snapshot.read();
    EXPECT_TRUE(snapshot.current());
    const auto [frozen, thawed] = snapshot.split();
    ASSERT_EQ(frozen.size(), 1u);
    EXPECT_EQ(frozen[0], "Q");
    V thawedNames;
    for (std::size_t i = 0; i < thawed.size(); ++i) thawedNames.emplace_back(thawed[i]);
    EXPECT_EQ(thawedNames, (V{"0", "Defpoints", "P"}));

    ASSERT_EQ(h.run("-LAYER\nThaw\nQ\n\n"), 0) << h.transcript();
    EXPECT_FALSE(snapshot.current());
    snapshot.read();
    EXPECT_TRUE(snapshot.current());
    EXPECT_EQ(snapshot.split().first.size(), 0u);
}

// A table that names a layer twice (a file may) gives one rule for it;
// names that differ only in case are two rules.
TEST_F(EditorCapture, ATableThatNamesALayerTwiceGivesOneRule) {
    ASSERT_EQ(h.run("-LAYER\nNew\nm,M2\n\n"), 0) << h.transcript();
    host::Database& db = h.db();
    for (const char* name : {"N1", "N1", "M"}) {
        host::Record r;
        r.type = "LAYER";
        r.groups = {{100, "AcDbSymbolTableRecord"}, {100, "AcDbLayerTableRecord"}, {2, name}, {70, "0"}};
        db.addEntry("LAYER", std::move(r));
    }
    Owner owner;
    LayerConfigurationEditor editor(owner, nullptr);
    ASSERT_TRUE(editor.open());
    editor.captureGlobal();
    EXPECT_EQ(texts(editor, RuleLists::LayersIncluded), (V{"0", "Defpoints", "m", "M2", "N1", "M"}));
    EXPECT_EQ(editor.listTexts(LayerConfigurationEditor::kIncludedLayers),
              (V{"0", "Defpoints", "m", "M", "M2", "N1"}));
}

// The sorted order kept with the snapshot holds while a new reading finds
// the same names in the same order (layer states may change); another name,
// a name more or a rename drops it.
TEST_F(EditorCapture, TheSortedOrderOutlivesOnlyReadingsOfTheSameNames) {
    ASSERT_EQ(h.run("-LAYER\nNew\nP,Q\n\n"), 0) << h.transcript();
    LayerTableSnapshot snapshot;
    snapshot.read();
    const std::vector<std::uint32_t> order = {0, 1, 3, 2};  // as a sort would leave it
    snapshot.sortedOrder() = order;
    ASSERT_EQ(h.run("-LAYER\nFreeze\nQ\n\n"), 0) << h.transcript();
    snapshot.read();
    EXPECT_EQ(snapshot.sortedOrder(), order);
    EXPECT_EQ(snapshot.split().first.size(), 1u);

    host::Database& db = h.db();
    const host::RecordId renamed = host::findLayer(db, "Q");
    ASSERT_NE(renamed, host::kNoRecord);
    db.modify(renamed, [](host::Record& r) { r.set(2, "R"); });
    db.reindexTable(*db.table("LAYER"));
    snapshot.read();
    EXPECT_TRUE(snapshot.sortedOrder().empty());

    snapshot.sortedOrder() = order;
    ASSERT_EQ(h.run("-LAYER\nNew\nS\n\n"), 0) << h.transcript();
    snapshot.read();
    EXPECT_TRUE(snapshot.sortedOrder().empty());
}

// The layer list of an editor opened on an unchanged drawing comes from the
// last reading; any change in between (a layer made, renamed, or a capture
// reading the table anew) gives the list the drawing has then.
TEST_F(EditorCapture, EachEditorListsTheLayersTheDrawingHasWhenItOpens) {
    ASSERT_EQ(h.run("-LAYER\nNew\nm-2,B,a-1\n\n"), 0) << h.transcript();
    Owner owner;
    auto opened = [&] {
        LayerConfigurationEditor editor(owner, nullptr);
        EXPECT_TRUE(editor.open());
        return editor.listTexts(LayerConfigurationEditor::kLayers);
    };
    EXPECT_EQ(opened(), (V{"0", "a-1", "B", "Defpoints", "m-2"}));
    EXPECT_EQ(opened(), (V{"0", "a-1", "B", "Defpoints", "m-2"}));

    ASSERT_EQ(h.run("-LAYER\nNew\nAA\n\n"), 0) << h.transcript();
    EXPECT_EQ(opened(), (V{"0", "a-1", "AA", "B", "Defpoints", "m-2"}));
    host::Database& db = h.db();
    const host::RecordId renamed = host::findLayer(db, "B");
    ASSERT_NE(renamed, host::kNoRecord);
    db.modify(renamed, [](host::Record& r) { r.set(2, "zz"); });
    db.reindexTable(*db.table("LAYER"));
    EXPECT_EQ(opened(), (V{"0", "a-1", "AA", "Defpoints", "m-2", "zz"}));

    // A capture that reads the table for the snapshot it shares with the
    // editors, then one more editor.
    ASSERT_EQ(h.run("-LAYER\nNew\nc\n\n"), 0) << h.transcript();
    {
        LayerConfigurationEditor editor(owner, nullptr);
        ASSERT_TRUE(editor.open());
        ASSERT_EQ(h.run("-LAYER\nNew\nb\n\n"), 0) << h.transcript();
        editor.captureGlobal();
    }
    EXPECT_EQ(opened(), (V{"0", "a-1", "AA", "b", "c", "Defpoints", "m-2", "zz"}));
}

}  // namespace
}  // namespace zan::test
