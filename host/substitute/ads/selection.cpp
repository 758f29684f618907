// Selection sets: ads_ssget and the functions on the sets it makes.
#include <algorithm>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "ads/ads_context.h"
#include "ads/resbuf_lists.h"
#include "core/selection_sets.h"
#include "wildcard/wildcard.h"
#include "geometry/placement.h"

using host::ads::theHost;
using host::ads::kSelectionTag;
using host::RecordId;

namespace {

std::array<double, 3> pointArg(const void* p) {
    const double* d = static_cast<const double*>(p);
    return {d[0], d[1], d[2]};
}

int finish(std::vector<RecordId> chosen, ads_name result) {
    host::Host& h = *theHost();
    if (chosen.empty()) return RTERROR;
    h.selections().previous() = chosen;
    result[0] = h.selections().create(std::move(chosen));
    result[1] = kSelectionTag;
    return RTNORM;
}

// The entity type a filter requires by its first item, when that is a
// plain name (the usual "every INSERT of block B"): the filter's items are
// all required, so entities of other types are passed over at once.
std::string_view requiredType(const resbuf* filter) {
    if (!filter || filter->restype != RTDXF0 || !filter->resval.rstring) return {};
    std::string_view type = filter->resval.rstring;
    return wildcard::hasWildcards(type) ? std::string_view() : type;
}

// A filter's items as a text, to tell whether two filters are the same;
// nothing when an item holds a value of a kind not compared here.
std::optional<std::string> filterKey(const resbuf* filter) {
    std::string key;
    auto put = [&key](const void* data, std::size_t size) { key.append(static_cast<const char*>(data), size); };
    for (const resbuf* rb = filter; rb; rb = rb->rbnext) {
        int type = rb->restype;
        put(&type, sizeof type);
        int code = type == RTDXF0 ? 0 : type;
        bool text = type == RTSTR || type == RTDXF0 || type == -4 || type == 1001;
        if (!text && code >= 0 && code <= 1071)
            text = (host::valueKindOf(code) == host::ValueKind::Text ||
                    host::valueKindOf(code) == host::ValueKind::Binary) && !host::isPointCode(code);
        if (text) {
            // A null text is told from an empty one.
            std::string_view value = rb->resval.rstring ? rb->resval.rstring : "";
            std::size_t size = rb->resval.rstring ? value.size() : std::string_view::npos;
            put(&size, sizeof size);
            key.append(value);
        } else if (code == -3) {
        } else if (code < 0 || code > 1071) {
            return std::nullopt;
        } else if (host::isPointCode(code)) {
            put(rb->resval.rpoint, 3 * sizeof(double));
        } else if (host::valueKindOf(code) == host::ValueKind::Real) {
            put(&rb->resval.rreal, sizeof rb->resval.rreal);
        } else if (host::valueKindOf(code) == host::ValueKind::Int32) {
            put(&rb->resval.rlong, sizeof rb->resval.rlong);
        } else {
            put(&rb->resval.rint, sizeof rb->resval.rint);
        }
    }
    return key;
}

// What the last "X" selections with a few filters found: which of the
// drawing's records passed, and the drawing's revision and entity count
// then. A record changes only through the database, which stamps it with a
// new revision and can tell which records changed since one, and the
// drawing's entity list only grows at its end: a later selection with the
// same filter tests again only the entities added or changed since,
// instead of reading every entity of a large drawing once more.
struct EverythingSelection {
    std::uint64_t serial = 0;
    std::uint64_t revision = 0;
    std::string filter;
    std::size_t tested = 0;    // the entities of the list tested
    std::vector<bool> passed;  // by record
};

bool passesEverything(const host::Database& db, RecordId id, std::string_view type, const resbuf* filter) {
    const host::Record& r = db.at(id);
    // Vertices, attributes and SEQENDs are parts of their entities, not members.
    return (type.empty() || host::namesEqual(r.type, type)) && !r.erased && !host::isSubEntity(r) &&
           host::passesFilter(db, r, filter);
}

std::vector<RecordId> selectEverything(const host::Database& db, const resbuf* filter) {
    static std::vector<EverythingSelection> kept;  // the most recently used last
    const std::optional<std::string> key = filterKey(filter);
    EverythingSelection fresh;
    EverythingSelection* known = &fresh;
    if (key) {
        auto it = std::find_if(kept.begin(), kept.end(), [&](const EverythingSelection& e) {
            return e.serial == db.serial() && e.filter == *key;
        });
        if (it == kept.end()) {
            if (kept.size() >= 4) kept.erase(kept.begin());
            kept.push_back(EverythingSelection{db.serial(), 0, *key, 0, {}});
        } else {
            std::rotate(it, it + 1, kept.end());
        }
        known = &kept.back();
    }
    const std::vector<RecordId>& list = db.entities();
    const std::string_view type = requiredType(filter);
    static std::vector<RecordId> changed;
    if (known->tested > list.size() || !db.changedSince(known->revision, changed)) {
        known->tested = 0;  // every entity is tested again
        changed.clear();
    }
    if (known->passed.size() < db.recordCount()) known->passed.resize(db.recordCount());
    for (RecordId id : changed)
        if (id < known->passed.size()) known->passed[id] = passesEverything(db, id, type, filter);
    for (std::size_t i = known->tested; i < list.size(); ++i)
        known->passed[list[i]] = passesEverything(db, list[i], type, filter);
    known->tested = list.size();
    known->revision = db.revision();
    std::vector<RecordId> chosen;
    for (RecordId id : list)
        if (known->passed[id]) chosen.push_back(id);
    return chosen;
}

std::vector<RecordId>* setOf(const ads_name name) {
    if (!theHost() || !name || name[1] != kSelectionTag) return nullptr;
    return theHost()->selections().find(name[0]);
}

}  // namespace

extern "C" {

int ads_ssget(const char* mode, const void* point1, const void* point2, const struct resbuf* filter,
              ads_name result) {
    if (!theHost() || !result) return RTERROR;
    host::Host& h = *theHost();
    host::Database& db = h.db();
    bool paper = h.paperSpaceCurrent();
    std::string m = mode ? host::upperName(mode) : "";
    std::vector<RecordId> chosen;
    if (m == "X") {
        chosen = selectEverything(db, filter);
    } else if (m == "L") {
        RecordId last = h.lastEntity();
        if (last != host::kNoRecord && host::passesFilter(db, db.at(last), filter)) chosen.push_back(last);
    } else if (m == "P") {
        for (RecordId id : h.selections().previous())
            if (!db.at(id).erased && host::passesFilter(db, db.at(id), filter)) chosen.push_back(id);
    } else if ((m == "W" || m == "C") && point1 && point2) {
        chosen = host::windowEntities(db, paper, pointArg(point1), pointArg(point2), m == "C", filter);
    } else if (m.empty() && point1) {
        auto p = pointArg(point1);
        RecordId id = host::pickEntity(db, paper, p[0], p[1], filter);
        if (id != host::kNoRecord) chosen.push_back(id);
    } else if (m.empty()) {
        host::SelectionReader reader{db, paper, filter, h.selections().previous(), h.lastEntity(),
                                     [&h](std::string_view prompt) -> std::optional<host::CommandInput> {
                                         auto typed = h.commandLine().read(prompt, false);
                                         if (!typed || *typed == "^C") return std::nullopt;
                                         host::CommandInput in;
                                         in.text = *typed;
                                         return in;
                                     },
                                     [&h](std::string_view t) { h.print(t); }};
        auto read = reader.read("Select objects: ");
        if (!read) return RTCAN;
        chosen = std::move(*read);
    } else {
        return RTERROR;
    }
    return finish(std::move(chosen), result);
}

int ads_sslength(const ads_name set, long* length) {
    auto* members = setOf(set);
    if (!members || !length) return RTERROR;
    *length = static_cast<long>(members->size());
    return RTNORM;
}

int ads_ssname(const ads_name set, long index, ads_name entity) {
    auto* members = setOf(set);
    if (!members || !entity || index < 0 || static_cast<std::size_t>(index) >= members->size()) return RTERROR;
    host::makeName(theHost()->db(), (*members)[static_cast<std::size_t>(index)], entity);
    return RTNORM;
}

int ads_ssadd(const ads_name entity, const ads_name set, ads_name result) {
    if (!theHost() || !result) return RTERROR;
    RecordId id = host::kNoRecord;
    if (entity && !ads_name_nil(entity)) {
        id = host::recordOfName(theHost()->db(), entity);
        if (id == host::kNoRecord) return RTERROR;
    }
    if (!set || ads_name_nil(set)) {
        std::vector<RecordId> members;
        if (id != host::kNoRecord) members.push_back(id);
        result[0] = theHost()->selections().create(std::move(members));
        result[1] = kSelectionTag;
        return RTNORM;
    }
    auto* members = setOf(set);
    if (!members) return RTERROR;
    if (id != host::kNoRecord && std::find(members->begin(), members->end(), id) == members->end())
        members->push_back(id);
    result[0] = set[0];
    result[1] = set[1];
    return RTNORM;
}

int ads_ssdel(const ads_name entity, const ads_name set) {
    auto* members = setOf(set);
    if (!members || !entity) return RTERROR;
    RecordId id = host::recordOfName(theHost()->db(), entity);
    auto it = std::find(members->begin(), members->end(), id);
    if (it == members->end()) return RTERROR;
    members->erase(it);
    return RTNORM;
}

int ads_ssmemb(const ads_name entity, const ads_name set) {
    auto* members = setOf(set);
    if (!members || !entity) return RTERROR;
    RecordId id = host::recordOfName(theHost()->db(), entity);
    return std::find(members->begin(), members->end(), id) != members->end() ? RTNORM : RTERROR;
}

int ads_ssfree(const ads_name set) {
    if (!theHost() || !set || set[1] != kSelectionTag) return RTERROR;
    return theHost()->selections().release(set[0]) ? RTNORM : RTERROR;
}

}  // extern "C"
