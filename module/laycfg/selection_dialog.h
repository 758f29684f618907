// The layer configuration selection dialog of the dlconfig command: the
// configurations with buttons to create, edit, copy, delete and restore
// them. Editing happens in the modeless editor it opens.
#pragma once

#include <memory>

#include "laycfg/editor_dialog.h"
#include "tk/dialog.h"

namespace zan {

class LayerConfigurationSelectionDialog : public tk::Dialog, public EditorOwner {
public:
    // End codes besides OK and Cancel.
    static constexpr int kEndRestoreToViewport = 1042;
    static constexpr int kEndViewportCapture = 360;

    enum Control {
        kConfigurations = 1036,
        kNew = 1038,
        kEdit = 1039,
        kCopy = 1041,
        kDelete = 1040,
        kRestoreToViewport = 1042,
        kRestoreToModelSpace = 1043,
    };

    LayerConfigurationSelectionDialog();
    // Closes an editor that is still open, without committing it.
    ~LayerConfigurationSelectionDialog() override;

    // Shows the dialog modally, owned by the host's main window; its end code.
    int show();

    // The configuration of the line last selected (kept across showings),
    // or null.
    LayerConfiguration* selectedConfiguration() const;
    // The open editor, or null.
    LayerConfigurationEditor* editor() const { return editor_.get(); }
    // Set when a configuration was created, copied, edited or deleted.
    bool modified() const { return modified_; }
    // Closes the editor, if open, without committing.
    void closeEditor();

    bool onInit() override;
    void onCommand(int controlId, int notification) override;
    void onOK() override;
    void onCancel() override;

    // EditorOwner
    void editorCommitted(LayerConfigurationEditor& editor) override;
    void viewportCaptureRequested() override;
    void editorClosed(LayerConfigurationEditor& editor) override;

private:
    void openEditor(LayerConfiguration* configuration);
    int lineOf(const LayerConfiguration* configuration) const;
    void copySelected();
    void deleteSelected();

    LayerConfiguration* selected_ = nullptr;
    std::unique_ptr<LayerConfigurationEditor> editor_;
    // An editor whose window has gone, freed once its handlers have returned.
    std::unique_ptr<LayerConfigurationEditor> retired_;
    bool modified_ = false;
};

}  // namespace zan
