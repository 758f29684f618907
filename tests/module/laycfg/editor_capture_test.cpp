// CAPTURE GLOBAL of an open editor. The editor is modeless: the drawing may
// change between its opening and the capture, and the capture must see the
// drawing as it is then.
#include <string>
#include <vector>

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

}  // namespace
}  // namespace zan::test
