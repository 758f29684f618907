// The host's own commands.
#pragma once

namespace host {
class Host;

void registerCoreCommands(Host& host);
// Each family registers itself.
void registerDrawingStateCommands(Host& host);  // HANDLES, REGENAUTO, REGEN, QUIT, SETVAR
void registerSpaceCommands(Host& host);         // TILEMODE, MSPACE, PSPACE
void registerEditCommands(Host& host);          // ERASE
}  // namespace host
