#include "symbols/new_symbol_dialog.h"

#include <memory>

#include "resources/symbol_dialog_templates.h"
#include "symbols/symbol_bar.h"
#include "symbols/symbol_button.h"
#include "shell/drawing_paths.h"

namespace zan {

NewSymbolDialog::NewSymbolDialog(SymbolBar& bar, const SymbolButton& symbol)
    : tk::Dialog(resources::newSymbolTemplate()), bar_(bar), symbol_(symbol) {}

bool NewSymbolDialog::onInit() {
    values_.imageFile = symbol_.imageFile;
    values_.label = symbol_.label();
    values_.blockName = symbol_.blockName;
    values_.layerName = symbol_.layerName;
    values_.searchSubEntities = symbol_.searchSubEntities;
    fillControls();
    return true;
}

void NewSymbolDialog::fillControls() {
    setItemText(kName, values_.label);
    setItemText(kBlock, values_.blockName);
    setItemText(kIcon, values_.imageFile);
    setItemText(kLayer, values_.layerName);
    setChecked(kSearchSubEntities, values_.searchSubEntities == 1);
}

void NewSymbolDialog::readControls() {
    values_.label = itemText(kName);
    values_.blockName = itemText(kBlock);
    values_.imageFile = itemText(kIcon);
    values_.layerName = itemText(kLayer);
    values_.searchSubEntities = isChecked(kSearchSubEntities) ? 1 : 0;
}

void NewSymbolDialog::browse(int field, const char* extension, const char* filter, const std::string& directory) {
    tk::FileDialogRequest request;
    request.owner = handle();
    request.defaultExtension = extension;
    request.filter = filter;
    request.initialDirectory = resolveDrawingPath(directory);
    request.flags = tk::OFN_HIDEREADONLY | tk::OFN_PATHMUSTEXIST | tk::OFN_NOCHANGEDIR;
    std::optional<std::string> chosen = tk::platform().openFileDialog(request);
    if (!chosen) return;
    const std::size_t at = chosen->find_last_of("/\\");
    setItemText(field, at == std::string::npos ? *chosen : chosen->substr(at + 1));
}

void NewSymbolDialog::onCommand(int controlId, int notification) {
    switch (controlId) {
        case kName:
            if (notification == tk::EN_CHANGE) readControls();
            break;
        case kBrowseBlock:
            if (notification == tk::BN_CLICKED)
                browse(kBlock, "dwg", "Drawings (*.dwg)|*.dwg||", bar_.blockDirectory());
            break;
        case kBrowseIcon:
            if (notification == tk::BN_CLICKED)
                browse(kIcon, "bmp", "Bitmaps (*.bmp)|*.bmp||", bar_.bitmapDirectory());
            break;
        case kModify:
        case kAppend:
        case kInsert:
        case kDelete:
            if (notification != tk::BN_CLICKED) break;
            for (int field : {kName, kBlock, kIcon, kLayer})
                if (!checkMaxChars(field, kLongestText)) return;
            readControls();
            bar_.setChanged(true);
            endDialog(controlId);
            break;
        default: break;
    }
}

std::string blockNameWithoutExtension(const std::string& name) {
    const std::size_t at = name.find(".dwg");
    return at == std::string::npos ? name : name.substr(0, at);
}

namespace {

void store(const SymbolValues& values, SymbolButton& symbol) {
    symbol.imageNumber = -1;
    symbol.imageFile = values.imageFile;
    symbol.setLabel(values.label);
    symbol.blockName = blockNameWithoutExtension(values.blockName);
    symbol.layerName = values.layerName;
    symbol.searchSubEntities = values.searchSubEntities;
}

void addSymbol(const SymbolValues& values, SymbolBar& bar, int before) {
    auto symbol = std::make_unique<SymbolButton>();
    store(values, *symbol);
    GridItems items;
    items.push_back(std::move(symbol));
    if (before < 0) bar.appendItems(std::move(items));
    else bar.insertItems(std::move(items), before);
}

}  // namespace

void editSymbol(SymbolBar& bar, SymbolButton& symbol) {
    NewSymbolDialog dialog(bar, symbol);
    const int result = dialog.runModal(bar.handle());
    const int position = bar.indexOfButton(symbol.button);
    switch (result) {
        case NewSymbolDialog::kModify:
            store(dialog.values(), symbol);
            if (symbol.button != nullptr) symbol.button->reloadImage();
            break;
        case NewSymbolDialog::kAppend: addSymbol(dialog.values(), bar, -1); break;
        case NewSymbolDialog::kInsert:
            // A symbol not found on the bar (-1) has no place to insert at: it goes to the front.
            addSymbol(dialog.values(), bar, position < 0 ? 0 : position);
            break;
        case NewSymbolDialog::kDelete: bar.removeItem(position); break;
        default: break;
    }
}

}  // namespace zan
