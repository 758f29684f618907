#include "geometry/extents.h"

#include <algorithm>
#include <list>
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
    std::vector<std::uint64_t> stamps;  // per record: the revision its box was made at, 0 for none
    std::vector<Box> boxes;
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
    if (cache.stamps.size() < db.recordCount()) {
        cache.stamps.resize(db.recordCount(), 0);
        cache.boxes.resize(db.recordCount());
    }
    std::uint64_t stamp = stampOf(db, cache, id);
    // Stamps start at 1 so that 0 means "not computed" even for records
    // stored at revision 0.
    if (cache.stamps[id] != stamp + 1) {
        cache.boxes[id] = placedShape(db, cache, id).extents();
        cache.stamps[id] = stamp + 1;
    }
    return cache.boxes[id];
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

void growDrawingExtents(Database& db, RecordId entity) {
    if (!db.valid(entity) || !countsForExtents(db.at(entity))) return;
    Box box = entityExtents(db, entity);
    if (!box.valid) return;
    bool paper = db.at(entity).integer(67) == 1;
    SystemVariables& vars = db.variables();
    auto low = vars.point(paper ? "PEXTMIN" : "EXTMIN"), high = vars.point(paper ? "PEXTMAX" : "EXTMAX");
    // An empty drawing's extents are inverted (1e20 / -1e20).
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

}  // namespace host
