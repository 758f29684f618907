// "New Symbol": opened by a right click on a symbol, it collects the
// symbol's name, block, icon, layer and search-sub-entities flag and the
// action to take — change the symbol in place, append or insert a new
// symbol, or delete the symbol. The action is carried out after the dialog
// closed.
#pragma once

#include <string>

#include "tk/dialog.h"

namespace zan {

class SymbolBar;
class SymbolButton;

struct SymbolValues {
    std::string label;
    std::string blockName;
    std::string imageFile;
    std::string layerName;
    int searchSubEntities = 0;
};

class NewSymbolDialog : public tk::Dialog {
public:
    static constexpr int kName = 1000;
    static constexpr int kBrowseIcon = 1001;
    static constexpr int kBlock = 1002;
    static constexpr int kBrowseBlock = 1003;
    static constexpr int kIcon = 1004;
    static constexpr int kLayer = 1027;
    static constexpr int kSearchSubEntities = 1029;
    // End codes, also the buttons' identifiers.
    static constexpr int kModify = 1030;
    static constexpr int kAppend = 1031;
    static constexpr int kInsert = 1032;
    static constexpr int kDelete = 1033;
    // Longest text a field may hold: the bar's file reader reads at most
    // 127 characters per text, so a longer one would not read back whole.
    static constexpr std::size_t kLongestText = 127;

    NewSymbolDialog(SymbolBar& bar, const SymbolButton& symbol);

    bool onInit() override;
    void onCommand(int controlId, int notification) override;
    // Enter presses the default button; there is no OK button to end with.
    void onOK() override {}

    const SymbolValues& values() const { return values_; }

private:
    void fillControls();
    void readControls();
    void browse(int field, const char* extension, const char* filter, const std::string& directory);

    SymbolBar& bar_;
    const SymbolButton& symbol_;
    SymbolValues values_;
};

// A block name as a symbol keeps it: cut at the first lower-case ".dwg".
std::string blockNameWithoutExtension(const std::string& name);

// Shows the dialog for the clicked symbol and performs the chosen action.
void editSymbol(SymbolBar& bar, SymbolButton& symbol);

}  // namespace zan
