#include "symbols/symbol_bar.h"

#include "dialogs/input_dialog.h"
#include "dialogs/path_selection_dialog.h"
#include "shell/services.h"
#include "symbols/pending_insertion.h"
#include "symbols/symbol_settings_dialogs.h"
#include "toolwnd/button_image.h"
#include "shell/drawing_paths.h"

namespace zan {

namespace {
constexpr int kStripImageWidth = 15;
constexpr int kStripImageHeight = 14;
constexpr int kStripCount = 4;

std::string quoted(const std::string& text) {
    std::string out = "\"";
    for (char c : text) out += c == '"' ? ' ' : c;
    return out + "\"\n";
}

std::vector<SymbolBar*>& bars() {
    static std::vector<SymbolBar*> open;
    return open;
}

}  // namespace

SymbolBar::SymbolBar() { bars().push_back(this); }

SymbolBar::~SymbolBar() {
    forgetPendingInsertion(*this);
    std::erase(bars(), this);
}

const std::vector<SymbolBar*>& SymbolBar::openBars() { return bars(); }

bool SymbolBar::open(tk::Point position) {
    if (!create(kSymbolBarTypeWord, "Toolbox", position, &SymbolBar::onClick)) return false;
    appendSystemMenuItem(kMenuSetBlockDirectory, "Set Block Dir...");
    appendSystemMenuItem(kMenuDefaultAutoLayer, "Default Auto Layer...");
    applyProfile(true);
    // Without its strip (reported) the bar still works, with every option off.
    createOptionStrip(kStripImageWidth, kStripImageHeight, kStripCount, kOptionStripBitmap);
    return true;
}

void SymbolBar::applyProfile(bool emptyToo) {
    if (std::optional<ScaleAndRotation> saved = savedScaleAndRotation(dataFileName())) values = *saved;
    std::string layer = savedDefaultLayer(dataFileName());
    if (emptyToo || !layer.empty()) defaultLayer = std::move(layer);
    setTitle(dataFileName().empty() ? std::string("Toolbox") : dataFileName());
}

std::string SymbolBar::symbolFileText() const {
    std::string out = std::string(kSymbolBarTypeWord) + "\n";
    out += std::to_string(itemCount()) + "\n";
    out += std::to_string(rows()) + "\n";
    const tk::Size image = imageSize();
    out += std::to_string(image.width) + " " + std::to_string(image.height) + "\n";
    out += quoted(defaultLayer);
    out += quoted(blockDirectory());
    out += quoted(bitmapDirectory());
    for (int i = 0; i < itemCount(); ++i) buttonAt(i).item().writeTo(out);
    return out;
}

bool SymbolBar::save() { return writeDataFile(symbolFileText()); }

void SymbolBar::stripButtonContext(int index) {
    switch (index) {
        case kAutoLayer: editAutoLayerName(*this); break;
        case kAutoScale: editScalingFactors(*this); break;
        case kAutoRotate: editRotation(*this); break;
        default: break;
    }
    returnFocusToHost();
}

bool SymbolBar::rolledUpCaption(std::string& text) {
    text = dataFileName();
    return true;
}

tk::FileDialogRequest SymbolBar::saveAsRequest() const {
    tk::FileDialogRequest request;
    request.title = "Save ZAN Symbol Bar";
    request.defaultExtension = "Zsb";
    request.filter = "Symbol Bar Data (*.Zsb)|*.Zsb||";
    request.flags = tk::OFN_HIDEREADONLY | tk::OFN_OVERWRITEPROMPT;
    return request;
}

bool SymbolBar::onSystemCommand(unsigned command) {
    switch (command) {
        case kMenuSetBlockDirectory: askBlockDirectory(); return true;
        case kMenuDefaultAutoLayer: askDefaultLayer(); return true;
        default: return ButtonGridWindow::onSystemCommand(command);
    }
}

void SymbolBar::askBlockDirectory() {
    PathSelectionDialog dialog;
    dialog.setInitialPath(resolveDrawingPath(blockDirectory()));
    if (dialog.run(handle()) != tk::IDOK) return;
    setBlockDirectory(dialog.path());
    setChanged(true);
}

void SymbolBar::askDefaultLayer() {
    InputDialog dialog;
    dialog.setPrompt("Enter default layername for automatic layering:\n (This can be overridden by each symbol)");
    if (dialog.run(handle()) != tk::IDOK) return;
    defaultLayer = dialog.value();
    setChanged(true);
}

bool SymbolBar::onClose() {
    const tk::Rect where = windowRect();
    saveSymbolProfile(dataFileName(), {where.left, where.top}, defaultLayer, values);
    // A failed save has shown its message; the bar closes all the same.
    if (changed() && messageBox("Save changes to Symbol Bar?", tk::MB_YESNO) == tk::IDYES) save();
    return false;
}

}  // namespace zan
