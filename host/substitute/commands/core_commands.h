// The host's own commands.
#pragma once

namespace host {
class Host;

void registerCoreCommands(Host& host);
// Each family registers itself.
void registerDrawingStateCommands(Host& host);  // HANDLES, REGENAUTO, REGEN, QUIT, SETVAR
void registerSpaceCommands(Host& host);         // TILEMODE, MSPACE, PSPACE
void registerEditCommands(Host& host);          // ERASE, MOVE, COPY
void registerDrawCommands(Host& host);          // LINE
void registerPeditCommand(Host& host);          // PEDIT
void registerOffsetCommand(Host& host);         // OFFSET
void registerInsertCommand(Host& host);         // INSERT
void registerExplodeCommand(Host& host);        // EXPLODE
void registerLayerCommands(Host& host);         // LAYER
void registerVplayerCommand(Host& host);        // VPLAYER
void registerUcsViewCommands(Host& host);       // UCS, VIEW
void registerFileCommands(Host& host);          // OPEN, SAVE, QSAVE, SAVEAS
}  // namespace host
