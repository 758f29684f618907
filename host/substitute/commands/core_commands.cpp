#include "commands/core_commands.h"

namespace host {

void registerCoreCommands(Host& host) {
    registerDrawingStateCommands(host);
    registerSpaceCommands(host);
    registerEditCommands(host);
}

}  // namespace host
