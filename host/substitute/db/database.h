// The drawing database: every record of a drawing with its handle, the
// symbol tables, the block definitions (model and paper space among them),
// the drawing's entity order, the header and what the host does not
// interpret (classes, objects, other sections), kept for writing back.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "db/handle_index.h"
#include "db/name_index.h"
#include "db/record.h"
#include "db/record_store.h"
#include "db/sysvars.h"

namespace host {

// One symbol table: its TABLE head record and its entries in order.
struct SymbolTable {
    std::string name;          // "LAYER", "LTYPE", "VIEW", "UCS", "APPID", "BLOCK_RECORD", ...
    RecordId head = kNoRecord;  // the "TABLE" record (group 2 is the table name)
    std::vector<RecordId> entries;
    NameIndex byName;  // entries by name (group 2), letter case ignored
};

// One block definition: its BLOCK and ENDBLK records and the entities between them.
struct BlockDefinition {
    std::string name;
    RecordId begin = kNoRecord;  // "BLOCK" record
    RecordId end = kNoRecord;    // "ENDBLK" record
    std::vector<RecordId> entities;
};

// A header variable: "$NAME" and its value groups, kept in file order.
struct HeaderVariable {
    std::string name;
    GroupList groups;
};

// A section the host keeps without interpreting it (CLASSES, OBJECTS,
// THUMBNAILIMAGE, ACDSDATA, ...): its name and records in order.
struct OpaqueSection {
    std::string name;
    std::vector<RecordId> records;
    // The first record holds the groups that stood directly in the section
    // (THUMBNAILIMAGE, ACDSDATA): written without a group 0. A record with
    // an empty group 0 is not such a one and keeps its group 0.
    bool startsLoose = false;
};

class Database {
public:
    Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    std::uint64_t serial() const { return serial_; }

    // --- records ---
    // Stores a record and returns its id. A record without a handle gets the
    // next free one (and a group 5); a record's handle is indexed.
    RecordId add(Record record);
    // Stores a record exactly as given: no handle is assigned; a non-zero
    // handle is indexed (used by the file reader, which settles missing and
    // duplicate handles once the whole file is known).
    RecordId addAsIs(Record record);
    // Stores, as addAsIs does one by one, `count` records made at `run`
    // (see RecordStore::adopt: storage of this database's arena, with room
    // after them) without moving them. Before each is indexed, in order,
    // `settle(record, id)` may still drop its handle.
    template <class Settle>
    RecordId adoptAsIs(Record* run, std::size_t count, Settle&& settle) {
        const auto first = static_cast<RecordId>(records_.size());
        records_.adopt(run, count);
        for (RecordId id = first; id < first + count; ++id) {
            Record& record = records_[id];
            settle(record, id);
            if (record.handle != 0) noteHandle(record.handle);
            noteAddition(record);
            indexHandle(id);
        }
        return first;
    }
    const Record& at(RecordId id) const { return records_[id]; }
    // Every change to a stored record goes through here, so that the
    // database can tell what changed since a revision: `change` gets the
    // record to edit; the record is stamped with the new revision. The handle
    // is not to be changed here (the index would go stale): see assignNewHandle.
    template <class Change>
    decltype(auto) modify(RecordId id, Change&& change) {
        Record& record = records_[id];
        noteChange(id, record);
        return std::forward<Change>(change)(record);
    }
    // The same for a change that leaves what the record draws as it was (its
    // extended data alone, say): shapeRevision() stays.
    template <class Change>
    decltype(auto) modifyKeepingShape(RecordId id, Change&& change) {
        Record& record = records_[id];
        record.revision = ++revision_;
        logChange(id);
        return std::forward<Change>(change)(record);
    }
    // Replaces a stored record's content, keeping its handle and owner.
    void replace(RecordId id, Record record);
    void erase(RecordId id, bool erased = true);
    void setOwner(RecordId id, RecordId owner) { modify(id, [owner](Record& r) { r.owner = owner; }); }
    // Gives a record the next free handle (its group 5, or 105 for a
    // DIMSTYLE) and indexes it: for records read without a usable handle.
    void assignNewHandle(RecordId id);
    // Counts every change to the drawing's records (made, changed, erased);
    // a record's own `revision` tells when it last changed.
    std::uint64_t revision() const { return revision_; }
    // The revision of the last change to a stored record that entities'
    // shapes can depend on: any record but the symbol tables' (a layer
    // switched off moves no entity), so that what is measured from shapes
    // (the drawing's extents) is kept across changes that cannot affect it.
    // Records added are not counted: they are told by recordCount(), so that
    // what they add can be measured alone.
    std::uint64_t shapeRevision() const { return shapeRevision_; }
    // The stored records changed (not added) after `revision`, for what is
    // kept per record and made again only where records changed: false
    // when the database no longer knows them all (too many changes since),
    // and every record must be looked at. A record may be named twice.
    bool changedSince(std::uint64_t revision, std::vector<RecordId>& changed) const;
    bool valid(RecordId id) const { return id != kNoRecord && id < records_.size(); }
    std::size_t recordCount() const { return records_.size(); }
    RecordId findByHandle(std::uint64_t handle) const;
    std::uint64_t allocateHandle() { return nextHandle_++; }
    std::uint64_t nextHandle() const { return nextHandle_; }
    // Makes sure later handles come after `handle` (used when reading files).
    void noteHandle(std::uint64_t handle);
    // Rebuilds the handle index after records were added with handles set directly.
    void indexHandle(RecordId id);
    // Prepares the handle index for about `records` more records (used by
    // the file reader, which estimates the count from the file size).
    void reserveRecords(std::size_t records);
    // Where the file reader takes the group lists of the records it stores.
    GroupArena& groupArena() { return groupArena_; }

    // --- header and system variables ---
    std::vector<HeaderVariable>& header() { return header_; }
    const std::vector<HeaderVariable>& header() const { return header_; }
    SystemVariables& variables() { return variables_; }
    const SystemVariables& variables() const { return variables_; }

    // --- symbol tables ---
    std::vector<SymbolTable>& tables() { return tables_; }
    const std::vector<SymbolTable>& tables() const { return tables_; }
    SymbolTable* table(std::string_view name);
    const SymbolTable* table(std::string_view name) const;
    SymbolTable& ensureTable(std::string_view name);
    RecordId findEntry(std::string_view table, std::string_view name) const;
    // Adds an entry to a table (indexing its group-2 name) and returns its id.
    RecordId addEntry(std::string_view table, Record record);
    // Re-indexes an entry after its name changed.
    void reindexTable(SymbolTable& table);
    // Indexes a table entry under its name (group 2); an entry already
    // indexed under that name is replaced, or kept when `replace` is false.
    void indexEntry(SymbolTable& table, RecordId id, bool replace = true);

    // --- blocks ---
    std::deque<BlockDefinition>& blocks() { return blocks_; }
    const std::deque<BlockDefinition>& blocks() const { return blocks_; }
    BlockDefinition* block(std::string_view name);
    const BlockDefinition* block(std::string_view name) const;
    BlockDefinition& addBlock(std::string name, RecordId begin, RecordId end);
    BlockDefinition& modelSpace();
    BlockDefinition& paperSpace();
    // The block that owns an entity (model space, paper space or a definition).
    BlockDefinition* blockOwning(RecordId entity);

    // --- the drawing's entities (model and paper space), in drawing order ---
    std::vector<RecordId>& entities() { return entities_; }
    const std::vector<RecordId>& entities() const { return entities_; }
    // Adds an entity to model space (paperSpace false) or paper space.
    RecordId addEntity(Record entity, bool paperSpace);
    // Adds an entity to a block definition.
    RecordId addBlockEntity(BlockDefinition& block, Record entity);
    bool isPaperSpaceEntity(RecordId id) const;

    // --- what is kept without interpretation ---
    std::vector<OpaqueSection>& opaqueSections() { return opaque_; }
    const std::vector<OpaqueSection>& opaqueSections() const { return opaque_; }
    OpaqueSection* opaqueSection(std::string_view name);
    // Order of the sections as read, so that writing keeps it.
    std::vector<std::string>& sectionOrder() { return sectionOrder_; }
    const std::vector<std::string>& sectionOrder() const { return sectionOrder_; }
    // Version the drawing was read from ("AC1027", ...), empty for a new drawing.
    std::string& version() { return version_; }
    const std::string& version() const { return version_; }

private:
    // Stamps a record being stored as made now.
    void noteAddition(Record& record) { record.revision = ++revision_; }
    // Stamps a stored record as changed now.
    void noteChange(RecordId id, Record& record) {
        record.revision = ++revision_;
        if (!isSymbolTableRecord(record.type)) shapeRevision_ = revision_;
        logChange(id);
    }
    // The recent changes, oldest first; the log keeps every change after
    // changeLogFrom_ and drops its older half when it is full.
    void logChange(RecordId id) {
        if (changeLog_.size() >= kChangeLogSize) dropOlderChanges();
        changeLog_.emplace_back(revision_, id);
    }
    void dropOlderChanges();
    static constexpr std::size_t kChangeLogSize = 1 << 14;
    static bool isSymbolTableRecord(std::string_view type);

    static std::uint64_t nextSerial_;
    std::uint64_t serial_;
    std::uint64_t revision_ = 0;
    std::uint64_t shapeRevision_ = 0;
    std::vector<std::pair<std::uint64_t, RecordId>> changeLog_;  // (revision, record)
    std::uint64_t changeLogFrom_ = 0;
    // Before the records, so that it goes after them.
    GroupArena groupArena_;
    RecordStore records_;
    HandleIndex byHandle_;
    std::uint64_t nextHandle_ = 1;
    std::vector<HeaderVariable> header_;
    SystemVariables variables_;
    std::vector<SymbolTable> tables_;
    std::deque<BlockDefinition> blocks_;
    std::unordered_map<std::string, std::size_t> blockIndex_;
    std::vector<RecordId> entities_;
    std::vector<OpaqueSection> opaque_;
    std::vector<std::string> sectionOrder_;
    std::string version_;
};

}  // namespace host
