// ERASE.
#include "commands/core_commands.h"
#include "core/host.h"

namespace host {

void registerEditCommands(Host& host) {
    host.commands().define("ERASE", [](CommandContext& c) {
        std::vector<RecordId> chosen = c.selection();
        Database& db = c.host().db();
        for (RecordId id : chosen) db.erase(id);
    });
}

}  // namespace host
