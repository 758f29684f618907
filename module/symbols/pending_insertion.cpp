#include "symbols/pending_insertion.h"

#include "symbols/symbol_bar.h"

namespace zan {

namespace {
PendingInsertion& pending() {
    static PendingInsertion instance;
    return instance;
}

bool holdsSymbol(const SymbolBar& bar, const SymbolButton* symbol) {
    for (int i = 0; i < bar.itemCount(); ++i)
        if (&bar.buttonAt(i).item() == symbol) return true;
    return false;
}
}  // namespace

void setPendingInsertion(SymbolBar& bar, SymbolButton& symbol) { pending() = {&bar, &symbol}; }

std::optional<PendingInsertion> takePendingInsertion() {
    PendingInsertion taken = pending();
    pending() = {};
    if (taken.bar == nullptr || taken.symbol == nullptr || !holdsSymbol(*taken.bar, taken.symbol)) return std::nullopt;
    return taken;
}

void forgetPendingInsertion(const SymbolBar& bar) {
    if (pending().bar == &bar) pending() = {};
}

}  // namespace zan
