// OPEN, SAVE (and QSAVE) and SAVEAS: drawings read from and written to DXF
// files. A drawing that cannot be read leaves the open drawing as it is; a
// save that fails leaves the previous file as it was.
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

void open(CommandContext& c) {
    std::string path = trimmed(c.text("Enter name of drawing to open: ", true));
    if (path.empty()) return;
    if (!hasDrawingExtension(path)) path += ".dxf";
    std::string message;
    std::vector<std::string> warnings;
    std::unique_ptr<Database> drawing = dxf::loadDrawing(path, &message, &warnings);
    if (!drawing) {
        c.print("Cannot open the drawing: " + message + "\n");
        return;
    }
    for (const std::string& warning : warnings) c.print("Warning: " + warning + "\n");
    c.host().openDrawing(std::move(drawing), path);
    c.print("Opened " + path + ".\n");
}

void saveTo(CommandContext& c, const std::string& path) {
    std::string message;
    if (!dxf::saveDrawing(c.host().db(), path, &message)) {
        c.print("The drawing was not saved: " + message + "\n");
        return;
    }
    c.host().setDrawingPath(path);
    c.print("Saved " + path + ".\n");
}

void saveAs(CommandContext& c) {
    const std::string& current = c.host().drawingPath();
    std::string prompt = "Save drawing as";
    if (!current.empty()) prompt += " <" + current + ">";
    std::string path = trimmed(c.text(prompt + ": ", true));
    if (path.empty()) path = current;
    if (path.empty()) return;
    if (!hasDrawingExtension(path)) path += ".dxf";
    saveTo(c, path);
}

void save(CommandContext& c) {
    // A drawing with a file is saved to it; a new one is named first.
    if (c.host().drawingPath().empty()) {
        saveAs(c);
        return;
    }
    std::string path = c.host().drawingPath();
    saveTo(c, path);
}

}  // namespace

void registerFileCommands(Host& host) {
    CommandProcessor& commands = host.commands();
    commands.define("OPEN", open);
    commands.define("SAVE", save);
    commands.define("QSAVE", save);
    commands.define("SAVEAS", saveAs);
}

}  // namespace host
