// Shaping records made from group lists, and the checks before a save that
// make a drawing changed by the host valid DXF.
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "dxf/dxf.h"
#include "dxf/dxf_internal.h"

namespace host::dxf {
namespace {

bool hasSubclassMarker(const Record& r) {
    for (const Group& g : r.groups)
        if (g.code == 100) return true;
    return false;
}

// Number of leading groups that belong before the subclass markers: the
// handle, application groups in braces ("102 {..." to "102 }"), owners.
std::size_t leadingGroups(const GroupList& groups) {
    std::size_t i = 0;
    while (i < groups.size()) {
        int c = groups[i].code;
        if (c == 5 || c == 105 || c == 330 || c == 360) {
            ++i;
        } else if (c == 102) {
            std::size_t j = i + 1;
            while (j < groups.size() && groups[j].code != 102) ++j;
            i = j < groups.size() ? j + 1 : j;
        } else {
            break;
        }
    }
    return i;
}

bool isCommonEntityCode(int c) {
    switch (c) {
        case 67: case 410: case 8: case 6: case 347: case 62: case 370: case 48: case 60:
        case 420: case 430: case 440: case 390: case 284:
            return true;
        default:
            return false;
    }
}

struct Split {
    const char* marker;   // subclass marker
    std::vector<int> at;  // the marker goes before the first of these codes (empty: directly)
};

// The subclasses of an entity type after AcDbEntity, in order.
std::vector<Split> subclassesOf(const Record& e) {
    const std::string& t = e.type;
    long long flags = e.integer(70, 0);
    if (t == "LINE") return {{"AcDbLine", {}}};
    if (t == "POINT") return {{"AcDbPoint", {}}};
    if (t == "CIRCLE") return {{"AcDbCircle", {}}};
    if (t == "ARC") return {{"AcDbCircle", {}}, {"AcDbArc", {50, 51}}};
    if (t == "TEXT") return {{"AcDbText", {}}, {"AcDbText", {73}}};
    if (t == "ATTDEF") return {{"AcDbText", {}}, {"AcDbAttributeDefinition", {3, 2, 70, 73, 74, 280}}};
    if (t == "ATTRIB") return {{"AcDbText", {}}, {"AcDbAttribute", {280, 2, 70, 73, 74}}};
    if (t == "INSERT") return {{"AcDbBlockReference", {}}};
    if (t == "LWPOLYLINE") return {{"AcDbPolyline", {}}};
    if (t == "POLYLINE") {
        if (flags & 64) return {{"AcDbPolyFaceMesh", {}}};
        if (flags & 16) return {{"AcDbPolygonMesh", {}}};
        return {{(flags & 8) ? "AcDb3dPolyline" : "AcDb2dPolyline", {}}};
    }
    if (t == "VERTEX") {
        const char* second = "AcDb2dVertex";
        if ((flags & 128) && (flags & 64)) second = "AcDbPolyFaceMeshVertex";
        else if (flags & 128) second = "AcDbFaceRecord";
        else if (flags & 64) second = "AcDbPolygonMeshVertex";
        else if (flags & 32) second = "AcDb3dPolylineVertex";
        return {{"AcDbVertex", {}}, {second, {}}};
    }
    if (t == "SOLID" || t == "TRACE") return {{"AcDbTrace", {}}};
    if (t == "3DFACE") return {{"AcDbFace", {}}};
    if (t == "MTEXT") return {{"AcDbMText", {}}};
    if (t == "ELLIPSE") return {{"AcDbEllipse", {}}};
    if (t == "SPLINE") return {{"AcDbSpline", {}}};
    if (t == "XLINE") return {{"AcDbXline", {}}};
    if (t == "RAY") return {{"AcDbRay", {}}};
    if (t == "LEADER") return {{"AcDbLeader", {}}};
    if (t == "HATCH") return {{"AcDbHatch", {}}};
    if (t == "VIEWPORT") return {{"AcDbViewport", {}}};
    if (t == "BLOCK") return {{"AcDbBlockBegin", {}}};
    if (t == "ENDBLK") return {{"AcDbBlockEnd", {}}};
    return {};  // SEQEND and types not listed: AcDbEntity only
}

const char* tableSubclassOf(const std::string& type) {
    if (type == "LAYER") return "AcDbLayerTableRecord";
    if (type == "LTYPE") return "AcDbLinetypeTableRecord";
    if (type == "VIEW") return "AcDbViewTableRecord";
    if (type == "UCS") return "AcDbUCSTableRecord";
    if (type == "APPID") return "AcDbRegAppTableRecord";
    if (type == "BLOCK_RECORD") return "AcDbBlockTableRecord";
    if (type == "STYLE") return "AcDbTextStyleTableRecord";
    if (type == "DIMSTYLE") return "AcDbDimStyleTableRecord";
    if (type == "VPORT") return "AcDbViewportTableRecord";
    return nullptr;
}

// Whether an owner group (330) stands among the leading groups.
bool hasLeadingOwner(const Record& r) {
    std::size_t lead = leadingGroups(r.groups);
    for (std::size_t i = 0; i < lead; ++i)
        if (r.groups[i].code == 330) return true;
    return false;
}

// Inserts the owner group (330) after the handle and application groups
// unless the record has one there.
void setOwner(Record& r, const std::string& owner) {
    std::size_t lead = leadingGroups(r.groups);
    for (std::size_t i = 0; i < lead; ++i)
        if (r.groups[i].code == 330) return;
    r.groups.insert(r.groups.begin() + static_cast<std::ptrdiff_t>(lead), Group(330, owner));
}

}  // namespace

bool normalizeEntity(Record& e) {
    if (hasSubclassMarker(e)) return false;
    std::size_t lead = leadingGroups(e.groups);
    GroupList out(e.groups.begin(), e.groups.begin() + static_cast<std::ptrdiff_t>(lead));
    GroupList specific;
    out.emplace_back(100, "AcDbEntity");
    bool hasLayer = false;
    for (std::size_t i = lead; i < e.groups.size(); ++i) {
        Group& g = e.groups[i];
        if (isCommonEntityCode(g.code)) {
            hasLayer = hasLayer || g.code == 8;
            out.push_back(std::move(g));
        } else {
            specific.push_back(std::move(g));
        }
    }
    if (!hasLayer) out.emplace_back(8, "0");
    std::vector<Split> splits = subclassesOf(e);
    std::size_t next = 0;  // next specific group to place
    for (std::size_t s = 0; s < splits.size(); ++s) {
        // Groups before this marker belong to the previous subclass.
        if (!splits[s].at.empty()) {
            std::size_t stop = next;
            while (stop < specific.size()) {
                bool hit = false;
                for (int c : splits[s].at) hit = hit || specific[stop].code == c;
                if (hit) break;
                ++stop;
            }
            for (; next < stop; ++next) out.push_back(std::move(specific[next]));
        }
        out.emplace_back(100, splits[s].marker);
    }
    for (; next < specific.size(); ++next) out.push_back(std::move(specific[next]));
    e.groups = std::move(out);
    return true;
}

bool normalizeTableRecord(Record& r) {
    const char* subclass = tableSubclassOf(r.type);
    if (!subclass || hasSubclassMarker(r)) return false;
    std::size_t lead = leadingGroups(r.groups);
    auto at = r.groups.begin() + static_cast<std::ptrdiff_t>(lead);
    r.groups.insert(at, {Group(100, "AcDbSymbolTableRecord"), Group(100, subclass)});
    if (r.type == "LAYER" && !r.has(62)) r.groups.emplace_back(62, "7");
    if (r.type == "LAYER" && !r.has(6)) r.groups.emplace_back(6, "Continuous");
    if (!r.has(70)) r.groups.emplace_back(70, "0");
    return true;
}

namespace {

// Block records for blocks made by the host, and owners of BLOCK/ENDBLK.
void completeBlockRecords(Database& db) {
    for (const BlockDefinition& b : db.blocks()) {
        if (b.begin == kNoRecord || db.at(b.begin).erased) continue;
        RecordId br = db.findEntry("BLOCK_RECORD", b.name);
        if (br == kNoRecord) {
            Record r;
            r.type = "BLOCK_RECORD";
            r.groups.emplace_back(2, b.name);
            normalizeTableRecord(r);
            setOwner(r, formatHandle(db.at(db.table("BLOCK_RECORD")->head).handle));
            br = db.addEntry("BLOCK_RECORD", std::move(r));
        }
        std::string owner = formatHandle(db.at(br).handle);
        for (RecordId id : {b.begin, b.end}) {
            // Records that are whole already are not touched: a save leaves
            // what it need not change (and what entities draw) as it was.
            if (id == kNoRecord || (hasSubclassMarker(db.at(id)) && hasLeadingOwner(db.at(id)))) continue;
            db.modify(id, [&](Record& r) {
                normalizeEntity(r);
                setOwner(r, owner);
            });
        }
    }
}

// Table records: subclass markers and owners (a flags group in old versions).
void completeTableRecords(Database& db, bool modern) {
    for (const SymbolTable& t : db.tables()) {
        std::string owner = formatHandle(db.at(t.head).handle);
        for (RecordId id : t.entries) {
            const Record& current = db.at(id);
            if (current.erased) continue;
            bool whole = modern ? (!tableSubclassOf(current.type) || hasSubclassMarker(current)) &&
                                      hasLeadingOwner(current)
                                : current.has(70);
            if (whole) continue;
            db.modify(id, [&](Record& r) {
                if (modern) {
                    normalizeTableRecord(r);
                    setOwner(r, owner);
                } else if (!r.has(70)) {
                    r.groups.emplace_back(70, "0");
                }
            });
        }
    }
}

// What the entities and table entries refer to that the drawing may lack:
// layers that no table entry names (in the order first used, each with
// its name as the first of the drawing's entities spells it, upper-cased
// when only block entities use it) and applications of extended data.
struct References {
    struct MissingLayer {
        std::string key;  // upper-cased
        std::string name;
    };
    std::vector<MissingLayer> missingLayers;
    std::unordered_set<std::string> applications;
};

// Texts seen, letter case kept: a flat table of hashes with the places of
// the texts in one buffer, so that asking about the layer of each of half a
// million entities costs a hash of a short name and a probe or two in a
// table small enough to stay in the processor's caches, never a visit to
// the record of an entity seen long before.
class SeenTexts {
public:
    // Room for about `expected` texts without growing.
    explicit SeenTexts(std::size_t expected = 0) {
        std::size_t size = 1024;
        while (size < 2 * expected + 2) size *= 2;
        resize(size);
    }

    // True when `text` was not seen before (it is then remembered).
    bool insert(std::string_view text) {
        if ((count_ + 1) * 2 > slots_.size()) resize(slots_.size() * 2);
        const std::uint64_t h = hashOf(text);
        const std::size_t mask = slots_.size() - 1;
        for (std::size_t i = indexOf(h); ; i = (i + 1) & mask) {
            Slot& s = slots_[i];
            if (s.hash == 0) {
                s.hash = h;
                s.offset = static_cast<std::uint32_t>(texts_.size());
                s.length = static_cast<std::uint32_t>(text.size());
                texts_.append(text);
                ++count_;
                return true;
            }
            if (s.hash == h && std::string_view(texts_).substr(s.offset, s.length) == text) return false;
        }
    }

private:
    struct Slot {
        std::uint64_t hash = 0;  // 0: empty
        std::uint32_t offset = 0, length = 0;  // the text in texts_
    };
    static std::uint64_t hashOf(std::string_view text) {
        std::uint64_t h = 1469598103934665603ull;
        for (char c : text) h = (h ^ static_cast<unsigned char>(c)) * 1099511628211ull;
        return h | 1;
    }
    std::size_t indexOf(std::uint64_t h) const {
        return static_cast<std::size_t>((h * 0x9E3779B97F4A7C15ull) >> shift_);
    }
    void resize(std::size_t size) {
        std::vector<Slot> old(size);
        old.swap(slots_);
        shift_ = 64;
        for (std::size_t n = slots_.size(); n > 1; n >>= 1) --shift_;
        const std::size_t mask = slots_.size() - 1;
        for (const Slot& s : old) {
            if (s.hash == 0) continue;
            std::size_t i = indexOf(s.hash);
            while (slots_[i].hash != 0) i = (i + 1) & mask;
            slots_[i] = s;
        }
    }
    std::vector<Slot> slots_;
    std::string texts_;
    std::size_t count_ = 0;
    int shift_ = 64;
};

// Entities: shape, owner, layer; collects what they refer to.
References completeEntities(Database& db, bool modern) {
    References refs;
    std::string lastLayer = "\x01";
    // Layer names as the table and the entities spell them: a name spelled
    // as a table entry spells it needs no lookup, any other is looked up once.
    const SymbolTable* layers = db.table("LAYER");
    SeenTexts spelled(layers ? layers->entries.size() : 0);
    if (layers)
        for (RecordId id : layers->entries)
            if (!db.at(id).erased) spelled.insert(db.at(id).text(2));
    std::unordered_set<std::string> missingKeys;
    std::vector<std::string> applicationsSeen;  // a few: checked before a copy goes to the set
    // `paperOwner` set: a drawing's entity, whose owner is the paper space
    // when its 67 group says so and `owner` (the model space) otherwise.
    auto visit = [&](RecordId id, const std::string& modelOrBlockOwner, const std::string* paperOwner) {
        const Record& current = db.at(id);
        if (current.erased) return;
        // One pass over the groups: a subclass marker, an owner among the
        // leading groups, the layer, the space.
        bool marker = false, ownerGroup = false;
        const Group* layer = nullptr;
        const Group* space = nullptr;
        const std::size_t lead = modern ? leadingGroups(current.groups) : 0;
        for (std::size_t i = 0; i < current.groups.size(); ++i) {
            const Group& g = current.groups[i];
            if (g.code == 100) marker = true;
            else if (g.code == 330 && i < lead) ownerGroup = true;
            else if (g.code == 8 && !layer) layer = &g;
            else if (g.code == 67 && !space) space = &g;
            // With a marker, an owner and a layer the entity is whole, and
            // its space no longer matters: the rest need not be read.
            if (marker && ownerGroup && layer) break;
        }
        const std::string& owner =
            paperOwner && space && space->integer().value_or(0) == 1 ? *paperOwner : modelOrBlockOwner;
        // An entity that is whole already (as every entity read from a file
        // of its version is) is left alone: a save changes nothing it need not.
        bool whole = modern ? marker && (owner.empty() || ownerGroup) : layer != nullptr;
        if (!whole) {
            db.modify(id, [&](Record& r) {
                if (modern) {
                    normalizeEntity(r);
                    if (!owner.empty()) setOwner(r, owner);
                } else if (!r.has(8)) {
                    r.groups.emplace_back(8, "0");
                }
            });
            layer = db.at(id).find(8);
        }
        if (layer && layer->value != lastLayer) {
            lastLayer = layer->value;
            if (spelled.insert(layer->value.view()) && !lastLayer.empty() &&
                db.findEntry("LAYER", lastLayer) == kNoRecord) {
                std::string key = upperName(lastLayer);
                if (missingKeys.insert(key).second)
                    refs.missingLayers.push_back({key, paperOwner ? lastLayer : key});
            }
        }
        for (const Group& g : current.xdata) {
            if (g.code != 1001) continue;
            std::string_view app = g.value.view();
            if (std::find(applicationsSeen.begin(), applicationsSeen.end(), app) != applicationsSeen.end()) continue;
            if (applicationsSeen.size() < 64) applicationsSeen.emplace_back(app);
            refs.applications.insert(std::string(app));
        }
    };
    auto ownerOf = [&](const BlockDefinition* b) -> std::string {
        if (!b || b->begin == kNoRecord) return {};
        return std::string(db.at(b->begin).text(330));
    };
    std::string modelOwner = ownerOf(findSpace(db, false));
    std::string paperOwner = ownerOf(findSpace(db, true));
    for (RecordId id : db.entities()) visit(id, modelOwner, &paperOwner);
    for (const BlockDefinition& b : db.blocks()) {
        if (b.begin == kNoRecord || db.at(b.begin).erased) continue;
        std::string owner = ownerOf(&b);
        for (RecordId id : b.entities) visit(id, owner, nullptr);
    }
    for (const SymbolTable& t : db.tables())
        for (RecordId id : t.entries)
            for (const Group& g : db.at(id).xdata)
                if (g.code == 1001) refs.applications.insert(g.value);
    return refs;
}

void addMissingApplications(Database& db, const References& refs, bool modern) {
    for (const std::string& app : refs.applications) {
        if (app.empty() || db.findEntry("APPID", app) != kNoRecord) continue;
        Record r;
        r.type = "APPID";
        r.groups = {{2, app}, {70, "0"}};
        if (modern) normalizeTableRecord(r);
        if (modern) setOwner(r, formatHandle(db.at(db.table("APPID")->head).handle));
        db.addEntry("APPID", std::move(r));
    }
}

void addMissingLayers(Database& db, const References& refs, bool modern) {
    for (const References::MissingLayer& missing : refs.missingLayers) {
        if (db.findEntry("LAYER", missing.key) != kNoRecord) continue;
        Record r;
        r.type = "LAYER";
        r.groups = {{2, missing.name}, {70, "0"}, {62, "7"}, {6, modern ? "Continuous" : "CONTINUOUS"}};
        if (modern) normalizeTableRecord(r);
        if (modern) setOwner(r, formatHandle(db.at(db.table("LAYER")->head).handle));
        db.addEntry("LAYER", std::move(r));
    }
}

}  // namespace

void prepareForWrite(Database& db) {
    completeDrawing(db);
    const bool modern = isModernVersion(db.version());
    if (modern) completeBlockRecords(db);
    completeTableRecords(db, modern);
    References refs = completeEntities(db, modern);
    addMissingApplications(db, refs, modern);
    addMissingLayers(db, refs, modern);
}

}  // namespace host::dxf
