#include "ads/resbuf_lists.h"

#include <cstring>

#include "ads/heap.h"

namespace host {

namespace {

RbValue computeRbValue(int t) {
    switch (t) {
    case RTREAL: case RTANG: case RTORINT: return RbValue::Real;
    case RTPOINT: case RT3DPOINT: return RbValue::Point;
    case RTSHORT: return RbValue::Short;
    case RTLONG: return RbValue::Long;
    case RTSTR: case RTDXF0: return RbValue::Text;
    case RTENAME: case RTPICKS: return RbValue::Name;
    case RTNONE: case RTVOID: case RTLB: case RTLE: case RTDOTE: case RTNIL: case RTT: return RbValue::None;
    default: break;
    }
    if (t == -1 || t == -2) return RbValue::Name;
    if (t == -3) return RbValue::None;
    if (t < 0) return RbValue::Text;
    if (isPointCode(t)) return RbValue::Point;
    if ((t >= 320 && t <= 369) || (t >= 390 && t <= 399) || t == 480 || t == 481) return RbValue::Name;
    switch (valueKindOf(t)) {
    case ValueKind::Real: return RbValue::Real;
    case ValueKind::Int16: case ValueKind::Bool: return RbValue::Short;
    case ValueKind::Int32: return RbValue::Long;
    default: return RbValue::Text;
    }
}

// Group codes run from -5 to 1071: their kinds are looked up in a table
// made once, since every item of every list made or released asks.
constexpr int kFirstCode = -5;
constexpr int kLastCode = 1071;

struct RbValueTable {
    RbValue kinds[kLastCode - kFirstCode + 1];
    RbValueTable() {
        for (int code = kFirstCode; code <= kLastCode; ++code) kinds[code - kFirstCode] = computeRbValue(code);
    }
};

// The value of a short integer text ("0", "-7", " 64"); the general parser
// for anything else, so that the result is the same.
long long integerOf(const Group& g) {
    std::string_view text = g.value;
    // A single digit, as most flags and colours are.
    if (text.size() == 1 && text[0] >= '0' && text[0] <= '9') return text[0] - '0';
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    bool negative = i < text.size() && text[i] == '-';
    if (negative) ++i;
    const std::size_t digits = text.size() - i;
    if (digits == 0 || digits > 9) return g.integer().value_or(0);
    long long value = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c < '0' || c > '9') return g.integer().value_or(0);
        value = value * 10 + (c - '0');
    }
    return negative ? -value : value;
}

// The same as rbValueOf, for this file's own loops: inlined into them.
[[gnu::always_inline]] inline RbValue kindOf(int t) {
    static const RbValueTable table;
    if (t >= kFirstCode && t <= kLastCode) return table.kinds[t - kFirstCode];
    return computeRbValue(t);
}

}  // namespace

RbValue rbValueOf(int t) { return kindOf(t); }

namespace {

resbuf* makeResbuf(int restype) {
    auto* rb = static_cast<resbuf*>(heapAllocate(sizeof(resbuf)));
    if (rb) {
        std::memset(rb, 0, sizeof(resbuf));
        rb->restype = static_cast<short>(restype);
    }
    return rb;
}

resbuf* makeTextResbuf(int restype, std::string_view text) {
    resbuf* rb = makeResbuf(restype);
    if (!rb) return nullptr;
    rb->resval.rstring = static_cast<char*>(heapAllocate(text.size() + 1));
    if (rb->resval.rstring) {
        std::memcpy(rb->resval.rstring, text.data(), text.size());
        rb->resval.rstring[text.size()] = '\0';
    }
    return rb;
}

}  // namespace

resbuf* newResbuf(int restype) { return makeResbuf(restype); }

resbuf* newTextResbuf(int restype, std::string_view text) { return makeTextResbuf(restype, text); }

void releaseList(resbuf* list) {
    while (list) {
        resbuf* next = list->rbnext;
        if (kindOf(list->restype) == RbValue::Text) heapRelease(list->resval.rstring);
        heapRelease(list);
        list = next;
    }
}

resbuf* listFromVarargs(int type, va_list args) {
    resbuf* head = nullptr;
    resbuf** tail = &head;
    while (type != 0 && type != RTNONE) {
        resbuf* rb = newResbuf(type);
        switch (rbValueOf(type)) {
        case RbValue::Real: rb->resval.rreal = va_arg(args, double); break;
        case RbValue::Point: {
            const double* p = va_arg(args, const double*);
            rb->resval.rpoint[0] = p[0];
            rb->resval.rpoint[1] = p[1];
            rb->resval.rpoint[2] = type == RTPOINT ? 0.0 : p[2];
            break;
        }
        case RbValue::Short: rb->resval.rint = static_cast<short>(va_arg(args, int)); break;
        case RbValue::Long: rb->resval.rlong = va_arg(args, int); break;
        case RbValue::Text: {
            const char* s = va_arg(args, const char*);
            rb->resval.rstring = acad__strdup(s ? s : "");
            break;
        }
        case RbValue::Name: {
            const int64_t* n = va_arg(args, const int64_t*);
            rb->resval.rlname[0] = n[0];
            rb->resval.rlname[1] = n[1];
            break;
        }
        case RbValue::Binary:
        case RbValue::None: break;
        }
        *tail = rb;
        tail = &rb->rbnext;
        type = va_arg(args, int);
    }
    return head;
}

void makeName(const Database& db, RecordId id, ads_name name) {
    name[0] = static_cast<int64_t>(id);
    name[1] = static_cast<int64_t>(db.serial());
}

RecordId recordOfName(const Database& db, const ads_name name) {
    if (!name || name[1] != static_cast<int64_t>(db.serial())) return kNoRecord;
    if (name[0] <= 0 || static_cast<std::uint64_t>(name[0]) >= db.recordCount()) return kNoRecord;
    return static_cast<RecordId>(name[0]);
}

namespace {

void append(resbuf**& tail, resbuf* rb) {
    *tail = rb;
    tail = &rb->rbnext;
}

// Appends the list items of a run of groups: points merged, handles named.
// `at(i)` gives the i-th of `count` groups; y and z of a point are taken
// from the next two groups only, so which were used is kept in two bits.
template <typename At>
void appendGroups(Database& db, std::size_t count, At at, resbuf**& tail) {
    unsigned used = 0;  // bit k: group i + 1 + k was taken into a point
    for (std::size_t i = 0; i < count; ++i) {
        const bool taken = (used & 1u) != 0;
        used >>= 1;
        if (taken) continue;
        const Group& g = at(i);
        RbValue kind = kindOf(g.code);
        resbuf* rb = nullptr;
        if (kind == RbValue::Point) {
            rb = makeResbuf(g.code);
            rb->resval.rpoint[0] = g.real().value_or(0);
            // y and z are the next groups with code + 10 and code + 20.
            for (int axis = 1; axis <= 2; ++axis) {
                std::size_t j = i + static_cast<std::size_t>(axis);
                unsigned bit = 1u << (axis - 1);
                if (j < count && at(j).code == g.code + 10 * axis && !(used & bit)) {
                    rb->resval.rpoint[axis] = at(j).real().value_or(0);
                    used |= bit;
                }
            }
        } else if (kind == RbValue::Name) {
            rb = makeResbuf(g.code);
            auto handle = parseHandle(g.value);
            RecordId target = handle ? db.findByHandle(*handle) : kNoRecord;
            if (target != kNoRecord) makeName(db, target, rb->resval.rlname);
        } else if (kind == RbValue::Real) {
            rb = makeResbuf(g.code);
            rb->resval.rreal = g.real().value_or(0);
        } else if (kind == RbValue::Short) {
            rb = makeResbuf(g.code);
            rb->resval.rint = static_cast<short>(integerOf(g));
        } else if (kind == RbValue::Long) {
            rb = makeResbuf(g.code);
            rb->resval.rlong = static_cast<int32_t>(integerOf(g));
        } else {
            rb = makeTextResbuf(g.code, g.value);
        }
        append(tail, rb);
    }
}

void appendGroups(Database& db, const GroupList& groups, resbuf**& tail) {
    appendGroups(db, groups.size(), [&](std::size_t i) -> const Group& { return groups[i]; }, tail);
}

bool wantsApplication(const resbuf* applications, std::string_view app) {
    for (const resbuf* a = applications; a; a = a->rbnext) {
        if (a->restype != RTSTR || !a->resval.rstring) continue;
        if (std::strcmp(a->resval.rstring, "*") == 0 || namesEqual(a->resval.rstring, app)) return true;
    }
    return false;
}

// Whether a point of this code is written without z in records of this type.
bool pointIs2D(std::string_view type, int code) {
    if (type == "LWPOLYLINE" && code == 10) return true;
    if (type == "VIEW" && code == 10) return true;
    if (type == "VPORT" && code >= 10 && code <= 15) return true;
    return false;
}

}  // namespace

resbuf* groupsToList(Database& db, const GroupList& groups) {
    resbuf* head = nullptr;
    resbuf** tail = &head;
    appendGroups(db, groups, tail);
    return head;
}

resbuf* groupsToList(Database& db, const Group* const* groups, std::size_t count) {
    resbuf* head = nullptr;
    resbuf** tail = &head;
    appendGroups(db, count, [&](std::size_t i) -> const Group& { return *groups[i]; }, tail);
    return head;
}

resbuf* recordToList(Database& db, RecordId id, const resbuf* applications, bool withXdata) {
    const Record& r = db.at(id);
    resbuf* head = nullptr;
    resbuf** tail = &head;
    resbuf* name = newResbuf(-1);
    makeName(db, id, name->resval.rlname);
    append(tail, name);
    append(tail, newTextResbuf(0, r.type));
    appendGroups(db, r.groups, tail);
    if (withXdata && !r.xdata.empty()) {
        GroupList wanted;
        bool keep = false;
        for (const Group& g : r.xdata) {
            if (g.code == 1001) keep = wantsApplication(applications, g.value);
            if (keep) wanted.push_back(g);
        }
        if (!wanted.empty()) {
            append(tail, newResbuf(-3));
            appendGroups(db, wanted, tail);
        }
    }
    return head;
}

bool listToGroups(const Database& db, const resbuf* list, GroupList& groups, GroupList& xdata, std::string& error) {
    std::string type;
    bool inXdata = false;
    for (const resbuf* rb = list; rb; rb = rb->rbnext) {
        int code = rb->restype == RTDXF0 ? 0 : rb->restype;
        if (code == -1) continue;
        if (code == 0) {
            type = rb->resval.rstring ? rb->resval.rstring : "";
            continue;
        }
        if (code == -3) {
            inXdata = true;
            continue;
        }
        GroupList& out = inXdata ? xdata : groups;
        if (inXdata && code < 1000) {
            error = "bad extended data group " + std::to_string(code);
            return false;
        }
        switch (rbValueOf(code)) {
        case RbValue::Point:
            out.emplace_back(code, formatReal(rb->resval.rpoint[0]));
            out.emplace_back(code + 10, formatReal(rb->resval.rpoint[1]));
            if (!pointIs2D(type, code)) out.emplace_back(code + 20, formatReal(rb->resval.rpoint[2]));
            break;
        case RbValue::Real: out.emplace_back(code, formatReal(rb->resval.rreal)); break;
        case RbValue::Short: out.emplace_back(code, formatInt(rb->resval.rint)); break;
        case RbValue::Long: out.emplace_back(code, formatInt(rb->resval.rlong)); break;
        case RbValue::Name: {
            RecordId target = recordOfName(db, rb->resval.rlname);
            out.emplace_back(code, target != kNoRecord ? formatHandle(db.at(target).handle) : "0");
            break;
        }
        case RbValue::Text: out.emplace_back(code, rb->resval.rstring ? rb->resval.rstring : ""); break;
        case RbValue::Binary:
        case RbValue::None:
            error = "unsupported group " + std::to_string(code);
            return false;
        }
    }
    return true;
}

std::string describeResbuf(const resbuf* rb) {
    char buffer[128];
    switch (rbValueOf(rb->restype)) {
    case RbValue::Text: {
        std::string out = "\"";
        for (const char* p = rb->resval.rstring ? rb->resval.rstring : ""; *p; ++p) {
            if (*p == '"' || *p == '\\') out += '\\';
            out += *p;
        }
        return out + "\"";
    }
    case RbValue::Real: std::snprintf(buffer, sizeof buffer, "%.6g", rb->resval.rreal); return buffer;
    case RbValue::Short: return std::to_string(rb->resval.rint);
    case RbValue::Long: return std::to_string(rb->resval.rlong);
    case RbValue::Point:
        if (rb->restype == RTPOINT)
            std::snprintf(buffer, sizeof buffer, "(%.6g,%.6g)", rb->resval.rpoint[0], rb->resval.rpoint[1]);
        else
            std::snprintf(buffer, sizeof buffer, "(%.6g,%.6g,%.6g)", rb->resval.rpoint[0], rb->resval.rpoint[1],
                          rb->resval.rpoint[2]);
        return buffer;
    case RbValue::Name:
        std::snprintf(buffer, sizeof buffer, rb->restype == RTPICKS ? "<Selection set: %lld>" : "<Entity name: %lld>",
                      static_cast<long long>(rb->resval.rlname[0]));
        return buffer;
    default: return "<" + std::to_string(rb->restype) + ">";
    }
}

}  // namespace host
