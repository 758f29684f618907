// Entity access: get, make, modify, delete and walk the drawing's entities.
#include <algorithm>
#include <cstring>

#include "ads/ads_context.h"
#include "ads/resbuf_lists.h"
#include "db/layers.h"
#include "geometry/extents.h"
#include "geometry/placement.h"
#include "geometry/transform.h"

using host::ads::theHost;
using host::Database;
using host::Group;
using host::GroupList;
using host::Record;
using host::RecordId;

namespace {

// Whether every application named in extended data is registered.
bool applicationsRegistered(const Database& db, const GroupList& xdata) {
    for (const Group& g : xdata)
        if (g.code == 1001 && db.findEntry("APPID", g.value) == host::kNoRecord) return false;
    return true;
}

// Extended data must open with an application name.
bool xdataWellFormed(const GroupList& xdata) { return xdata.empty() || xdata.front().code == 1001; }

std::string subclassOf(const std::string& type) {
    static const std::pair<const char*, const char*> known[] = {
        {"LINE", "AcDbLine"},        {"CIRCLE", "AcDbCircle"},   {"ARC", "AcDbCircle"},
        {"INSERT", "AcDbBlockReference"}, {"TEXT", "AcDbText"},   {"MTEXT", "AcDbMText"},
        {"LWPOLYLINE", "AcDbPolyline"}, {"POINT", "AcDbPoint"},  {"VIEWPORT", "AcDbViewport"},
        {"SOLID", "AcDbTrace"},      {"ATTDEF", "AcDbText"},     {"ATTRIB", "AcDbText"},
        {"ELLIPSE", "AcDbEllipse"},  {"SPLINE", "AcDbSpline"},   {"HATCH", "AcDbHatch"},
        {"POLYLINE", "AcDb2dPolyline"}, {"VERTEX", "AcDbVertex"}, {"DIMENSION", "AcDbDimension"},
        {"LEADER", "AcDbLeader"},    {"3DFACE", "AcDbFace"},     {"TRACE", "AcDbTrace"},
    };
    for (auto& [t, s] : known)
        if (type == t) return s;
    return "AcDb" + type;
}

// Common entity groups come before the subclass data.
bool isCommonEntityCode(int code) {
    return code == 8 || code == 6 || code == 62 || code == 67 || code == 48 || code == 60 || code == 370 ||
           code == 420 || code == 440 || code == 410;
}

// The groups of a new entity in the host's layout: owner, AcDbEntity with the
// common groups, then the entity's own subclass and data.
Record composeEntity(Database& db, const std::string& type, const GroupList& given, RecordId owner, bool paper) {
    Record r;
    r.type = type;
    if (db.valid(owner)) r.groups.emplace_back(330, host::formatHandle(db.at(owner).handle));
    r.groups.emplace_back(100, "AcDbEntity");
    if (paper) r.groups.emplace_back(67, "1");
    GroupList common;
    for (const Group& g : given)
        if (isCommonEntityCode(g.code) && g.code != 67) common.push_back(g);
    if (std::none_of(common.begin(), common.end(), [](const Group& g) { return g.code == 8; }))
        common.insert(common.begin(), Group(8, "0"));
    r.groups.insert(r.groups.end(), common.begin(), common.end());
    bool hasSubclass = std::any_of(given.begin(), given.end(), [](const Group& g) { return g.code == 100; });
    if (!hasSubclass) r.groups.emplace_back(100, subclassOf(type));
    for (const Group& g : given)
        if (!isCommonEntityCode(g.code) && g.code != 5 && g.code != 330 &&
            !(g.code == 100 && g.value == "AcDbEntity"))
            r.groups.push_back(g);
    return r;
}

int makeBlockBegin(host::Host& h, const GroupList& given) {
    if (h.pendingBlock()) return RTERROR;
    std::string name;
    for (const Group& g : given)
        if (g.code == 2) name = g.value;
    if (name.empty()) return RTERROR;
    Record begin;
    begin.type = "BLOCK";
    begin.groups.emplace_back(100, "AcDbEntity");
    begin.groups.emplace_back(8, "0");
    begin.groups.emplace_back(100, "AcDbBlockBegin");
    for (const Group& g : given)
        if (g.code != 5 && g.code != 330 && g.code != 100 && g.code != 8) begin.groups.push_back(g);
    if (!begin.has(70)) begin.groups.emplace_back(70, "0");
    if (!begin.has(10)) begin.groups.insert(begin.groups.end(), {{10, "0.0"}, {20, "0.0"}, {30, "0.0"}});
    if (!begin.has(3)) begin.groups.emplace_back(3, name);
    h.pendingBlock() = host::Host::PendingBlock{std::move(begin), {}};
    return RTNORM;
}

int makeBlockEnd(host::Host& h) {
    auto& pending = h.pendingBlock();
    if (!pending) return RTERROR;
    Database& db = h.db();
    std::string name(pending->begin.text(2));
    if (db.block(name) != nullptr && db.at(db.block(name)->begin).erased == false) {
        // Redefining an existing block replaces its entities.
        host::BlockDefinition* existing = db.block(name);
        for (RecordId id : existing->entities) db.erase(id);
        existing->entities.clear();
    }
    RecordId blockRecord = db.findEntry("BLOCK_RECORD", name);
    if (blockRecord == host::kNoRecord) {
        Record br;
        br.type = "BLOCK_RECORD";
        br.groups = {{330, host::formatHandle(db.at(db.ensureTable("BLOCK_RECORD").head).handle)},
                     {100, "AcDbSymbolTableRecord"},
                     {100, "AcDbBlockTableRecord"},
                     {2, name}};
        blockRecord = db.addEntry("BLOCK_RECORD", std::move(br));
    }
    std::string owner = host::formatHandle(db.at(blockRecord).handle);
    Record begin = std::move(pending->begin);
    begin.groups.insert(begin.groups.begin(), Group(330, owner));
    Record end;
    end.type = "ENDBLK";
    end.groups = {{330, owner}, {100, "AcDbEntity"}, {8, "0"}, {100, "AcDbBlockEnd"}};
    RecordId beginId = db.add(std::move(begin));
    std::vector<Record> entities = std::move(pending->entities);
    pending.reset();
    host::BlockDefinition* block = db.block(name);
    if (block) {
        block->begin = beginId;
    } else {
        block = &db.addBlock(name, beginId, host::kNoRecord);
    }
    for (Record& e : entities) {
        e.groups.insert(e.groups.begin(), Group(330, owner));
        db.addBlockEntity(*block, std::move(e));
    }
    block->end = db.add(std::move(end));
    return RTKWORD;
}

// A complex entity being made: a POLYLINE and its VERTEX records, or an
// INSERT with attributes and its ATTRIB records, kept until the SEQEND that
// ends it; nothing reaches the drawing before.
struct PendingComplex {
    std::uint64_t drawing = 0;  // the serial of the drawing it is made in
    bool paper = false;
    std::vector<Record> records;
};

PendingComplex& pendingComplex(const Database& db) {
    static PendingComplex pending;
    if (pending.drawing != db.serial()) {
        pending.drawing = db.serial();
        pending.records.clear();
    }
    return pending;
}

bool startsComplex(const std::string& type, const GroupList& groups) {
    if (type == "POLYLINE") return true;
    if (type != "INSERT") return false;
    return std::any_of(groups.begin(), groups.end(), [](const Group& g) { return g.code == 66 && g.integer() == 1; });
}

// Puts a finished complex entity where the entities made now go.
int commitComplex(host::Host& h, PendingComplex& pending) {
    Database& db = h.db();
    std::vector<Record> records = std::move(pending.records);
    pending.records.clear();
    if (records.front().type == "POLYLINE" &&
        std::none_of(records.begin(), records.end(), [](const Record& r) { return r.type == "VERTEX"; }))
        return RTERROR;  // a polyline needs vertices
    if (h.pendingBlock()) {
        for (Record& r : records) h.pendingBlock()->entities.push_back(std::move(r));
        return RTNORM;
    }
    RecordId head = host::kNoRecord;
    for (Record& r : records) {
        RecordId id = db.addEntity(std::move(r), pending.paper);
        if (head == host::kNoRecord) head = id;
    }
    host::growDrawingExtents(db, head);
    return RTNORM;
}

// A VERTEX, ATTRIB or SEQEND: added to the complex entity being made.
int addSubEntity(host::Host& h, const std::string& type, GroupList groups, GroupList xdata) {
    Database& db = h.db();
    PendingComplex& pending = pendingComplex(db);
    if (pending.records.empty()) return RTERROR;
    const Record& head = pending.records.front();
    bool fits = type == "SEQEND" || (type == "VERTEX" && head.type == "POLYLINE") ||
                (type == "ATTRIB" && head.type == "INSERT");
    if (!fits) {
        pending.records.clear();  // the complex entity is given up
        return RTERROR;
    }
    // Sub-entities are on their header's layer unless given one.
    if (std::none_of(groups.begin(), groups.end(), [](const Group& g) { return g.code == 8; }))
        groups.insert(groups.begin(), Group(8, std::string(head.text(8, "0"))));
    RecordId owner = h.pendingBlock() ? host::kNoRecord
                                      : (pending.paper ? db.paperSpace().begin : db.modelSpace().begin);
    Record r = composeEntity(db, type, groups, owner, pending.paper && !h.pendingBlock());
    r.xdata = std::move(xdata);
    pending.records.push_back(std::move(r));
    return type == "SEQEND" ? commitComplex(h, pending) : RTNORM;
}

}  // namespace

extern "C" {

struct resbuf* ads_entget(const ads_name entity) {
    if (!theHost()) return nullptr;
    Database& db = theHost()->db();
    RecordId id = host::recordOfName(db, entity);
    if (id == host::kNoRecord || db.at(id).erased) return nullptr;
    return host::recordToList(db, id, nullptr, false);
}

struct resbuf* ads_entgetx(const ads_name entity, const struct resbuf* applications) {
    if (!theHost()) return nullptr;
    Database& db = theHost()->db();
    RecordId id = host::recordOfName(db, entity);
    if (id == host::kNoRecord || db.at(id).erased) return nullptr;
    return host::recordToList(db, id, applications, applications != nullptr);
}

int ads_entmake(const struct resbuf* list) {
    if (!theHost()) return RTERROR;
    host::Host& h = *theHost();
    Database& db = h.db();
    if (!list) {
        // No data: the complex entity or block definition being made is given up.
        pendingComplex(db).records.clear();
        h.pendingBlock().reset();
        return RTERROR;
    }
    // A list as ads_entget gives it starts with the entity's name: the new
    // entity is made from the rest (its handle and owner are its own).
    const resbuf* head = list;
    while (head && head->restype == -1) head = head->rbnext;
    if (!head || (head->restype != 0 && head->restype != RTDXF0) || !head->resval.rstring) return RTERROR;
    std::string type = host::upperName(head->resval.rstring);
    GroupList groups, xdata;
    std::string error;
    if (!host::listToGroups(db, list, groups, xdata, error)) return RTERROR;
    if (!xdataWellFormed(xdata) || !applicationsRegistered(db, xdata)) return RTERROR;
    if (type == "BLOCK") return makeBlockBegin(h, groups);
    if (type == "ENDBLK") return makeBlockEnd(h);
    if (type.empty() || type.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_") != std::string::npos)
        return RTERROR;
    if (type == "INSERT") {
        std::string blockName;
        for (const Group& g : groups)
            if (g.code == 2) blockName = g.value;
        if (db.block(blockName) == nullptr) return RTERROR;
    }
    for (const Group& g : groups)
        if (g.code == 8) {
            if (g.value.empty()) return RTERROR;
            host::ensureLayer(db, g.value);
        }
    if (type == "VERTEX" || type == "ATTRIB" || type == "SEQEND")
        return addSubEntity(h, type, std::move(groups), std::move(xdata));
    // Any other entity ends a complex entity left unfinished.
    PendingComplex& pending = pendingComplex(db);
    pending.records.clear();
    bool complex = startsComplex(type, groups);
    if (h.pendingBlock()) {
        Record r = composeEntity(db, type, groups, host::kNoRecord, false);
        r.xdata = std::move(xdata);
        if (complex)
            pending.records.push_back(std::move(r));
        else
            h.pendingBlock()->entities.push_back(std::move(r));
        return RTNORM;
    }
    bool paper = h.paperSpaceCurrent();
    for (const Group& g : groups)
        if (g.code == 67) paper = g.value == "1";
    RecordId owner = paper ? db.paperSpace().begin : db.modelSpace().begin;
    Record r = composeEntity(db, type, groups, owner, paper);
    r.xdata = std::move(xdata);
    if (complex) {
        pending.paper = paper;
        pending.records.push_back(std::move(r));
        return RTNORM;
    }
    host::growDrawingExtents(db, db.addEntity(std::move(r), paper));
    return RTNORM;
}

int ads_entmod(const struct resbuf* list) {
    if (!theHost() || !list) return RTERROR;
    Database& db = theHost()->db();
    const resbuf* nameItem = list;
    while (nameItem && nameItem->restype != -1) nameItem = nameItem->rbnext;
    if (!nameItem) return RTERROR;
    RecordId id = host::recordOfName(db, nameItem->resval.rlname);
    if (id == host::kNoRecord || db.at(id).erased) return RTERROR;
    const Record& r = db.at(id);
    const std::string oldName(r.text(2));
    // The type comes from the record, so that 2D points keep their form.
    resbuf typed{};
    typed.restype = 0;
    std::string typeName = r.type;
    typed.resval.rstring = typeName.data();
    typed.rbnext = const_cast<resbuf*>(list);
    GroupList groups, xdata;
    std::string error;
    if (!host::listToGroups(db, &typed, groups, xdata, error)) return RTERROR;
    if (!xdataWellFormed(xdata) || !applicationsRegistered(db, xdata)) return RTERROR;
    for (const Group& g : groups)
        if (g.code == 8) {
            if (g.value.empty()) return RTERROR;
            host::ensureLayer(db, g.value);
        }
    bool whole = std::any_of(groups.begin(), groups.end(), [](const Group& g) { return g.code == 100; });
    if (whole) {
        // A complete list (as ads_entget gave it) replaces the groups; the
        // handle stays the record's own.
        groups.erase(std::remove_if(groups.begin(), groups.end(),
                                    [](const Group& g) { return g.code == 5 || g.code == 105; }),
                     groups.end());
        int handleCode = r.type == "DIMSTYLE" ? 105 : 5;
        groups.insert(groups.begin(), Group(handleCode, host::formatHandle(r.handle)));
    }
    // A list that gives the record's groups as they are (an application
    // changing its extended data) leaves what the entity draws as it was.
    bool sameGroups;
    if (whole) {
        sameGroups = groups.size() == r.groups.size() &&
                     std::equal(groups.begin(), groups.end(), r.groups.begin(), [](const Group& a, const Group& b) {
                         return a.code == b.code && a.value == b.value;
                     });
    } else {
        sameGroups = std::all_of(groups.begin(), groups.end(), [&](const Group& g) {
            const Group* now = r.find(g.code);
            return g.code == 5 || g.code == 105 || (now && now->value == g.value);
        });
    }
    auto change = [&](Record& changed) {
        if (whole) {
            changed.groups = std::move(groups);
        } else {
            for (const Group& g : groups)
                if (g.code != 5 && g.code != 105) changed.set(g.code, g.value);
        }
        if (!xdata.empty()) changed.replaceXdata(xdata);
    };
    if (sameGroups)
        db.modifyKeepingShape(id, change);
    else
        db.modify(id, change);
    // A table entry that changed its name is found under the new one.
    if (r.text(2) != oldName)
        for (host::SymbolTable& t : db.tables())
            if (t.head == r.owner && r.owner != host::kNoRecord) db.reindexTable(t);
    return RTNORM;
}

int ads_entdel(const ads_name entity) {
    if (!theHost()) return RTERROR;
    Database& db = theHost()->db();
    RecordId id = host::recordOfName(db, entity);
    if (id == host::kNoRecord) return RTERROR;
    const auto& list = db.entities();
    if (std::find(list.begin(), list.end(), id) == list.end()) return RTERROR;  // not a drawing entity
    // Vertices and attributes go with their polyline or reference only.
    if (host::isSubEntity(db.at(id))) return RTERROR;
    bool erase = !db.at(id).erased;
    db.erase(id, erase);
    for (RecordId sub : host::subEntities(db, id)) db.erase(sub, erase);
    return RTNORM;
}

int ads_entnext(const ads_name entity, ads_name result) {
    if (!theHost() || !result) return RTERROR;
    Database& db = theHost()->db();
    const std::vector<RecordId>* list = &db.entities();
    std::size_t start = 0;
    if (entity && !ads_name_nil(entity)) {
        RecordId id = host::recordOfName(db, entity);
        if (id == host::kNoRecord) return RTERROR;
        if (host::BlockDefinition* b = db.blockOwning(id); b && !b->entities.empty() &&
                                                          std::find(b->entities.begin(), b->entities.end(), id) !=
                                                              b->entities.end())
            list = &b->entities;
        auto it = std::find(list->begin(), list->end(), id);
        if (it == list->end()) return RTERROR;
        start = static_cast<std::size_t>(it - list->begin()) + 1;
    }
    for (std::size_t i = start; i < list->size(); ++i)
        if (!db.at((*list)[i]).erased) {
            host::makeName(db, (*list)[i], result);
            return RTNORM;
        }
    return RTERROR;
}

int ads_entlast(ads_name result) {
    if (!theHost() || !result) return RTERROR;
    RecordId id = theHost()->lastEntity();
    if (id == host::kNoRecord) return RTERROR;
    host::makeName(theHost()->db(), id, result);
    return RTNORM;
}

int ads_entupd(const ads_name entity) {
    if (!theHost()) return RTERROR;
    return host::recordOfName(theHost()->db(), entity) != host::kNoRecord ? RTNORM : RTERROR;
}

int ads_handent(const char* handle, ads_name entity) {
    if (!theHost() || !handle || !entity) return RTERROR;
    auto h = host::parseHandle(handle);
    if (!h) return RTERROR;
    RecordId id = theHost()->db().findByHandle(*h);
    if (id == host::kNoRecord || theHost()->db().at(id).erased) return RTERROR;
    host::makeName(theHost()->db(), id, entity);
    return RTNORM;
}

}  // extern "C"
