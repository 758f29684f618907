// The system-menu commands of the button-grid window, and the roll-up that
// takes the place of minimize and maximize.
#include "dialogs/input_dialog.h"
#include "dialogs/path_selection_dialog.h"
#include "shell/token_reader.h"
#include "toolwnd/button_grid_window.h"
#include "shell/drawing_paths.h"

namespace zan {

namespace {

// The text the user typed into an Input Dialog, or nothing on Cancel.
std::optional<std::string> askText(HWND owner, std::string_view prompt) {
    InputDialog dialog;
    dialog.setPrompt(prompt);
    if (dialog.run(owner) != tk::IDOK) return std::nullopt;
    return dialog.value();
}

}  // namespace

bool ButtonGridWindow::onSystemCommand(unsigned command) {
    switch (command) {
        case kMenuSave:
            if (save()) changed_ = false;
            return true;
        case kMenuSaveAs: saveAs(); return true;
        case kMenuSetRows: askRows(); return true;
        case kMenuSetBitmapDirectory: askBitmapDirectory(); return true;
        case kMenuSetBitmapSize: askBitmapSize(); return true;
        case tk::SC_MINIMIZE: rollUp(); return true;
        case tk::SC_MAXIMIZE: rollDown(); return true;
        default: return false;
    }
}

tk::FileDialogRequest ButtonGridWindow::saveAsRequest() const {
    tk::FileDialogRequest request;
    request.title = "Save As";
    request.flags = tk::OFN_HIDEREADONLY | tk::OFN_OVERWRITEPROMPT;
    return request;
}

void ButtonGridWindow::saveAs() {
    tk::FileDialogRequest request = saveAsRequest();
    request.owner = handle();
    if (request.initialDirectory.empty()) request.initialDirectory = dataDirectory_;
    std::optional<std::string> chosen = tk::platform().saveFileDialog(request);
    if (!chosen) return;
    const std::size_t at = chosen->find_last_of("/\\");
    dataFileName_ = at == std::string::npos ? *chosen : chosen->substr(at + 1);
    dataDirectory_ = at == std::string::npos ? std::string() : chosen->substr(0, at + 1);
    save();
    changed_ = false;
}

void ButtonGridWindow::askRows() {
    std::optional<std::string> typed = askText(handle(), "Enter new number of rows:");
    if (!typed) return;
    const int rows = leadingInteger(typed->c_str());
    if (rows <= 0) return;
    setRows(rows);
    layout();
    changed_ = true;
}

void ButtonGridWindow::askBitmapDirectory() {
    PathSelectionDialog dialog;
    dialog.setInitialPath(resolveDrawingPath(bitmapDirectory_));
    if (dialog.run(handle()) != tk::IDOK) return;
    setBitmapDirectory(dialog.path());
    changed_ = true;
}

void ButtonGridWindow::askBitmapSize() {
    std::optional<std::string> typed = askText(handle(), "Enter new size in pixels for bitmaps (0 to 50):");
    if (!typed) return;
    const int size = leadingInteger(typed->c_str());
    if (size < 5 || size > 50) return;
    setImageSize(size, size);
    layout();
    changed_ = true;
}

}  // namespace zan
