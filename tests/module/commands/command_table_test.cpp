// Every command of the module's table does its own work: each, typed on the
// demo drawing, shows what only it shows (a prompt, a window, a dialog).
#include "demo_fixture.h"

namespace zan::test {
namespace {

struct CommandCase {
    const char* typed;
    const char* shows;
};

class CommandTable : public DemoDrawing, public ::testing::WithParamInterface<CommandCase> {};

TEST_P(CommandTable, TheCommandDoesItsWork) {
    const CommandCase& c = GetParam();
    h.run(std::string(c.typed) + "\n^C\n@cancel\n@escape\n");
    EXPECT_TRUE(shows(c.shows)) << c.typed << " did not show \"" << c.shows << "\":\n" << h.transcript();
}

const CommandCase kCommands[] = {
    {"xreffreeze", "Select entity on layer to freeze.\n"},
    {"xreflist", "Select entity to list.\n"},
    {"viewportfreeze", "Select entity on layer to freeze in viewport.\n"},
    {"layerfilter", "Filtering for current layer..."},
    {"layerview", "Current Layer is  0\n"},
    {"symbolbar", "[open file] \"Open or Create ZAN Symbol File\""},
    {"levelbar", "[tool 1] shown"},
    {"modifierbar", "[tool 1] shown"},
    {"(ZAN_Symbol_Insert)", "Command: "},  // with nothing pending it does nothing, and says nothing
    {"dlconfig", "[dialog"},
    {"copytomod", "Select objects: "},
    {"movetomod", "Select objects: "},
    {"levelbar\nclearlev", "Cannot delete levels while levelbar is active."},
    {"clearinit", "ZAN is initializing..."},
    {"ZANLeader", "Enter beginning point of leader.\n"},
    {"ZANPoche", "What is the width of the wall <3.50>:"},
    {"ZANpref", "[dialog"},
    {"ZANPreview", "Layer configuration file <"},
    {"ZANRestore\n", "Layer configuration name: "},  // Enter: the drawing's own file
};

INSTANTIATE_TEST_SUITE_P(EveryCommand, CommandTable, ::testing::ValuesIn(kCommands),
                         [](const ::testing::TestParamInfo<CommandCase>& info) {
                             std::string name;
                             for (const char* p = info.param.typed; *p; ++p)
                                 if (std::isalnum(static_cast<unsigned char>(*p))) name += *p;
                             return name;
                         });

}  // namespace
}  // namespace zan::test
