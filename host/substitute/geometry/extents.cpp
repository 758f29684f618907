#include "geometry/extents.h"

#include <algorithm>
#include <list>
#include <memory>
#include <unordered_map>
#include <unordered_set>

#include "geometry/entity_shape.h"
#include "geometry/placement.h"
#include "geometry/transform.h"

namespace host {

namespace {

// What is known of one drawing's geometry, valid for the revisions noted.
struct Cache {
    std::uint64_t serial = 0;
    // Per record, in pages made when a box on them is first asked for: a
    // single entity's box (one made by an application in a large drawing)
    // costs one small page, not fresh memory for every record.
    struct Slot {
        std::uint64_t stamp = 0;  // 1 + the revision the box was made at, 0 for none
        Box box;
    };
    static constexpr std::size_t kPageShift = 8;
    std::vector<std::unique_ptr<Slot[]>> pages;
    Slot& slot(RecordId id) {
        std::size_t page = id >> kPageShift;
        if (page >= pages.size()) pages.resize(page + 1);
        if (!pages[page]) pages[page] = std::make_unique<Slot[]>(std::size_t{1} << kPageShift);
        return pages[page][id & ((std::size_t{1} << kPageShift) - 1)];
    }
    // The newest revision among the block definitions' records, and the
    // drawing's revision it was found at.
    std::uint64_t blocksStamp = 0, blocksCheckedAt = 0;
    bool blocksChecked = false;
    std::uint64_t shapesStamp = 0;  // the blocks' stamp the block shapes were made at
    std::unordered_map<RecordId, Shape> blocks;  // by BLOCK record
    std::unordered_set<RecordId> building;       // blocks whose shape is being made (cycles)
    bool cycleCut = false;  // the shape being made left out a reference that closed a cycle
};

// A few drawings' caches, the most recently used first: a session has one
// drawing open, tests and imports briefly a few.
Cache& cacheOf(const Database& db) {
    static std::list<Cache> caches;
    for (auto it = caches.begin(); it != caches.end(); ++it)
        if (it->serial == db.serial()) {
            caches.splice(caches.begin(), caches, it);
            return caches.front();
        }
    if (caches.size() >= 4) caches.pop_back();
    caches.emplace_front();
    caches.front().serial = db.serial();
    return caches.front();
}

// Revisions only grow, and every change gives the record changed the
// drawing's newest revision: the newest revision among the records a box
// depends on changes exactly when one of them changed.
std::uint64_t blocksStamp(const Database& db, Cache& cache) {
    if (cache.blocksChecked && cache.blocksCheckedAt == db.revision()) return cache.blocksStamp;
    std::uint64_t stamp = 0;
    for (const BlockDefinition& b : db.blocks()) {
        for (RecordId id : {b.begin, b.end})
            if (db.valid(id)) stamp = std::max(stamp, db.at(id).revision);
        for (RecordId id : b.entities) stamp = std::max(stamp, db.at(id).revision);
    }
    cache.blocksStamp = stamp;
    cache.blocksCheckedAt = db.revision();
    cache.blocksChecked = true;
    return stamp;
}

// The stamp of what an entity's box depends on: the record itself, its
// vertices or attributes, and for references and dimensions the blocks.
std::uint64_t stampOf(const Database& db, Cache& cache, RecordId id) {
    const Record& r = db.at(id);
    std::uint64_t stamp = r.revision;
    bool reference = r.type == "INSERT" || r.type == "DIMENSION";
    if (r.type == "POLYLINE" || (r.type == "INSERT" && r.integer(66) == 1))
        for (RecordId sub : subEntities(db, id)) stamp = std::max(stamp, db.at(sub).revision);
    if (reference) stamp = std::max(stamp, blocksStamp(db, cache));
    return stamp;
}

const Shape& blockShapeOf(const Database& db, Cache& cache, const BlockDefinition& block);

// The shape of an entity where it stands, references drawn through the
// cached shapes of their blocks.
Shape placedShape(const Database& db, Cache& cache, RecordId id) {
    const Record& r = db.at(id);
    if (r.type == "INSERT" || r.type == "DIMENSION") {
        Shape all;
        if (const BlockDefinition* block = db.block(r.text(2))) {
            const Shape& inner = blockShapeOf(db, cache, *block);
            std::vector<Matrix> cells;
            if (r.type == "INSERT")
                cells = referenceMatrices(db, r);
            else
                cells.push_back(dimensionMatrix(r));
            for (const Matrix& m : cells) {
                Shape s = inner;
                s.transform(m);
                all.add(s);
            }
        }
        for (RecordId sub : subEntities(db, id))
            if (db.at(sub).type == "ATTRIB" && !db.at(sub).erased) all.add(entityShape(db.at(sub)));
        return all;
    }
    return leafShape(db, id);
}

const Shape& blockShapeOf(const Database& db, Cache& cache, const BlockDefinition& block) {
    static const Shape none;
    if (std::uint64_t stamp = blocksStamp(db, cache); cache.shapesStamp != stamp) {
        cache.blocks.clear();
        cache.shapesStamp = stamp;
    }
    if (auto it = cache.blocks.find(block.begin); it != cache.blocks.end()) return it->second;
    // A block that contains itself, however deeply, draws nothing past the
    // reference that closes the cycle.
    if (!cache.building.insert(block.begin).second) {
        cache.cycleCut = true;
        return none;
    }
    bool outerCut = cache.cycleCut;
    cache.cycleCut = false;
    Shape s;
    for (RecordId id : block.entities) {
        const Record& e = db.at(id);
        if (e.erased || isSubEntity(e) || e.type == "ATTDEF") continue;
        s.add(placedShape(db, cache, id));
    }
    cache.building.erase(block.begin);
    bool cut = cache.cycleCut;
    cache.cycleCut = outerCut || cut;
    // A shape cut short by a cycle depends on where the walk began: it is
    // not kept for other references to the block.
    if (cut) {
        static Shape uncached;
        uncached = std::move(s);
        return uncached;
    }
    return cache.blocks[block.begin] = std::move(s);
}

const Box& cachedBox(const Database& db, Cache& cache, RecordId id) {
    std::uint64_t stamp = stampOf(db, cache, id);
    Cache::Slot& slot = cache.slot(id);
    // Stamps start at 1 so that 0 means "not computed" even for records
    // stored at revision 0.
    if (slot.stamp != stamp + 1) {
        // Made before the slot is written: making it may add pages (and move
        // the page list, never a page).
        Box box = placedShape(db, cache, id).extents();
        slot.box = box;
        slot.stamp = stamp + 1;
    }
    return slot.box;
}

bool countsForExtents(const Record& r) {
    if (r.erased || isSubEntity(r)) return false;
    if (r.type == "VIEWPORT" && r.integer(69) == 1) return false;  // the paper sheet
    return true;
}

}  // namespace

Box entityExtents(const Database& db, RecordId entity) {
    if (!db.valid(entity)) return {};
    return cachedBox(db, cacheOf(db), entity);
}

const Shape& blockShape(const Database& db, std::string_view name) {
    static const Shape none;
    const BlockDefinition* block = db.block(name);
    return block ? blockShapeOf(db, cacheOf(db), *block) : none;
}

Box blockExtents(const Database& db, std::string_view name) { return blockShape(db, name).extents(); }

Box drawingExtents(const Database& db, bool paperSpace) {
    Cache& cache = cacheOf(db);
    Box box;
    for (RecordId id : db.entities()) {
        const Record& r = db.at(id);
        if (!countsForExtents(r) || (r.integer(67) == 1) != paperSpace) continue;
        box.add(cachedBox(db, cache, id));
    }
    return box;
}

void updateDrawingExtents(Database& db) {
    SystemVariables& vars = db.variables();
    for (bool paper : {false, true}) {
        Box box = drawingExtents(db, paper);
        std::array<double, 3> low{1e20, 1e20, 1e20}, high{-1e20, -1e20, -1e20};
        if (box.valid) {
            low = {box.minX, box.minY, 0};
            high = {box.maxX, box.maxY, 0};
        }
        vars.setPoint(paper ? "PEXTMIN" : "EXTMIN", low);
        vars.setPoint(paper ? "PEXTMAX" : "EXTMAX", high);
    }
}

namespace {

// Whether EXTMIN/EXTMAX (or PEXTMIN/PEXTMAX) say that the space draws
// nothing: a new drawing's, or a file's that gave no extents.
bool extentsEmpty(const Database& db, bool paper) {
    const SystemVariables& vars = db.variables();
    return vars.point(paper ? "PEXTMIN" : "EXTMIN")[0] > vars.point(paper ? "PEXTMAX" : "EXTMAX")[0];
}

bool inPaperSpace(const Record& r) { return r.integer(67) == 1; }

// Whether the drawing's entity list holds, among its first `end` places, an
// entity of the space other than `except` that counts for its extents.
bool spaceHolds(const Database& db, bool paper, std::size_t end, RecordId except) {
    const std::vector<RecordId>& list = db.entities();
    end = std::min(end, list.size());
    for (std::size_t i = 0; i < end; ++i) {
        const Record& r = db.at(list[i]);
        if (list[i] != except && countsForExtents(r) && inPaperSpace(r) == paper) return true;
    }
    return false;
}

void widen(Database& db, const Box& box, bool paper) {
    SystemVariables& vars = db.variables();
    auto low = vars.point(paper ? "PEXTMIN" : "EXTMIN"), high = vars.point(paper ? "PEXTMAX" : "EXTMAX");
    // An empty space's extents are inverted (1e20 / -1e20).
    if (low[0] > high[0]) {
        low = {box.minX, box.minY, 0};
        high = {box.maxX, box.maxY, 0};
    } else {
        low = {std::min(low[0], box.minX), std::min(low[1], box.minY), low[2]};
        high = {std::max(high[0], box.maxX), std::max(high[1], box.maxY), high[2]};
    }
    vars.setPoint(paper ? "PEXTMIN" : "EXTMIN", low);
    vars.setPoint(paper ? "PEXTMAX" : "EXTMAX", high);
}

}  // namespace

void growDrawingExtents(Database& db, RecordId entity) {
    if (!db.valid(entity) || !countsForExtents(db.at(entity))) return;
    Box box = entityExtents(db, entity);
    if (!box.valid) return;
    bool paper = inPaperSpace(db.at(entity));
    // Extents that say "empty" for a space holding other entities (a file
    // that gave none) cannot be widened: they are left for the host to
    // measure when the command ends.
    if (extentsEmpty(db, paper) && spaceHolds(db, paper, db.entities().size(), entity)) return;
    widen(db, box, paper);
}

namespace {

// Whether a block's definition gained records from `firstRecord` on that
// can change what references to it draw: a new BLOCK or ENDBLK record (a
// definition made or made again) or new entities, which a definition only
// ever gains at its end. A definition without entities (then or before:
// the list only grows) draws nothing wherever it is placed.
bool blockGained(const BlockDefinition& b, RecordId firstRecord) {
    if (b.entities.empty()) return false;
    return b.begin >= firstRecord || b.end >= firstRecord || b.entities.back() >= firstRecord;
}

// Whether a record stored before `firstRecord` draws one of the blocks named.
bool olderRecordDraws(const Database& db, RecordId firstRecord, const std::vector<std::string_view>& blocks) {
    for (RecordId id = 1; id < firstRecord; ++id) {
        const Record& r = db.at(id);
        if (r.type != "INSERT" && r.type != "DIMENSION") continue;
        std::string_view name = r.text(2);
        for (std::string_view b : blocks)
            if (namesEqual(name, b)) return true;
    }
    return false;
}

}  // namespace

bool growDrawingExtentsByAdditions(Database& db, RecordId firstRecord, std::size_t firstEntity) {
    const std::vector<RecordId>& list = db.entities();
    if (firstEntity > list.size()) return false;
    // The drawing's new entities stand at the end of its list, in the order
    // they were added; a vertex, attribute or end of sequence there must
    // belong to a new polyline or reference before it, not to an older one.
    bool inSequence = false;
    for (std::size_t i = firstEntity; i < list.size(); ++i) {
        if (list[i] < firstRecord || !db.valid(list[i])) return false;
        const Record& r = db.at(list[i]);
        if (isSubEntity(r)) {
            if (!inSequence) return false;
            inSequence = r.type != "SEQEND";
        } else {
            inSequence = r.type == "POLYLINE" || r.type == "INSERT";
        }
    }
    // A block that gained records changes every older reference to it.
    std::vector<std::string_view> gained;
    for (const BlockDefinition& b : db.blocks())
        if (blockGained(b, firstRecord)) gained.push_back(b.name);
    if (!gained.empty() && olderRecordDraws(db, firstRecord, gained)) return false;
    // The boxes first: extents that say "empty" for a space with older
    // entities in it cannot be widened by a new entity that draws.
    std::vector<std::pair<Box, bool>> boxes;
    bool checked[2] = {false, false};
    for (std::size_t i = firstEntity; i < list.size(); ++i) {
        const Record& r = db.at(list[i]);
        if (!countsForExtents(r)) continue;
        Box box = entityExtents(db, list[i]);
        if (!box.valid) continue;
        bool paper = inPaperSpace(r);
        if (!checked[paper]) {
            if (extentsEmpty(db, paper) && spaceHolds(db, paper, firstEntity, kNoRecord)) return false;
            checked[paper] = true;
        }
        boxes.emplace_back(box, paper);
    }
    for (const auto& [box, paper] : boxes) widen(db, box, paper);
    return true;
}

}  // namespace host
