// The levelbar and modifierbar commands: open the drawing's modifier bar
// from its file, or make a new bar with three default levels.
#include <sys/stat.h>

#include "dialogs/path_selection_dialog.h"
#include "levels/modifier_bar.h"
#include "levels/modifier_file_levels.h"
#include "shell/commands.h"
#include "shell/init_object.h"
#include "shell/services.h"
#include "shell/state.h"
#include "tk/platform.h"
#include "shell/drawing_paths.h"

namespace zan {

namespace {

constexpr const char* kUseZanpref = "Use the ZANPREF command to change this file location.";

struct BarFile {
    std::string path;
    std::string directory;
    std::string fileName;
};

bool directoryExists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// Asks for the bar's file; the chosen path is recorded for the drawing.
std::optional<std::string> chooseBarFile() {
    tk::FileDialogRequest request;
    request.owner = state().hostMainWindow;
    request.title = "Open or Create ZAN Modifier Bar";
    request.filter = "Templates (*.Zmb)|*.Zmb||";
    request.defaultExtension = "Zmb";
    request.flags = tk::OFN_HIDEREADONLY | tk::OFN_CREATEPROMPT | tk::OFN_OVERWRITEPROMPT;
    std::optional<std::string> chosen = tk::platform().openFileDialog(request);
    setModifierFile(chosen ? *chosen : std::string());
    return chosen;
}

// A bar made from a file read whole; none when the file holds no level line.
void openBar(const BarFile& file, ModifierFileContent content) {
    auto* bar = new ModifierBar;
    bar->setDataFileName(file.fileName);
    bar->setDataDirectory(file.directory);
    if (!bar->open(savedModifierBarPosition())) {
        delete bar;
        return;
    }
    bar->setRows(content.header.rows);
    bar->setImageSize(content.header.imageWidth, content.header.imageHeight);
    bar->setBitmapDirectory(content.header.bitmapDirectory);
    setLevelBitmapDirectory(content.header.bitmapDirectory, content.header.rows);
    if (content.buttons.empty()) {
        bar->destroyWindow();  // the bar deletes itself
        return;
    }
    GridItems items;
    for (auto& button : content.buttons) items.push_back(std::move(button));
    bar->appendItems(std::move(items));
    bar->show();
    returnFocusToHost();
}

// A new bar with the default levels 1, 2 and 3, which belong to their buttons.
void createBar(const BarFile& file) {
    if (file.path.empty() || file.directory.empty() || file.fileName.empty()) return;
    auto* bar = new ModifierBar;
    bar->setDataFileName(file.fileName);
    bar->setDataDirectory(file.directory);
    if (!bar->open({100, 100})) {
        delete bar;
        return;
    }
    bar->setRows(1);
    bar->setImageSize(20, 20);
    messageBox("Now choose a path for bitmaps for the toolbar --\n All bitmaps for this toolbar must be located here",
               tk::MB_OK);
    PathSelectionDialog paths;
    if (paths.run(bar->handle()) != tk::IDOK) {
        bar->destroyWindow();
        return;
    }
    bar->setBitmapDirectory(paths.path());
    setLevelBitmapDirectory(bar->bitmapDirectory(), 1);
    GridItems items;
    for (const char* k : {"1", "2", "3"}) {
        auto level = std::make_unique<Level>();
        level->name = k;
        level->modifier = k;
        level->tag = "Primary";
        items.push_back(std::make_unique<LevelButton>(std::move(level)));
    }
    bar->appendItems(std::move(items));
    bar->show();
    bar->setChanged(true);
    returnFocusToHost();
}

}  // namespace

int modifierbarCommand() {
    ShellState& s = state();
    if (s.modifierBarWindow != nullptr) return RTNORM;

    BarFile file;
    const bool fromDrawing = !s.modifierFile.empty();
    if (fromDrawing) {
        file.path = resolveDrawingPath(s.modifierFile);
    } else if (std::optional<std::string> chosen = chooseBarFile()) {
        file.path = *chosen;
    } else {
        return RTNORM;
    }
    if (!splitModifierFilePath(file.path, file.directory, file.fileName)) return RTNORM;

    ModifierFileContent content;
    if (readModifierFile(file.path, content)) {
        openBar(file, std::move(content));
    } else if (!fromDrawing) {
        createBar(file);
    } else {
        std::string question = "Modifier Bar " + file.path + " could not be found.\n Would you like the file to be created?";
        if (messageBox(question, tk::MB_YESNO) != tk::IDYES) {
            setModifierFile("");
            messageBox(kUseZanpref, tk::MB_OK);
        } else if (!directoryExists(file.directory)) {
            messageBox(std::string("Unknown Path, aborting. . .\n") + kUseZanpref, tk::MB_OK);
        } else {
            createBar(file);
        }
    }
    return RTNORM;
}

}  // namespace zan
