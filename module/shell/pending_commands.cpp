// Commands whose features are still being built: each returns to the host
// at once. Every one of them moves to its own file when its feature lands.
#include "ads/adslib.h"
#include "shell/commands.h"

namespace zan {

int xreffreezeCommand() { return RTNORM; }
int xreflistCommand() { return RTNORM; }
int viewportfreezeCommand() { return RTNORM; }
int layerfilterCommand() { return RTNORM; }
int layerviewCommand() { return RTNORM; }
int copytomodCommand() { return RTNORM; }
int movetomodCommand() { return RTNORM; }
int leaderCommand() { return RTNORM; }
int pocheCommand() { return RTNORM; }

}  // namespace zan
