// TILEMODE, MSPACE and PSPACE: switching between model space, the paper
// space layout and its floating viewports. The active viewport carries
// status 1 (group 68); the paper space sheet itself is viewport number 1
// (group 69).
#include <algorithm>
#include <vector>

#include "commands/core_commands.h"
#include "db/viewports.h"
#include "core/host.h"

namespace host {

namespace {

void tilemode(CommandContext& c) {
    SystemVariables& vars = c.host().db().variables();
    long long current = vars.integer("TILEMODE", 1);
    auto value = c.integer("Enter new value for TILEMODE <" + std::to_string(current) + ">: ");
    if (!value) return;
    if (*value != 0 && *value != 1) {
        c.error("Requires an integer between 0 and 1.\n");
        return;
    }
    setTileMode(c.host().db(), static_cast<int>(*value));
}

void mspace(CommandContext& c) {
    Host& h = c.host();
    if (h.db().variables().integer("TILEMODE", 1) == 1) {
        c.error("** Command not allowed in Model Tab **\n");
        return;
    }
    if (!activateFloatingViewport(h.db())) c.error("There are no active model space viewports.\n");
}

void pspace(CommandContext& c) {
    Host& h = c.host();
    if (h.db().variables().integer("TILEMODE", 1) == 1) {
        c.error("** Command not allowed in Model Tab **\n");
        return;
    }
    activateViewport(h.db(), paperSheetViewport(h.db()));
}

}  // namespace

void registerSpaceCommands(Host& host) {
    CommandProcessor& commands = host.commands();
    commands.define("TILEMODE", tilemode);
    commands.define("MSPACE", mspace);
    commands.define("MS", mspace);
    commands.define("PSPACE", pspace);
    commands.define("PS", pspace);
}

}  // namespace host
