#include "commands/block_import.h"

#include <cctype>
#include <fstream>
#include <map>
#include <sys/stat.h>

#include "commands/block_defs.h"
#include "commands/entity_records.h"
#include "dxf/dxf.h"

namespace host {

namespace {

// Whether a group code holds a handle of another record (owners, pointers):
// those of the file's records mean nothing in the drawing.
bool isPointerCode(int code) {
    return (code >= 320 && code <= 369) || (code >= 390 && code <= 399) || (code >= 480 && code <= 481);
}

Record foreignRecord(const Record& source) {
    Record r = copyForNewEntity(source);
    GroupList kept;
    for (const Group& g : r.groups)
        if (!isPointerCode(g.code)) kept.push_back(g);
    r.groups = std::move(kept);
    if (r.type == "HATCH") {
        // Boundary objects stay behind: the hatch is no longer associative.
        for (Group& g : r.groups)
            if (g.code == 97) g.value = "0";
        if (Group* g = r.find(71)) g->value = "0";
    }
    return r;
}

// Adds the entries of a table the drawing lacks.
void mergeTable(Database& db, const Database& source, const char* table) {
    const SymbolTable* from = source.table(table);
    if (!from) return;
    for (RecordId id : from->entries) {
        const Record& entry = source.at(id);
        if (entry.erased || db.findEntry(table, entry.text(2)) != kNoRecord) continue;
        Record r = foreignRecord(entry);
        GroupList kept;
        for (const Group& g : r.groups)
            if (g.code != 100) kept.push_back(g);
        r.groups = std::move(kept);
        dxf::normalizeTableRecord(r);
        r.groups.insert(r.groups.begin(), Group(330, formatHandle(db.at(db.ensureTable(table).head).handle)));
        db.addEntry(table, std::move(r));
    }
}

bool isSpaceName(std::string_view name) {
    std::string upper = upperName(name);
    return upper.rfind("*MODEL_SPACE", 0) == 0 || upper.rfind("*PAPER_SPACE", 0) == 0 || upper.rfind("$MODEL_SPACE", 0) == 0 ||
           upper.rfind("$PAPER_SPACE", 0) == 0;
}

// Copies of entities with the block names they refer to renamed.
std::vector<Record> importedEntities(const Database& source, const std::vector<RecordId>& ids,
                                     const std::map<std::string, std::string>& renamed) {
    std::vector<Record> out;
    for (RecordId id : ids) {
        const Record& e = source.at(id);
        if (e.erased) continue;
        Record r = foreignRecord(e);
        if (r.type == "INSERT" || r.type == "DIMENSION")
            if (Group* g = r.find(2))
                if (auto it = renamed.find(upperName(g->value)); it != renamed.end()) g->value = it->second;
        out.push_back(std::move(r));
    }
    return out;
}

bool isBinaryDwg(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    char head[6] = {};
    in.read(head, sizeof head);
    return in.gcount() == 6 && std::string_view(head, 4) == "AC10" && std::isdigit(static_cast<unsigned char>(head[4])) &&
           std::isdigit(static_cast<unsigned char>(head[5]));
}

}  // namespace

bool importBlockFile(Database& db, const std::string& path, const std::string& name, std::string* message) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
        *message = "\"" + path + "\": Can't find file.";
        return false;
    }
    if (isBinaryDwg(path)) {
        *message = "\"" + path + "\" is a binary DWG file; drawings are read in DXF form only.";
        return false;
    }
    std::unique_ptr<Database> source;
    try {
        source = dxf::readFile(path);
    } catch (const dxf::Error& e) {
        *message = "\"" + path + "\" is not a valid drawing file: " + e.problem();
        return false;
    } catch (const std::exception& e) {
        *message = "\"" + path + "\" is not a valid drawing file: " + e.what();
        return false;
    }

    mergeTable(db, *source, "LTYPE");
    mergeTable(db, *source, "LAYER");
    mergeTable(db, *source, "STYLE");

    // The file's blocks: new names for anonymous ones, and those the
    // drawing already defines are kept as the drawing has them.
    std::map<std::string, std::string> renamed;
    std::vector<const BlockDefinition*> incoming;
    for (const BlockDefinition& b : source->blocks()) {
        if (b.begin == kNoRecord || source->at(b.begin).erased || isSpaceName(b.name)) continue;
        if (namesEqual(b.name, name)) continue;  // the file cannot define the block it becomes
        if (!b.name.empty() && b.name[0] == '*') {
            std::string fresh = freeAnonymousName(db, b.name.substr(0, 2));
            renamed[upperName(b.name)] = fresh;
            // Reserve the name at once so that the next one differs.
            defineBlock(db, fresh, {0, 0, 0}, 1, {});
        } else if (db.block(b.name) && db.block(b.name)->begin != kNoRecord) {
            continue;
        }
        incoming.push_back(&b);
    }
    for (const BlockDefinition* b : incoming) {
        auto it = renamed.find(upperName(b->name));
        std::string target = it != renamed.end() ? it->second : b->name;
        const Record& begin = source->at(b->begin);
        defineBlock(db, target, pointGroup(begin, 10), static_cast<int>(begin.integer(70, 0)),
                    importedEntities(*source, b->entities, renamed));
    }

    std::vector<RecordId> model;
    for (RecordId id : source->entities())
        if (source->at(id).integer(67, 0) != 1) model.push_back(id);
    std::vector<Record> entities = importedEntities(*source, model, renamed);
    bool attributes = false;
    for (const Record& e : entities) attributes = attributes || e.type == "ATTDEF";
    defineBlock(db, name, source->variables().point("INSBASE"), attributes ? 2 : 0, std::move(entities));
    return true;
}

}  // namespace host
