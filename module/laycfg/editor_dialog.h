// The layer configuration editor: a modeless dialog beside the selection
// dialog in which one configuration is composed from the drawing's levels
// and layers, by hand or by capturing a freeze state.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "laycfg/capture.h"
#include "laycfg/layer_configuration.h"
#include "tk/dialog.h"

namespace zan {

class LayerConfigurationEditor;

// What the editor reports to the dialog that opened it.
class EditorOwner {
public:
    virtual ~EditorOwner() = default;
    // The editor's OK: commit its contents (commitInto) somewhere.
    virtual void editorCommitted(LayerConfigurationEditor& editor) = 0;
    // "CAPTURE VP": the owner ends so that the user can pick in the drawing.
    virtual void viewportCaptureRequested() = 0;
    // The editor's window is gone (OK, Cancel, close box).
    virtual void editorClosed(LayerConfigurationEditor& editor) = 0;
};

class LayerConfigurationEditor : public tk::Dialog, private CaptureSink {
public:
    enum Control {
        kName = 1032,
        kLevels = 1014,
        kIncludeLevels = 1016,
        kRemoveIncludedLevel = 1021,
        kIncludedLevels = 1015,
        kExcludeLevels = 1017,
        kRemoveExcludedLevel = 1022,
        kExcludedLevels = 1018,
        kLayers = 1010,
        kIncludeLayers = 1013,
        kIncludeLayerPatterns = 1025,
        kRemoveIncludedLayer = 1023,
        kIncludedLayers = 1012,
        kExcludeLayers = 1019,
        kExcludeLayerPatterns = 1026,
        kRemoveExcludedLayer = 1024,
        kExcludedLayers = 1020,
        kUcsList = 1052,
        kViewList = 1053,
        kNoAction = 1033,
        kFreeze = 1034,
        kThaw = 1035,
        kCaptureGlobal = 1044,
        kCaptureViewport = 1045,
        kClearAll = 1060,
    };

    // `configuration` is the one being edited, or null for a new one.
    LayerConfigurationEditor(EditorOwner& owner, LayerConfiguration* configuration);

    // Opens the modeless window, owned by the host's main window.
    bool open();
    LayerConfiguration* configuration() const { return configuration_; }

    // Writes what OK took from the controls into `target`.
    void commitInto(LayerConfiguration& target) const;
    // Derives the rules from the drawing's frozen layers.
    void captureGlobal();
    // Derives the rules from the frozen layers of a viewport the user picks
    // (the owner has ended; the editor is hidden meanwhile).
    void captureFromViewport();
    // Shows the editor again in its normal state, in front.
    void bringForward();

    const RuleLists& rules() const { return rules_; }

    bool onInit() override;
    void onCommand(int controlId, int notification) override;
    void onOK() override;
    void onDestroyed(int endCode) override;

private:
    static int listOf(RuleLists::Which which);
    void fillFromConfiguration(const LayerConfiguration& c);
    // Adds through the adding rules; a conflict shows its message box.
    // `display` false leaves the list box to a later sync.
    void addRule(RuleLists::Which which, std::string_view text, Level* level, bool display = true);
    void addHighlightedLevels(RuleLists::Which which);
    void addHighlightedLayers(RuleLists::Which which, const char* prefix);
    void removeHighlighted(RuleLists::Which which);
    // Rebuilds a list box from the rules, keeping its highlighted line.
    void syncList(RuleLists::Which which);
    template <typename Names>
    void runCapture(const Names& frozen, const Names& thawed);
    void takeControls();

    // CaptureSink
    void includeLevel(Level& level) override;
    void excludeLevel(Level& level) override;
    void includeLayer(std::string_view name) override;
    void excludeLayer(std::string_view name) override;
    void expect(std::size_t levelRules, std::size_t includedLayers, std::size_t excludedLayers) override;
    // A capture's rules are added a few behind the one just derived, so
    // that what each add reads of the (large) rule indexes has been asked
    // from memory meanwhile; the order of the adds, and so every result
    // and message, stays the order of the rules.
    struct QueuedRule {
        RuleLists::Which which;
        std::string_view text;
        Level* level;
        std::size_t hash;
    };
    void queueRule(RuleLists::Which which, std::string_view text, Level* level);
    void flushQueuedRules();
    void addQueued(const QueuedRule& rule);
    void report(RuleLists::Result result, RuleLists::Which which, std::string_view text, Level* level, bool display);

    EditorOwner& owner_;
    LayerConfiguration* configuration_;
    RuleLists rules_;
    // The layer table as last read (for the layer list, and for captures
    // while the drawing stays unchanged).
    LayerTableSnapshot& layers_ = layerTableSnapshot();
    bool dirty_[4] = {};
    static constexpr std::size_t kQueueLength = 16;
    QueuedRule queued_[kQueueLength] = {};
    std::size_t queueHead_ = 0, queueCount_ = 0;
    // During a capture: layer rules need no lookup (see captureGlobal).
    bool uncheckedLayers_ = false;
    std::string ucsName_ = "None";
    std::string viewName_ = "None";
    int option_ = LayerConfiguration::NoAction;

    // What OK took from the controls.
    struct Taken {
        std::string name;
        int option = LayerConfiguration::NoAction;
        std::vector<Level*> includedLevels, excludedLevels;
        std::vector<std::string> unresolvedIncluded, unresolvedExcluded;
        std::vector<std::string> includedLayers, excludedLayers;
    } taken_;
};

// Adds lines to a sorted list in the order the list keeps them, so that
// each one lands at the end; the list sorts them itself all the same.
void addLinesSorted(tk::Dialog& dialog, int listId, std::vector<std::pair<std::string, tk::ItemData>> lines);

}  // namespace zan
