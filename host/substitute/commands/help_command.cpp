// HELP: the host's commands and the commands and functions that loaded
// applications registered, one line each.
#include <map>
#include <string>

#include "commands/core_commands.h"
#include "core/host.h"

namespace host {

namespace {

// What each host command does, in the words of its help line.
const std::map<std::string, std::string, std::less<>> kSummaries = {
    {"HANDLES", "turns entity handles on or off"},
    {"HELP", "lists the commands (also \"?\")"},
    {"LAYER", "makes, sets and switches layers (ON, OFF, Freeze, Thaw, LOck, Unlock, Color, Ltype)"},
    {"MS", "same as MSPACE"},
    {"MSPACE", "makes a floating viewport current (model space in a layout)"},
    {"OPEN", "opens a drawing (DXF)"},
    {"PS", "same as PSPACE"},
    {"PSPACE", "makes the layout's paper space current"},
    {"QSAVE", "saves the drawing to its file (with --save-as: to that file)"},
    {"QUIT", "ends the session (at a terminal, asks first about unsaved changes)"},
    {"REGEN", "regenerates the drawing"},
    {"REGENAUTO", "turns automatic regeneration on or off"},
    {"SAVE", "saves the drawing to its file (with --save-as: to that file); a new one asks for a name"},
    {"SAVEAS", "saves the drawing under a new name"},
    {"SETVAR", "shows or changes a system variable"},
    {"TILEMODE", "switches between the model tab (1) and the layout (0)"},
    {"UCS", "saves, restores and deletes named coordinate systems"},
    {"VIEW", "saves, restores and deletes named views"},
    {"VPLAYER", "freezes and thaws layers in viewports"},
    {"ERASE", "erases objects"},
    {"COPY", "copies objects by a base point and second points, or a displacement"},
    {"EXPLODE", "breaks block references and polylines into their parts"},
    {"INSERT", "inserts a block, or a drawing file as a block"},
    {"LINE", "draws lines from point to point"},
    {"MOVE", "moves objects by a base point and a second point, or a displacement"},
    {"OFFSET", "draws a parallel copy of a line, arc, circle or polyline"},
    {"PLOT", "writes the drawing to a PNG, PDF or SVG picture"},
    {"PEDIT", "edits a polyline (Width, Close, Open); turns a line or arc into one"},
};

void help(CommandContext& c) {
    std::string out = "Host commands:\n";
    for (const std::string& name : c.host().commands().names()) {
        out += "  " + name;
        if (auto it = kSummaries.find(name); it != kSummaries.end())
            out += std::string(name.size() < 12 ? 12 - name.size() : 1, ' ') + it->second;
        out += "\n";
    }
    std::string commands, functions;
    for (const std::string& name : c.host().applications().functionNames()) {
        if (name.rfind("C:", 0) == 0)
            commands += "  " + name.substr(2) + "\n";
        else
            functions += "  (" + name + ")\n";
    }
    if (!commands.empty()) out += "Commands of loaded applications:\n" + commands;
    if (!functions.empty()) out += "Functions of loaded applications (typed in parentheses):\n" + functions;
    c.print(out);
}

}  // namespace

void registerHelpCommand(Host& host) { host.commands().define("HELP", help); }

}  // namespace host
