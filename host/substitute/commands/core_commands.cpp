#include "commands/core_commands.h"

namespace host {

void registerCoreCommands(Host& host) {
    registerDrawingStateCommands(host);
    registerSpaceCommands(host);
    registerEditCommands(host);
    registerDrawCommands(host);
    registerPeditCommand(host);
    registerOffsetCommand(host);
    registerInsertCommand(host);
    registerExplodeCommand(host);
    registerLayerCommands(host);
    registerVplayerCommand(host);
    registerUcsViewCommands(host);
    registerFileCommands(host);
}

}  // namespace host
