// Symbol tables: ads_tblsearch, ads_tblnext and ads_regapp.
#include <cstring>
#include <cctype>
#include <map>
#include <vector>

#include "ads/ads_context.h"
#include "ads/resbuf_lists.h"

using host::ads::theHost;
using host::Database;
using host::RecordId;

namespace {

// Where ads_tblnext goes on, per table and drawing.
struct Cursor {
    std::uint64_t drawing = 0;
    std::size_t next = 0;
};
std::map<std::string, Cursor, std::less<>> cursors;

// A table's name in upper case, kept in `buffer` without allocating (table
// names are short words; a longer one is cut, and so names no table).
std::string_view tableKey(const char* table, char (&buffer)[32]) {
    std::size_t n = 0;
    for (; table[n] != '\0' && n < sizeof buffer; ++n) {
        char c = table[n];
        buffer[n] = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    }
    return {buffer, n};
}

Cursor& cursorOf(std::string_view table) {
    // A walk asks for the same table entry after entry.
    static std::map<std::string, Cursor, std::less<>>::iterator last = cursors.end();
    if (last != cursors.end() && last->first == table) return last->second;
    auto it = cursors.find(table);
    if (it == cursors.end()) it = cursors.emplace(std::string(table), Cursor{}).first;
    last = it;
    return it->second;
}

// The symbol table of that name: the one found last time when it still is.
const host::SymbolTable* tableOf(Database& db, std::string_view name) {
    static std::size_t last = 0;
    const auto& tables = db.tables();
    // Tables keep their names in upper case, as `name` comes.
    if (last < tables.size() && tables[last].name == name) return &tables[last];
    const host::SymbolTable* t = db.table(name);
    if (t) last = static_cast<std::size_t>(t - tables.data());
    return t;
}

bool isBlockTable(std::string_view name) { return name == "BLOCK"; }

bool isSpaceBlock(const std::string& name) { return name.empty() || name[0] == '*' || name[0] == '$'; }

// The entry at `index` of a table, or none past the end; erased entries are
// skipped by moving `index` on. BLOCK lists the block definitions other than
// the model and paper space blocks.
RecordId entryAt(Database& db, std::string_view table, std::size_t& index) {
    if (isBlockTable(table)) {
        auto& blocks = db.blocks();
        for (; index < blocks.size(); ++index) {
            const host::BlockDefinition& b = blocks[index];
            if (b.begin != host::kNoRecord && !isSpaceBlock(b.name) && !db.at(b.begin).erased) return b.begin;
        }
        return host::kNoRecord;
    }
    const host::SymbolTable* t = tableOf(db, table);
    if (!t) return host::kNoRecord;
    for (; index < t->entries.size(); ++index)
        if (!db.at(t->entries[index]).erased) return t->entries[index];
    return host::kNoRecord;
}

void append(resbuf**& tail, resbuf* rb) {
    *tail = rb;
    tail = &rb->rbnext;
}

// The table entry as ads_tblsearch gives it: the type, then the groups
// that describe the symbol (not its handles or subclass markers).
resbuf* entryList(Database& db, RecordId id, bool block) {
    const host::Record& r = db.at(id);
    // The groups shown, by address: the walk over a large table makes no
    // copies of them (the buffer is kept from call to call; the host's
    // interface runs on one thread).
    static std::vector<const host::Group*> shown;
    shown.clear();
    for (const host::Group& g : r.groups)
        if (g.code > 0 && g.code < 100 && g.code != 5 && g.code != 8 && g.code != 67) shown.push_back(&g);
    resbuf* head = nullptr;
    resbuf** tail = &head;
    append(tail, host::newTextResbuf(0, r.type));
    *tail = host::groupsToList(db, shown.data(), shown.size());
    while (*tail) tail = &(*tail)->rbnext;
    if (block) {
        // The definition is found by its name, so that listing every block
        // stays linear in the blocks; the walk is for a name that does not
        // lead back to this record.
        const host::BlockDefinition* def = db.block(r.text(2));
        if (def == nullptr || def->begin != id) {
            def = nullptr;
            for (const host::BlockDefinition& b : db.blocks())
                if (b.begin == id) def = &b;
        }
        if (def != nullptr)
            for (RecordId e : def->entities)
                if (!db.at(e).erased) {
                    resbuf* first = host::newResbuf(-2);
                    host::makeName(db, e, first->resval.rlname);
                    append(tail, first);
                    break;
                }
    }
    return head;
}

}  // namespace

extern "C" {

struct resbuf* ads_tblsearch(const char* table, const char* name, int setNext) {
    if (!theHost() || !table || !name) return nullptr;
    Database& db = theHost()->db();
    std::string t = host::upperName(table);
    RecordId found = host::kNoRecord;
    if (isBlockTable(t)) {
        const host::BlockDefinition* b = db.block(name);
        if (b && b->begin != host::kNoRecord && !isSpaceBlock(b->name) && !db.at(b->begin).erased) found = b->begin;
    } else {
        found = db.findEntry(t, name);
    }
    if (found == host::kNoRecord) return nullptr;
    if (setNext) {
        // Position the cursor after the entry found.
        std::size_t index = 0;
        for (RecordId id = entryAt(db, t, index); id != host::kNoRecord; id = entryAt(db, t, ++index))
            if (id == found) break;
        cursorOf(t) = Cursor{db.serial(), index + 1};
    }
    return entryList(db, found, isBlockTable(t));
}

struct resbuf* ads_tblnext(const char* table, int rewind) {
    if (!theHost() || !table) return nullptr;
    Database& db = theHost()->db();
    char buffer[32];
    const std::string_view t = tableKey(table, buffer);
    Cursor& cursor = cursorOf(t);
    if (rewind || cursor.drawing != db.serial()) cursor = Cursor{db.serial(), 0};
    RecordId id = entryAt(db, t, cursor.next);
    if (id == host::kNoRecord) return nullptr;
    ++cursor.next;
    return entryList(db, id, isBlockTable(t));
}

int ads_regapp(const char* application) {
    if (!theHost() || !application || !*application) return RTERROR;
    Database& db = theHost()->db();
    std::string name = application;
    if (name.size() > 255) return RTERROR;
    for (char c : name)
        if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '-' || c == '$')) return RTERROR;
    if (db.findEntry("APPID", name) != host::kNoRecord) return RTERROR;
    host::SymbolTable& table = db.ensureTable("APPID");
    host::Record r;
    r.type = "APPID";
    r.groups = {{330, host::formatHandle(db.at(table.head).handle)},
                {100, "AcDbSymbolTableRecord"},
                {100, "AcDbRegAppTableRecord"},
                {2, name},
                {70, "0"}};
    db.addEntry("APPID", std::move(r));
    return RTNORM;
}

}  // extern "C"
