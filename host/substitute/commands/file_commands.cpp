// OPEN, SAVE (and QSAVE) and SAVEAS: drawings read from and written to DXF
// files. A drawing that cannot be read leaves the open drawing as it is; a
// save that fails leaves the previous file as it was.
#include <iostream>
#include <string>

#include "commands/core_commands.h"
#include "core/host.h"
#include "dxf/dxf.h"

namespace host {

namespace {

std::string trimmed(std::string text) {
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.pop_back();
    std::size_t start = text.find_first_not_of(" \t");
    text.erase(0, start == std::string::npos ? text.size() : start);
    // A name typed in double quotes (to hold spaces) loses its quotes.
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"') text = text.substr(1, text.size() - 2);
    return text;
}

bool hasDrawingExtension(const std::string& path) {
    std::size_t slash = path.find_last_of('/');
    std::size_t dot = path.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return false;
    std::string ext = upperName(path.substr(dot));
    return ext == ".DXF" || ext == ".DWG";
}

// Before another drawing replaces one with changes no save has written: a
// user at the terminal is asked, as QUIT asks (Cancel, or a save that fails,
// keeps the drawing open); a session with an output file saves them there,
// as SAVE does; a script without one loses them, and says so on standard
// error too, where a run's problems are looked for. False: do not open.
bool keepChanges(CommandContext& c) {
    Host& h = c.host();
    if (!h.modified()) return true;
    if (h.asksToSave()) {
        std::string answer = c.keyword("Save changes to " + h.drawingName() + "? [Yes/No/Cancel] <Yes>: ",
                                       {"Yes", "No", "Cancel"});
        if (answer == "Cancel") return false;
        if (answer == "No") return true;
    } else if (h.saveTarget().empty()) {
        c.print("The changes to " + h.drawingName() + " were discarded.\n");
        std::cerr << "zan: OPEN discarded the changes to " << h.drawingName()
                  << " (save them first with SAVE, or name a file with --save-as)\n";
        return true;
    }
    if (saveDrawingCommand(c)) return true;
    c.print("The drawing stays open.\n");
    return false;
}

void open(CommandContext& c) {
    std::string path = trimmed(c.text("Enter name of drawing to open: ", true));
    if (path.empty()) return;
    if (!hasDrawingExtension(path)) path += ".dxf";
    std::string message;
    std::vector<std::string> warnings;
    std::unique_ptr<Database> drawing = dxf::loadDrawing(path, &message, &warnings);
    if (!drawing) {
        c.error("Cannot open the drawing: " + message + "\n");
        return;
    }
    for (const std::string& warning : warnings) c.print("Warning: " + warning + "\n");
    if (!keepChanges(c)) return;
    c.host().openDrawing(std::move(drawing), path);
    c.print("Opened " + path + ".\n");
}

bool saveTo(CommandContext& c, const std::string& path) {
    std::string message;
    if (!c.host().saveTo(path, message)) {
        c.error("The drawing was not saved: " + message + "\n");
        return false;
    }
    c.print("Saved " + path + ".\n");
    return true;
}

bool saveAs(CommandContext& c) {
    const std::string& current = c.host().drawingPath();
    std::string prompt = "Save drawing as";
    if (!current.empty()) prompt += " <" + current + ">";
    std::string path = trimmed(c.text(prompt + ": ", true));
    if (path.empty()) path = current;
    if (path.empty()) return false;
    if (!hasDrawingExtension(path)) path += ".dxf";
    if (!saveTo(c, path)) return false;
    // The drawing now has this name: SAVE and QSAVE write it from here on.
    c.host().setDrawingPath(path);
    c.host().setSaveTarget("");
    return true;
}

}  // namespace

bool saveDrawingCommand(CommandContext& c) {
    // The session's output file, when it names one; else the drawing's own
    // file; a new drawing is named first.
    if (!c.host().saveTarget().empty()) return saveTo(c, c.host().saveTarget());
    if (c.host().drawingPath().empty()) return saveAs(c);
    return saveTo(c, c.host().drawingPath());
}

namespace {
void save(CommandContext& c) { saveDrawingCommand(c); }
void saveAsCommand(CommandContext& c) { saveAs(c); }
}  // namespace

void registerFileCommands(Host& host) {
    CommandProcessor& commands = host.commands();
    commands.define("OPEN", open);
    commands.define("SAVE", save);
    commands.define("QSAVE", save);
    commands.define("SAVEAS", saveAsCommand);
}

}  // namespace host
