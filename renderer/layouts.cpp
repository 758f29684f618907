#include "layouts.h"

#include <algorithm>
#include <cstdlib>

#include "geometry/extents.h"
#include "geometry/placement.h"

namespace zan::render {

namespace {

struct LayoutObject {
    std::string name;
    std::string block;  // the name of its BLOCK_RECORD
    long long tab = 0;
};

// The LAYOUT objects: their name and block follow the "AcDbLayout" marker
// (the plot settings before it have a name group of their own).
std::vector<LayoutObject> layoutObjects(const host::Database& db) {
    std::vector<LayoutObject> out;
    for (const host::OpaqueSection& section : db.opaqueSections())
        for (host::RecordId id : section.records) {
            const host::Record& r = db.at(id);
            if (r.type != "LAYOUT" || r.erased) continue;
            LayoutObject o;
            bool inLayout = false;
            for (const host::Group& g : r.groups) {
                if (g.code == 100) inLayout = g.value == "AcDbLayout";
                if (!inLayout) continue;
                if (g.code == 1) o.name = g.value;
                if (g.code == 71) o.tab = g.integer().value_or(0);
                if (g.code == 330) {
                    host::RecordId record = db.findByHandle(std::strtoull(g.value.c_str(), nullptr, 16));
                    if (record != host::kNoRecord) o.block = std::string(db.at(record).text(2));
                }
            }
            if (!o.name.empty()) out.push_back(std::move(o));
        }
    std::stable_sort(out.begin(), out.end(), [](const LayoutObject& a, const LayoutObject& b) { return a.tab < b.tab; });
    return out;
}

bool isActivePaperBlock(std::string_view name) {
    return host::namesEqual(name, "*Paper_Space") || host::namesEqual(name, "$PAPER_SPACE");
}

std::vector<host::RecordId> spaceEntities(const host::Database& db, bool paper) {
    std::vector<host::RecordId> out;
    for (host::RecordId id : db.entities()) {
        const host::Record& r = db.at(id);
        if (r.erased || host::isSubEntity(r) || (r.integer(67) == 1) != paper) continue;
        out.push_back(id);
    }
    return out;
}

}  // namespace

bool isPaperSheetViewport(const host::Record& viewport) { return viewport.integer(69) == 1; }

std::vector<Layout> drawingLayouts(const host::Database& db) {
    std::vector<Layout> out;
    out.push_back(Layout{"Model", true, spaceEntities(db, false)});
    bool active = false;
    for (const LayoutObject& o : layoutObjects(db)) {
        if (host::namesEqual(o.name, "Model") || o.block.empty()) continue;
        if (isActivePaperBlock(o.block)) {
            if (active) continue;
            active = true;
            out.push_back(Layout{o.name, false, spaceEntities(db, true)});
            continue;
        }
        const host::BlockDefinition* block = db.block(o.block);
        if (!block) continue;
        Layout layout{o.name, false, {}};
        for (host::RecordId id : block->entities)
            if (!db.at(id).erased && !host::isSubEntity(db.at(id))) layout.entities.push_back(id);
        out.push_back(std::move(layout));
    }
    if (!active) {
        std::vector<host::RecordId> paper = spaceEntities(db, true);
        if (!paper.empty()) out.insert(out.begin() + 1, Layout{"Layout1", false, std::move(paper)});
    }
    return out;
}

const Layout* findLayout(const std::vector<Layout>& layouts, std::string_view name) {
    for (const Layout& l : layouts)
        if (host::namesEqual(l.name, name)) return &l;
    return nullptr;
}

std::string currentLayoutName(const host::Database& db) {
    std::vector<Layout> all = drawingLayouts(db);
    if (db.variables().integer("TILEMODE", 1) != 0 || all.size() < 2) return "Model";
    for (const LayoutObject& o : layoutObjects(db))
        if (isActivePaperBlock(o.block)) return o.name;
    return all[1].name;
}

host::Box layoutExtents(const host::Database& db, const Layout& layout) {
    if (layout.model) return host::drawingExtents(db, false);
    host::Box box;
    for (host::RecordId id : layout.entities) {
        const host::Record& r = db.at(id);
        if (r.type == "VIEWPORT" && isPaperSheetViewport(r)) continue;
        box.add(host::entityExtents(db, id));
    }
    return box;
}

}  // namespace zan::render
