// HANDLES, REGENAUTO, REGEN, SETVAR and QUIT.
#include <string>

#include "commands/core_commands.h"
#include "core/host.h"

namespace host {

namespace {

// Shared by the ON/OFF switches: asks until ON, OFF or Enter (keep) is given.
void onOffSwitch(CommandContext& c, const char* variable) {
    SystemVariables& vars = c.host().db().variables();
    std::string current = vars.integer(variable, 0) ? "ON" : "OFF";
    std::string answer = c.keyword("Enter mode [ON/OFF] <" + current + ">: ", {"ON", "OFF"});
    if (answer.empty()) return;
    vars.setInteger(variable, answer == "ON" ? 1 : 0);
}

void setvar(CommandContext& c) {
    std::string name = upperName(c.text("Enter variable name: "));
    if (name.empty()) return;
    SystemVariables& vars = c.host().db().variables();
    SystemVariable* v = vars.find(name);
    if (!v) {
        c.error("Unknown variable name.  Type SETVAR ? for a list of variables.\n");
        return;
    }
    std::string value = c.text("Enter new value for " + name + ": ", v->type == VarType::Text);
    if (value.empty()) return;
    bool ok = false;
    switch (v->type) {
    case VarType::Short: case VarType::Long:
        if (auto i = parseInt(value)) ok = vars.setInteger(name, *i);
        break;
    case VarType::Real:
        if (auto r = parseReal(value)) ok = vars.setReal(name, *r);
        break;
    case VarType::Text: ok = vars.setText(name, value); break;
    case VarType::Point2: case VarType::Point3:
        if (auto p = parsePointText(value)) ok = vars.setPoint(name, *p);
        break;
    }
    if (v->readOnly) ok = false;
    if (!ok) c.error("Invalid value.\n");
}

// QUIT ends the session. With changes not saved, a user at the terminal is
// asked first; Cancel (or a save that fails) keeps the session going.
void quit(CommandContext& c) {
    Host& h = c.host();
    if (h.modified() && h.asksToSave()) {
        std::string answer = c.keyword("Save changes to " + h.drawingName() + "? [Yes/No/Cancel] <Yes>: ",
                                       {"Yes", "No", "Cancel"});
        if (answer == "Cancel") return;
        if (answer != "No" && !saveDrawingCommand(c)) {
            c.print("The session goes on.\n");
            return;
        }
    }
    h.requestQuit();
}

}  // namespace

void registerDrawingStateCommands(Host& host) {
    CommandProcessor& commands = host.commands();
    commands.define("HANDLES", [](CommandContext& c) { onOffSwitch(c, "HANDLES"); });
    commands.define("REGENAUTO", [](CommandContext& c) { onOffSwitch(c, "REGENMODE"); });
    commands.define("REGEN", [](CommandContext& c) { c.print("Regenerating model.\n"); });
    commands.define("SETVAR", setvar);
    commands.define("QUIT", quit);
}

}  // namespace host
