// The symbolbar command: opens a symbol bar from its file, or makes a new
// bar with five placeholder symbols when the chosen file does not exist.
#include <sys/stat.h>

#include <cstdio>
#include <memory>

#include "ads/adslib.h"
#include "dialogs/path_selection_dialog.h"
#include "shell/commands.h"
#include "shell/init_object.h"
#include "shell/services.h"
#include "shell/state.h"
#include "shell/token_reader.h"
#include "symbols/symbol_bar.h"
#include "symbols/symbol_file.h"
#include "tk/platform.h"

namespace zan {

namespace {

struct BarFile {
    std::string path;
    std::string directory;  // with its trailing separator
    std::string fileName;
};

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

std::optional<BarFile> chooseBarFile() {
    tk::FileDialogRequest request;
    request.owner = state().hostMainWindow;
    request.title = "Open or Create ZAN Symbol File";
    request.filter = "Templates (*.Zsb)|*.Zsb||";
    request.defaultExtension = "Zsb";
    request.flags = tk::OFN_HIDEREADONLY | tk::OFN_CREATEPROMPT | tk::OFN_OVERWRITEPROMPT;
    std::optional<std::string> chosen = tk::platform().openFileDialog(request);
    if (!chosen) return std::nullopt;
    BarFile file;
    file.path = *chosen;
    const std::size_t at = chosen->find_last_of("/\\");
    if (at != std::string::npos) {
        file.directory = chosen->substr(0, at + 1);
        file.fileName = chosen->substr(at + 1);
    } else {
        file.fileName = *chosen;
    }
    return file;
}

// Only a regular file is read; anything else (a directory opens for
// reading here) counts as a file that does not exist.
File openForReading(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return nullptr;
    return File(std::fopen(path.c_str(), "r"));
}

SymbolBar* makeBar(const BarFile& file, tk::Point position) {
    auto* bar = new SymbolBar;
    bar->setDataFileName(file.fileName);
    bar->setDataDirectory(file.directory);
    if (!bar->open(position)) {
        if (bar->exists()) bar->destroyWindow();  // the bar deletes itself
        else delete bar;
        return nullptr;
    }
    return bar;
}

void loadBar(const BarFile& file, std::FILE* stream) {
    SymbolBar* bar = makeBar(file, savedSymbolBarPosition(file.fileName));
    if (bar == nullptr) return;
    SymbolFileContent content;
    readSymbolFile(stream, content);
    bar->setRows(content.rows);
    bar->setImageSize(content.imageWidth, content.imageHeight);
    bar->defaultLayer = content.defaultLayer;
    bar->setBlockDirectory(content.blockDirectory);
    bar->setBitmapDirectory(content.bitmapDirectory);
    // The profile's values win over the file's; an empty default layer in
    // the profile leaves the file's.
    bar->applyProfile(false);
    GridItems items;
    for (auto& symbol : content.symbols) items.push_back(std::move(symbol));
    bar->appendItems(std::move(items));
    bar->show();
    if (!content.complete)
        messageBox("The symbol bar file " + file.path + " ends early; it may be damaged.\n" +
                       std::to_string(bar->itemCount()) + " symbols were read.",
                   tk::MB_OK);
    returnFocusToHost();
}

void createBar(const BarFile& file) {
    if (file.path.empty() || file.directory.empty() || file.fileName.empty()) return;
    SymbolBar* bar = makeBar(file, {100, 100});
    if (bar == nullptr) return;
    bar->setRows(1);
    bar->setImageSize(20, 20);
    bar->defaultLayer.clear();

    messageBox("Now choose a path for bitmaps for the toolbar --\n All bitmaps for this toolbar must be located here",
               tk::MB_OK);
    PathSelectionDialog bitmaps;
    if (bitmaps.run(bar->handle()) != tk::IDOK) {
        bar->destroyWindow();
        return;
    }
    bar->setBitmapDirectory(bitmaps.path());
    setLevelBitmapDirectory(bar->bitmapDirectory(), 1);

    messageBox("Now choose a path for blocks for the toolbar --\n All blocks for this toolbar must be located here",
               tk::MB_OK);
    PathSelectionDialog blocks;
    if (blocks.run(bar->handle()) != tk::IDOK) {
        bar->destroyWindow();
        return;
    }
    bar->setBlockDirectory(blocks.path());

    GridItems items;
    for (const char* label : {"1", "2", "3", "4", "5"}) {
        auto symbol = std::make_unique<SymbolButton>();
        symbol->setLabel(label);
        items.push_back(std::move(symbol));
    }
    bar->appendItems(std::move(items));
    bar->show();
    bar->setChanged(true);
    returnFocusToHost();
}

}  // namespace

int symbolbarCommand() {
    std::optional<BarFile> file = chooseBarFile();
    if (!file) return RTNORM;
    File stream = openForReading(file->path);
    if (!stream) {
        createBar(*file);
        return RTNORM;
    }
    std::string typeWord;
    readTextToken(stream.get(), typeWord);
    if (typeWord != kSymbolBarTypeWord) {
        messageBox("Unknown template type.", tk::MB_OK);
        return RTNORM;
    }
    loadBar(*file, stream.get());
    return RTNORM;
}

}  // namespace zan
