#include "laycfg/selection_dialog.h"

#include "laycfg/restore.h"
#include "resources/dialog_templates.h"
#include "shell/services.h"
#include "shell/state.h"

namespace zan {

namespace {

constexpr const char* kNothingSelected = "There is no layer configuration selected.";

tk::ItemData dataOf(LayerConfiguration* c) { return reinterpret_cast<tk::ItemData>(c); }

// The configuration if it is still one of the list's.
LayerConfiguration* listed(LayerConfiguration* configuration) {
    if (configuration == nullptr) return nullptr;
    for (const auto& c : state().layerConfigurations)
        if (c.get() == configuration) return configuration;
    return nullptr;
}

std::string question(const char* verb, const std::string& name) {
    return std::string("Are you sure you want to ") + verb + " configuration " + name + " ?";
}

}  // namespace

LayerConfigurationSelectionDialog::LayerConfigurationSelectionDialog()
    : tk::Dialog(resources::layerConfigurationSelectionTemplate()) {}

LayerConfigurationSelectionDialog::~LayerConfigurationSelectionDialog() { closeEditor(); }

int LayerConfigurationSelectionDialog::show() { return runModal(state().hostMainWindow); }

LayerConfiguration* LayerConfigurationSelectionDialog::selectedConfiguration() const { return listed(selected_); }

void LayerConfigurationSelectionDialog::closeEditor() {
    // Destroying the editor closes its window without calling its handlers.
    editor_.reset();
    retired_.reset();
}

bool LayerConfigurationSelectionDialog::onInit() {
    std::vector<std::pair<std::string, tk::ItemData>> lines;
    for (const auto& c : state().layerConfigurations) lines.emplace_back(c->name, dataOf(c.get()));
    addLinesSorted(*this, kConfigurations, std::move(lines));
    if (editor_) editor_->bringForward();
    return true;
}

int LayerConfigurationSelectionDialog::lineOf(const LayerConfiguration* configuration) const {
    for (int i = 0, n = listCount(kConfigurations); i < n; ++i)
        if (listData(kConfigurations, i) == reinterpret_cast<tk::ItemData>(configuration)) return i;
    return -1;
}

void LayerConfigurationSelectionDialog::onCommand(int controlId, int notification) {
    retired_.reset();
    if (controlId == kConfigurations) {
        if (notification == tk::LBN_SELCHANGE) {
            int line = listCurrent(kConfigurations);
            selected_ = line >= 0 ? reinterpret_cast<LayerConfiguration*>(listData(kConfigurations, line)) : nullptr;
        }
        return;
    }
    if (notification != tk::BN_CLICKED) return;
    if (editor_) {
        // While the editor is open the buttons only bring it forward.
        editor_->bringForward();
        return;
    }
    LayerConfiguration* selected = selectedConfiguration();
    switch (controlId) {
        case kNew: openEditor(nullptr); break;
        case kEdit:
            if (selected != nullptr) openEditor(selected);
            break;
        case kCopy: copySelected(); break;
        case kDelete: deleteSelected(); break;
        case kRestoreToViewport:
            if (selected == nullptr)
                messageBox(kNothingSelected, tk::MB_OK);
            else
                endDialog(kEndRestoreToViewport);
            break;
        case kRestoreToModelSpace:
            if (selected == nullptr)
                messageBox(kNothingSelected, tk::MB_OK);
            else
                restoreToModelSpace(*selected);
            break;
        default: break;
    }
}

void LayerConfigurationSelectionDialog::onOK() {
    if (editor_) {
        editor_->bringForward();
        return;
    }
    endDialog(tk::IDOK);
}

void LayerConfigurationSelectionDialog::onCancel() {
    // Escape always leaves the dialog; an open editor reports to this
    // dialog, so it is closed with it and its contents are not committed.
    closeEditor();
    endDialog(tk::IDCANCEL);
}

void LayerConfigurationSelectionDialog::openEditor(LayerConfiguration* configuration) {
    retired_.reset();
    auto editor = std::make_unique<LayerConfigurationEditor>(*this, configuration);
    editor_ = std::move(editor);
    if (!editor_->open()) editor_.reset();
}

void LayerConfigurationSelectionDialog::copySelected() {
    LayerConfiguration* source = selectedConfiguration();
    if (source == nullptr) {
        messageBox(kNothingSelected, tk::MB_OK);
        return;
    }
    if (messageBox(question("copy", source->name), tk::MB_YESNO) != tk::IDYES) return;
    auto copy = std::make_unique<LayerConfiguration>();
    copy->copyFrom(*source);
    LayerConfiguration* added = copy.get();
    listAdd(kConfigurations, added->name, dataOf(added));
    state().layerConfigurations.append(std::move(copy));
    modified_ = true;
}

void LayerConfigurationSelectionDialog::deleteSelected() {
    LayerConfiguration* victim = selectedConfiguration();
    if (victim == nullptr) {
        messageBox(kNothingSelected, tk::MB_OK);
        return;
    }
    if (messageBox(question("delete", victim->name), tk::MB_YESNO) != tk::IDYES) return;
    if (int line = lineOf(victim); line >= 0) listDelete(kConfigurations, line);
    state().layerConfigurations.remove(victim);
    selected_ = nullptr;
    modified_ = true;
}

void LayerConfigurationSelectionDialog::editorCommitted(LayerConfigurationEditor& editor) {
    if (LayerConfiguration* existing = listed(editor.configuration())) {
        editor.commitInto(*existing);
        int line = lineOf(existing);
        if (line >= 0) listDelete(kConfigurations, line);
        listAdd(kConfigurations, existing->name, dataOf(existing));
    } else {
        auto created = std::make_unique<LayerConfiguration>();
        editor.commitInto(*created);
        LayerConfiguration* added = created.get();
        state().layerConfigurations.append(std::move(created));
        listAdd(kConfigurations, added->name, dataOf(added));
    }
    modified_ = true;
}

void LayerConfigurationSelectionDialog::viewportCaptureRequested() { endDialog(kEndViewportCapture); }

void LayerConfigurationSelectionDialog::editorClosed(LayerConfigurationEditor& editor) {
    if (editor_.get() == &editor) retired_ = std::move(editor_);
}

}  // namespace zan
