#include "commands/entity_records.h"

#include <algorithm>

#include "core/host.h"
#include "core/selection_sets.h"
#include "dxf/dxf.h"
#include "geometry/transform.h"

namespace host {

bool hasSubEntities(const Record& e) {
    return e.type == "POLYLINE" || (e.type == "INSERT" && e.integer(66, 0) == 1);
}

std::vector<RecordId> entityWithSubEntities(const Database& db, RecordId id) {
    std::vector<RecordId> out{id};
    std::vector<RecordId> subs = subEntities(db, id);
    out.insert(out.end(), subs.begin(), subs.end());
    return out;
}

std::vector<RecordId> topLevelEntities(const Database& db, const std::vector<RecordId>& ids) {
    std::vector<RecordId> out;
    for (RecordId id : ids) {
        RecordId head = headerOf(db, id);
        if (std::find(out.begin(), out.end(), head) == out.end()) out.push_back(head);
    }
    return out;
}

Record copyForNewEntity(const Record& source) {
    Record r;
    r.type = source.type;
    r.xdata = source.xdata;
    const GroupList& g = source.groups;
    bool ownerSeen = false;
    for (std::size_t i = 0; i < g.size(); ++i) {
        int code = g[i].code;
        if (code == 5 || code == 360) continue;
        if (code == 330 && !ownerSeen) {  // the owner; later 330 groups are data (hatch boundaries)
            ownerSeen = true;
            continue;
        }
        if (code == 102) {  // "{ACAD_REACTORS" ... "}" and the like
            while (i + 1 < g.size() && g[i + 1].code != 102) ++i;
            ++i;
            continue;
        }
        r.groups.push_back(g[i]);
    }
    return r;
}

RecordId addEntityToSpace(Database& db, Record entity, bool paper) {
    entity.groups.erase(std::remove_if(entity.groups.begin(), entity.groups.end(),
                                       [](const Group& g) { return g.code == 67; }),
                        entity.groups.end());
    if (paper) {
        // The space group belongs among the common groups, before the layer.
        auto layer = std::find_if(entity.groups.begin(), entity.groups.end(), [](const Group& g) { return g.code == 8; });
        entity.groups.insert(layer, Group(67, "1"));
    }
    dxf::normalizeEntity(entity);
    const BlockDefinition& space = paper ? db.paperSpace() : db.modelSpace();
    if (space.begin != kNoRecord) {
        // The owner is the space's block record, as a saved drawing has it.
        std::string_view owner = db.at(space.begin).text(330);
        if (!owner.empty()) entity.groups.insert(entity.groups.begin(), Group(330, std::string(owner)));
    }
    return db.addEntity(std::move(entity), paper);
}

RecordId addNewEntity(Host& host, const std::string& type, const GroupList& data) {
    Database& db = host.db();
    Record r;
    r.type = type;
    r.groups.emplace_back(8, db.variables().text("CLAYER"));
    r.groups.insert(r.groups.end(), data.begin(), data.end());
    return addEntityToSpace(db, std::move(r), host.paperSpaceCurrent());
}

Coord3 pointGroup(const Record& r, int code) {
    return {r.real(code).value_or(0), r.real(code + 10).value_or(0), r.real(code + 20).value_or(0)};
}

void setPointGroup(Record& r, int code, const Coord3& p) {
    for (int k = 0; k < 3; ++k) {
        if (k == 2 && !r.has(code + 20) && p[2] == 0 && r.has(code)) continue;  // keep 2D points 2D
        r.setReal(code + 10 * k, p[k]);
    }
}

}  // namespace host
