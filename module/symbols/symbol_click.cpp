// Clicks on a symbol: the left button records the symbol and hands the
// insert function to the host's command line (a tool window cannot run
// drawing commands itself); the right button opens New Symbol.
#include "shell/services.h"
#include "symbols/new_symbol_dialog.h"
#include "symbols/pending_insertion.h"
#include "symbols/symbol_bar.h"
#include "tk/window_types.h"

namespace zan {

inline constexpr const char* kSymbolInsertText = "(ZAN_Symbol_Insert) ";

void SymbolBar::onClick(GridItem& item, int event, unsigned keys, ButtonGridWindow& window) {
    auto& symbol = static_cast<SymbolButton&>(item);
    auto& bar = static_cast<SymbolBar&>(window);
    if (event == kGridLeftClick) {
        if (keys == tk::MK_SHIFT) bar.pressLastClicked(1);
        setPendingInsertion(bar, symbol);
        sendCommandText(kSymbolInsertText);
    } else if (event == kGridRightClick) {
        editSymbol(bar, symbol);
        returnFocusToHost();
    }
}

}  // namespace zan
