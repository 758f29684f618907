// The symbol a click chose, kept until the host calls the insert function
// from its command line: the bar and the clicked symbol.
#pragma once

#include <optional>

namespace zan {

class SymbolBar;
class SymbolButton;

struct PendingInsertion {
    SymbolBar* bar = nullptr;
    SymbolButton* symbol = nullptr;
};

// Replaces what an earlier click left.
void setPendingInsertion(SymbolBar& bar, SymbolButton& symbol);
// Takes the pending pair and empties it. Nothing when no click is pending,
// or when the symbol is no longer on its bar (deleted meanwhile).
std::optional<PendingInsertion> takePendingInsertion();
// A bar that closes drops its pending click.
void forgetPendingInsertion(const SymbolBar& bar);

}  // namespace zan
