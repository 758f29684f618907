#include "shell/command_table.h"

#include "shell/commands.h"
#include "shell/init_object.h"

namespace zan {

const std::array<CommandEntry, kCommandCount>& commandTable() {
    static const std::array<CommandEntry, kCommandCount> table = {{
        {"C:xreffreeze", xreffreezeCommand},
        {"C:xreflist", xreflistCommand},
        {"C:viewportfreeze", viewportfreezeCommand},
        {"C:layerfilter", layerfilterCommand},
        {"C:layerview", layerviewCommand},
        {"C:symbolbar", symbolbarCommand},
        {"C:levelbar", modifierbarCommand},
        {"C:modifierbar", modifierbarCommand},
        {"ZAN_Symbol_Insert", symbolInsertFunction},
        {"C:dlconfig", dlconfigCommand},
        {"C:copytomod", copytomodCommand},
        {"C:movetomod", movetomodCommand},
        {"C:clearlev", clearlevCommand},
        {"C:clearinit", clearinitCommand},
        {"C:ZANLeader", leaderCommand},
        {"C:ZANPoche", pocheCommand},
        {"C:ZANpref", preferencesCommand},
        {"C:ZANPreview", zanPreviewCommand},
        {"C:ZANRestore", zanRestoreCommand},
    }};
    return table;
}

}  // namespace zan
