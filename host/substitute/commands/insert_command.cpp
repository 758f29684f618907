// INSERT: places a block reference. The block is named, or read from a
// drawing file ("name=file", or a file path whose base name names the
// block). The options Scale, X, Y, Z and Rotate, given before the insertion
// point, preset those values; the prompts for the others follow the
// insertion point. A block with attribute definitions asks for their values
// (unless ATTREQ is 0) and the reference gets its ATTRIB records.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>

#include "commands/block_import.h"
#include "commands/core_commands.h"
#include "commands/entity_records.h"
#include "commands/object_pick.h"
#include "core/host.h"
#include "geometry/transform.h"

namespace host {

namespace {

std::string number(double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.6g", value);
    return buffer;
}

bool fileExists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool hasDrawingExtension(std::string_view path) {
    if (path.size() < 4) return false;
    std::string ext = upperName(path.substr(path.size() - 4));
    return ext == ".DWG" || ext == ".DXF";
}

std::string baseName(const std::string& path) {
    std::string name = path.substr(path.find_last_of('/') == std::string::npos ? 0 : path.find_last_of('/') + 1);
    if (hasDrawingExtension(name)) name.resize(name.size() - 4);
    return name;
}

std::string trimmed(std::string text) {
    while (!text.empty() && text.back() == ' ') text.pop_back();
    std::size_t start = text.find_first_not_of(' ');
    text.erase(0, start == std::string::npos ? text.size() : start);
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"') text = text.substr(1, text.size() - 2);
    return text;
}

// Where a block file named without a folder is looked for: the drawing's
// folder, then the current directory.
std::vector<std::string> searchFolders(Host& h) {
    std::vector<std::string> folders;
    std::string prefix = h.db().variables().text("DWGPREFIX");
    if (!prefix.empty()) folders.push_back(prefix);
    folders.push_back("./");
    return folders;
}

// The block to insert, defined from its file when needed; "" when the
// command should end.
std::string chooseBlock(CommandContext& c) {
    Host& h = c.host();
    Database& db = h.db();
    while (true) {
        std::string last = db.variables().text("INSNAME");
        std::string prompt = "Enter block name or [?]";
        if (!last.empty()) prompt += " <" + last + ">";
        std::string typed = trimmed(c.text(prompt + ": "));
        if (typed.empty()) typed = last;
        if (typed.empty()) return {};
        if (typed == "?") {
            c.print("Defined blocks.\n");
            for (const BlockDefinition& b : db.blocks())
                if (b.begin != kNoRecord && !db.at(b.begin).erased && !b.name.empty() && b.name[0] != '*')
                    c.print("  \"" + b.name + "\"\n");
            return {};
        }
        std::string name = typed, file;
        if (std::size_t eq = typed.find('='); eq != std::string::npos) {
            name = trimmed(typed.substr(0, eq));
            file = trimmed(typed.substr(eq + 1));
            if (file.empty()) file = name;
        } else if (typed.find('/') != std::string::npos || hasDrawingExtension(typed)) {
            file = typed;
            name = baseName(typed);
        }
        if (name.empty() || name[0] == '*' || name.find_first_of("<>/\\\":;?,|=`") != std::string::npos) {
            c.error("Invalid block name.\n");
            continue;
        }
        const BlockDefinition* existing = db.block(name);
        bool defined = existing && existing->begin != kNoRecord && !db.at(existing->begin).erased;
        if (file.empty()) {
            if (defined) return std::string(existing->name);
            file = name;
        } else if (defined) {
            std::string answer =
                c.keyword("Block \"" + name + "\" already exists. Redefine it? [Yes/No] <No>: ", {"Yes", "No"});
            if (answer != "Yes") return std::string(existing->name);
        }
        // The file: as given, or with ".dwg" added, or in the search folders.
        std::vector<std::string> candidates;
        std::vector<std::string> names{file};
        if (!hasDrawingExtension(file)) names = {file + ".dwg", file + ".dxf"};
        for (const std::string& n : names) {
            if (n.find('/') != std::string::npos) candidates.push_back(n);
            else
                for (const std::string& folder : searchFolders(h)) candidates.push_back(folder + n);
        }
        std::string found;
        for (const std::string& candidate : candidates)
            if (fileExists(candidate)) {
                found = candidate;
                break;
            }
        if (found.empty()) {
            std::string shown = hasDrawingExtension(file) ? file : file + ".dwg";
            c.print("\"" + shown + "\": Can't find file in search path:\n");
            if (shown.find('/') == std::string::npos)
                for (const std::string& folder : searchFolders(h)) c.print("  " + folder + "\n");
            continue;
        }
        std::string message;
        if (!importBlockFile(db, found, name, &message)) {
            c.print(message + "\n");
            continue;
        }
        return name;
    }
}

// A scale factor; Enter gives `fallback`; zero is refused.
double askScale(CommandContext& c, const std::string& prompt, double fallback) {
    while (true) {
        std::optional<double> v = c.real(prompt);
        if (!v) return fallback;
        if (*v != 0) return *v;
        c.error("Value must be nonzero.\n");
    }
}

// An angle in degrees, or a point whose direction from `from` gives it.
double askAngle(CommandContext& c, const Coord3* from, double fallback) {
    while (true) {
        CommandInput in = c.input("Specify rotation angle <" + number(fallback) + ">: ");
        std::optional<Coord3> p;
        if (in.kind == CommandInput::Kind::Point) p = in.point;
        else if (in.kind == CommandInput::Kind::Text && in.text.empty()) return fallback;
        else if (in.kind == CommandInput::Kind::Text) {
            if (auto v = parseReal(in.text)) return *v;
            p = parsePointText(in.text);
        }
        if (p && from) return std::atan2((*p)[1] - (*from)[1], (*p)[0] - (*from)[0]) * 180.0 / 3.14159265358979323846;
        c.error("Requires valid numeric angle or second point.\n");
    }
}

struct Placement {
    Coord3 point{};
    double x = 1, y = 1, z = 1, rotation = 0;
};

// The insertion point with the options before it, then the prompts not preset.
Placement askPlacement(CommandContext& c) {
    Placement p;
    bool xSet = false, ySet = false, zSet = false, rotationSet = false;
    while (true) {
        PointOrKeyword in =
            pointOrKeyword(c, "Specify insertion point or [Scale/X/Y/Z/Rotate]: ", {"Scale", "X", "Y", "Z", "Rotate"});
        if (in.point) {
            p.point = *in.point;
            break;
        }
        if (in.keyword == "Scale") {
            p.x = p.y = p.z = askScale(c, "Specify scale factor for XYZ axes <1>: ", 1);
            xSet = ySet = zSet = true;
        } else if (in.keyword == "X") {
            p.x = askScale(c, "Specify X scale factor <1>: ", 1);
            xSet = true;
        } else if (in.keyword == "Y") {
            p.y = askScale(c, "Specify Y scale factor <1>: ", 1);
            ySet = true;
        } else if (in.keyword == "Z") {
            p.z = askScale(c, "Specify Z scale factor <1>: ", 1);
            zSet = true;
        } else if (in.keyword == "Rotate") {
            p.rotation = askAngle(c, nullptr, 0);
            rotationSet = true;
        } else {
            c.print("Point or option keyword required.\n");  // Enter: the insertion point is needed
        }
    }
    if (!xSet) p.x = askScale(c, "Enter X scale factor <1>: ", 1);
    if (!ySet) p.y = askScale(c, "Enter Y scale factor <use X scale factor>: ", p.x);
    if (!zSet) p.z = p.x;
    if (!rotationSet) p.rotation = askAngle(c, &p.point, 0);
    return p;
}

Matrix insertMatrix(const Placement& p, const Coord3& base) {
    return Matrix::translation(p.point[0], p.point[1], p.point[2]) * Matrix::rotationZ(radians(p.rotation)) *
           Matrix::scaling(p.x, p.y, p.z) * Matrix::translation(-base[0], -base[1], -base[2]);
}

// The ATTRIB of a reference made from an attribute definition.
Record attributeFrom(const Record& definition, const std::string& value, const Matrix& m, const std::string& layer) {
    Record r = copyForNewEntity(definition);
    r.type = "ATTRIB";
    GroupList kept;
    for (const Group& g : r.groups)
        if (g.code != 100 && g.code != 3) kept.push_back(g);
    r.groups = std::move(kept);
    r.set(1, value);
    // Attributes on layer "0" take the reference's layer, as its entities do when drawn.
    if (r.text(8, "0") == "0") r.set(8, layer);
    transformRecord(r, m);
    return r;
}

void insert(CommandContext& c) {
    Host& h = c.host();
    Database& db = h.db();
    std::string name = chooseBlock(c);
    if (name.empty()) return;
    db.variables().setText("INSNAME", name);
    Placement p = askPlacement(c);

    const BlockDefinition* block = db.block(name);
    Coord3 base = block ? pointGroup(db.at(block->begin), 10) : Coord3{0, 0, 0};
    std::vector<RecordId> definitions;
    if (block)
        for (RecordId id : block->entities)
            if (!db.at(id).erased && db.at(id).type == "ATTDEF" && !(db.at(id).integer(70, 0) & 2)) definitions.push_back(id);
    std::vector<std::string> values;
    if (!definitions.empty()) {
        bool ask = db.variables().integer("ATTREQ", 1) != 0;
        if (ask) c.print("Enter attribute values\n");
        for (RecordId id : definitions) {
            const Record& d = db.at(id);
            std::string fallback(d.text(1));
            std::string value;
            if (ask) {
                std::string prompt(d.text(3, d.text(2)));
                value = c.text(prompt + " <" + fallback + ">: ", true);
            }
            values.push_back(value.empty() ? fallback : value);
        }
    }

    std::string layer = db.variables().text("CLAYER");
    GroupList data;
    if (!definitions.empty()) data.emplace_back(66, "1");
    data.insert(data.end(), {{2, name}, {10, formatReal(p.point[0])}, {20, formatReal(p.point[1])},
                             {30, formatReal(p.point[2])}, {41, formatReal(p.x)}, {42, formatReal(p.y)},
                             {43, formatReal(p.z)}, {50, formatReal(p.rotation)}});
    RecordId reference = addNewEntity(h, "INSERT", data);
    if (definitions.empty()) return;
    bool paper = db.isPaperSpaceEntity(reference);
    Matrix m = insertMatrix(p, base);
    for (std::size_t i = 0; i < definitions.size(); ++i)
        addEntityToSpace(db, attributeFrom(db.at(definitions[i]), values[i], m, layer), paper);
    Record end;
    end.type = "SEQEND";
    end.groups = {{8, layer}};
    addEntityToSpace(db, std::move(end), paper);
}

}  // namespace

void registerInsertCommand(Host& host) { host.commands().define("INSERT", insert); }

}  // namespace host
