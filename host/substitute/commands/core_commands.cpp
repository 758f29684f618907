#include "commands/core_commands.h"

namespace host {

void registerCoreCommands(Host& host) {
    registerDrawingStateCommands(host);
    registerSpaceCommands(host);
    registerEditCommands(host);
    registerLayerCommands(host);
    registerVplayerCommand(host);
    registerUcsViewCommands(host);
    registerFileCommands(host);
    registerHelpCommand(host);
}

}  // namespace host
