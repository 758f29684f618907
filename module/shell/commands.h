// The handlers of the command table. Each returns RTNORM whatever happened;
// problems are reported, never returned.
#pragma once

namespace zan {

int xreffreezeCommand();
int xreflistCommand();
int viewportfreezeCommand();
int layerfilterCommand();
int layerviewCommand();
int symbolbarCommand();
int modifierbarCommand();
int symbolInsertFunction();
int dlconfigCommand();
int zanPreviewCommand();
int zanRestoreCommand();
int copytomodCommand();
int movetomodCommand();
int leaderCommand();
int pocheCommand();
int preferencesCommand();

}  // namespace zan
