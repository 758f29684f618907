#include "db/database.h"

#include <algorithm>

namespace host {

std::uint64_t Database::nextSerial_ = 1;

Database::Database() : serial_(nextSerial_++), records_(groupArena_) {
    records_.push_back(Record{});  // id 0 stands for "no record"
}

bool Database::isSymbolTableRecord(std::string_view type) {
    // Called for every record stored: most are entities, told apart by
    // their length and first letter before any comparison.
    switch (type.size()) {
        case 3:
            return type == "UCS";
        case 4:
            return type == "VIEW";
        case 5:
            switch (type[0]) {
                case 'T':
                    return type == "TABLE";
                case 'L':
                    return type == "LAYER" || type == "LTYPE";
                case 'S':
                    return type == "STYLE";
                case 'V':
                    return type == "VPORT";
                case 'A':
                    return type == "APPID";
                default:
                    return false;
            }
        case 8:
            return type == "DIMSTYLE";
        case 12:
            return type == "BLOCK_RECORD";
        default:
            return false;
    }
}

RecordId Database::add(Record record) {
    if (record.handle == 0) {
        record.handle = allocateHandle();
        int code = record.type == "DIMSTYLE" ? 105 : 5;
        // The handle group follows group 0 directly.
        record.groups.insert(record.groups.begin(), Group(code, formatHandle(record.handle)));
    } else {
        noteHandle(record.handle);
    }
    RecordId id = static_cast<RecordId>(records_.size());
    noteAddition(record);
    records_.push_back(std::move(record));
    indexHandle(id);
    return id;
}

RecordId Database::addAsIs(Record record) {
    RecordId id = static_cast<RecordId>(records_.size());
    if (record.handle != 0) noteHandle(record.handle);
    noteAddition(record);
    records_.push_back(std::move(record));
    indexHandle(id);
    return id;
}

void Database::replace(RecordId id, Record record) {
    Record& stored = records_[id];
    record.handle = stored.handle;
    record.owner = stored.owner;
    record.revision = ++revision_;
    if (!isSymbolTableRecord(stored.type) || !isSymbolTableRecord(record.type)) shapeRevision_ = revision_;
    logChange(id);
    stored = std::move(record);
}

void Database::dropOlderChanges() {
    const std::size_t half = changeLog_.size() / 2;
    if (half == 0) return;
    changeLogFrom_ = changeLog_[half - 1].first;
    changeLog_.erase(changeLog_.begin(), changeLog_.begin() + static_cast<std::ptrdiff_t>(half));
}

bool Database::changedSince(std::uint64_t revision, std::vector<RecordId>& changed) const {
    changed.clear();
    if (revision < changeLogFrom_) return false;
    auto first = std::upper_bound(changeLog_.begin(), changeLog_.end(), revision,
                                  [](std::uint64_t r, const std::pair<std::uint64_t, RecordId>& c) { return r < c.first; });
    for (auto it = first; it != changeLog_.end(); ++it) changed.push_back(it->second);
    return true;
}

void Database::assignNewHandle(RecordId id) {
    modify(id, [this](Record& r) {
        r.handle = allocateHandle();
        int code = r.type == "DIMSTYLE" ? 105 : 5;
        if (Group* g = r.find(code))
            g->value = formatHandle(r.handle);
        else
            r.groups.insert(r.groups.begin(), Group(code, formatHandle(r.handle)));
    });
    indexHandle(id);
}

void Database::erase(RecordId id, bool erased) {
    modify(id, [erased](Record& r) { r.erased = erased; });
}

void Database::reserveRecords(std::size_t records) { byHandle_.reserve(records); }

void Database::indexHandle(RecordId id) {
    const Record& r = records_[id];
    if (r.handle != 0) byHandle_.set(r.handle, id);
}

void Database::noteHandle(std::uint64_t handle) {
    if (handle >= nextHandle_) nextHandle_ = handle + 1;
}

RecordId Database::findByHandle(std::uint64_t handle) const {
    return byHandle_.find(handle);
}

SymbolTable* Database::table(std::string_view name) {
    for (SymbolTable& t : tables_)
        if (namesEqual(t.name, name)) return &t;
    return nullptr;
}

const SymbolTable* Database::table(std::string_view name) const {
    for (const SymbolTable& t : tables_)
        if (namesEqual(t.name, name)) return &t;
    return nullptr;
}

SymbolTable& Database::ensureTable(std::string_view name) {
    if (SymbolTable* t = table(name)) return *t;
    SymbolTable t;
    t.name = upperName(name);
    Record head;
    head.type = "TABLE";
    head.groups.emplace_back(2, t.name);
    head.handle = allocateHandle();
    head.groups.emplace_back(5, formatHandle(head.handle));
    head.groups.emplace_back(330, "0");
    head.groups.emplace_back(100, "AcDbSymbolTable");
    head.groups.emplace_back(70, "0");
    t.head = add(std::move(head));
    tables_.push_back(std::move(t));
    return tables_.back();
}

RecordId Database::findEntry(std::string_view tableName, std::string_view name) const {
    const SymbolTable* t = table(tableName);
    if (!t) return kNoRecord;
    RecordId id = t->byName.find(name, [this](RecordId e) { return records_[e].text(2); });
    return id == kNoRecord || records_[id].erased ? kNoRecord : id;
}

RecordId Database::addEntry(std::string_view tableName, Record record) {
    SymbolTable& t = ensureTable(tableName);
    RecordId id = add(std::move(record));
    records_[id].owner = t.head;
    t.entries.push_back(id);
    indexEntry(t, id);
    return id;
}

void Database::reindexTable(SymbolTable& t) {
    t.byName.clear();
    for (RecordId id : t.entries)
        if (!records_[id].erased) indexEntry(t, id);
}

void Database::indexEntry(SymbolTable& t, RecordId id, bool replace) {
    t.byName.insert(records_[id].text(2), id, replace, [this](RecordId e) { return records_[e].text(2); });
}

BlockDefinition* Database::block(std::string_view name) {
    auto it = blockIndex_.find(upperName(name));
    return it == blockIndex_.end() ? nullptr : &blocks_[it->second];
}

const BlockDefinition* Database::block(std::string_view name) const {
    auto it = blockIndex_.find(upperName(name));
    return it == blockIndex_.end() ? nullptr : &blocks_[it->second];
}

BlockDefinition& Database::addBlock(std::string name, RecordId begin, RecordId end) {
    std::string key = upperName(name);
    auto it = blockIndex_.find(key);
    if (it != blockIndex_.end()) {
        BlockDefinition& existing = blocks_[it->second];
        existing.begin = begin;
        existing.end = end;
        return existing;
    }
    blocks_.push_back(BlockDefinition{std::move(name), begin, end, {}});
    blockIndex_.emplace(std::move(key), blocks_.size() - 1);
    return blocks_.back();
}

static bool isModelSpaceName(std::string_view name) {
    return namesEqual(name, "*Model_Space") || namesEqual(name, "$MODEL_SPACE");
}
static bool isPaperSpaceName(std::string_view name) {
    return namesEqual(name, "*Paper_Space") || namesEqual(name, "$PAPER_SPACE");
}

BlockDefinition& Database::modelSpace() {
    for (BlockDefinition& b : blocks_)
        if (isModelSpaceName(b.name)) return b;
    return addBlock("*Model_Space", kNoRecord, kNoRecord);
}

BlockDefinition& Database::paperSpace() {
    for (BlockDefinition& b : blocks_)
        if (isPaperSpaceName(b.name)) return b;
    return addBlock("*Paper_Space", kNoRecord, kNoRecord);
}

BlockDefinition* Database::blockOwning(RecordId entity) {
    if (!valid(entity)) return nullptr;
    RecordId owner = records_[entity].owner;
    for (BlockDefinition& b : blocks_)
        if (b.begin == owner && owner != kNoRecord) return &b;
    return nullptr;
}

RecordId Database::addEntity(Record entity, bool paper) {
    BlockDefinition& space = paper ? paperSpace() : modelSpace();
    RecordId id = add(std::move(entity));
    records_[id].owner = space.begin;
    entities_.push_back(id);
    return id;
}

RecordId Database::addBlockEntity(BlockDefinition& block, Record entity) {
    RecordId id = add(std::move(entity));
    records_[id].owner = block.begin;
    block.entities.push_back(id);
    return id;
}

bool Database::isPaperSpaceEntity(RecordId id) const {
    return valid(id) && records_[id].integer(67, 0) == 1;
}

OpaqueSection* Database::opaqueSection(std::string_view name) {
    // Section names are matched exactly, as the reader and the writer match
    // them: a section "oBJECTS" is kept as it is, not taken for the objects.
    for (OpaqueSection& s : opaque_)
        if (s.name == name) return &s;
    return nullptr;
}

}  // namespace host
