// The host's own commands.
#pragma once

namespace host {
class Host;
class CommandContext;

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
void registerHelpCommand(Host& host);           // HELP (also "?" at the command prompt)

// What SAVE does (file_commands.cpp): true when the drawing was written.
bool saveDrawingCommand(CommandContext& c);
}  // namespace host
