#include "core/selection_sets.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <unordered_set>

#include "ads/adscodes.h"
#include "core/wildcard.h"
#include "geometry/transform.h"

namespace host {

std::int64_t SelectionSets::create(std::vector<RecordId> members) {
    std::int64_t id = nextId_++;
    sets_.emplace(id, std::move(members));
    return id;
}

std::vector<RecordId>* SelectionSets::find(std::int64_t id) {
    auto it = sets_.find(id);
    return it == sets_.end() ? nullptr : &it->second;
}

bool SelectionSets::release(std::int64_t id) { return sets_.erase(id) > 0; }

void Extents::add(double x, double y) {
    if (!valid) {
        minX = maxX = x;
        minY = maxY = y;
        valid = true;
        return;
    }
    minX = std::min(minX, x);
    maxX = std::max(maxX, x);
    minY = std::min(minY, y);
    maxY = std::max(maxY, y);
}

namespace {

struct Pt {
    double x, y;
};

std::vector<Pt> pointsOf(const Record& e, int code) {
    std::vector<Pt> out;
    const GroupList& g = e.groups;
    for (std::size_t i = 0; i + 1 < g.size(); ++i)
        if (g[i].code == code && g[i + 1].code == code + 10)
            out.push_back({g[i].real().value_or(0), g[i + 1].real().value_or(0)});
    return out;
}

std::optional<Pt> pointOf(const Record& e, int code) {
    auto pts = pointsOf(e, code);
    if (pts.empty()) return std::nullopt;
    return pts.front();
}

double segmentDistance(Pt p, Pt a, Pt b) {
    double dx = b.x - a.x, dy = b.y - a.y;
    double len2 = dx * dx + dy * dy;
    double t = len2 > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / len2 : 0;
    t = std::clamp(t, 0.0, 1.0);
    double cx = a.x + t * dx - p.x, cy = a.y + t * dy - p.y;
    return std::sqrt(cx * cx + cy * cy);
}

// The drawn outline of an entity as segments (circles and arcs as polygons).
std::vector<std::pair<Pt, Pt>> segmentsOf(const Record& e) {
    std::vector<std::pair<Pt, Pt>> segs;
    const std::string& t = e.type;
    if (t == "LINE") {
        auto a = pointOf(e, 10), b = pointOf(e, 11);
        if (a && b) segs.push_back({*a, *b});
    } else if (t == "LWPOLYLINE" || t == "SOLID" || t == "TRACE" || t == "3DFACE") {
        auto pts = t == "LWPOLYLINE" ? pointsOf(e, 10) : std::vector<Pt>{};
        if (t != "LWPOLYLINE")
            for (int c : {10, 11, 13, 12})
                if (auto p = pointOf(e, c)) pts.push_back(*p);
        for (std::size_t i = 1; i < pts.size(); ++i) segs.push_back({pts[i - 1], pts[i]});
        bool closed = t != "LWPOLYLINE" || (e.integer(70) & 1);
        if (closed && pts.size() > 2) segs.push_back({pts.back(), pts.front()});
    } else if (t == "CIRCLE" || t == "ARC") {
        auto c = pointOf(e, 10);
        double r = e.real(40).value_or(0);
        if (c) {
            double a0 = 0, a1 = 360;
            if (t == "ARC") {
                a0 = e.real(50).value_or(0);
                a1 = e.real(51).value_or(360);
                if (a1 < a0) a1 += 360;
            }
            const int steps = 32;
            Pt prev{};
            for (int i = 0; i <= steps; ++i) {
                double a = (a0 + (a1 - a0) * i / steps) * M_PI / 180.0;
                Pt p{c->x + r * std::cos(a), c->y + r * std::sin(a)};
                if (i > 0) segs.push_back({prev, p});
                prev = p;
            }
        }
    } else if (t == "VIEWPORT") {
        auto c = pointOf(e, 10);
        double w = e.real(40).value_or(0) / 2, h = e.real(41).value_or(0) / 2;
        if (c) {
            Pt p0{c->x - w, c->y - h}, p1{c->x + w, c->y - h}, p2{c->x + w, c->y + h}, p3{c->x - w, c->y + h};
            segs = {{p0, p1}, {p1, p2}, {p2, p3}, {p3, p0}};
        }
    }
    return segs;
}

}  // namespace

Extents entityExtents(const Record& e) {
    Extents ext;
    auto segs = segmentsOf(e);
    for (auto& [a, b] : segs) {
        ext.add(a.x, a.y);
        ext.add(b.x, b.y);
    }
    if (!ext.valid)
        for (int code : {10, 11})
            if (auto p = pointOf(e, code)) ext.add(p->x, p->y);
    return ext;
}

double distanceTo(const Record& e, double x, double y) {
    auto segs = segmentsOf(e);
    double best = INFINITY;
    for (auto& [a, b] : segs) best = std::min(best, segmentDistance({x, y}, a, b));
    if (segs.empty())
        if (auto p = pointOf(e, 10)) best = std::hypot(p->x - x, p->y - y);
    return best;
}

namespace {

struct FilterCursor {
    const resbuf* rb;
};

// Default values of groups an entity may leave out.
std::optional<std::string> defaultValue(int code) {
    switch (code) {
    case 8: return "0";
    case 6: return "BYLAYER";
    case 62: return "256";
    case 67: return "0";
    case 60: return "0";
    default: return std::nullopt;
    }
}

bool compareValue(const Database& db, const Record& e, const resbuf* item, std::string_view op) {
    int code = item->restype == RTDXF0 ? 0 : item->restype;
    if (code == 0) {
        const char* pattern = item->resval.rstring ? item->resval.rstring : "";
        return wildcardMatch(e.type, pattern, true);
    }
    if (code == -3) return true;  // handled by the caller
    (void)db;
    // Collect every value of the group (repeated groups: any may match).
    std::vector<const Group*> found;
    for (const Group& g : e.groups)
        if (g.code == code) found.push_back(&g);
    std::optional<std::string> fallback;
    if (found.empty()) {
        fallback = defaultValue(code);
        if (!fallback) return op == "!=" || op == "/=" || op == "<>";
    }
    auto test = [&](std::string_view value, const std::vector<double>& nums) {
        const char* text = nullptr;
        switch (item->restype) {
        case RTSTR: case RTDXF0: text = item->resval.rstring; break;
        default:
            if (code >= 0 && (valueKindOf(code) == ValueKind::Text || valueKindOf(code) == ValueKind::Binary) &&
                !isPointCode(code))
                text = item->resval.rstring;
        }
        if (text) {
            bool m = wildcardMatch(value, text, true);
            if (op == "!=" || op == "/=" || op == "<>") return !m;
            return m;
        }
        double want = 0;
        bool isPoint = isPointCode(code);
        if (!isPoint) {
            switch (valueKindOf(code)) {
            case ValueKind::Real: want = item->resval.rreal; break;
            case ValueKind::Int32: want = item->resval.rlong; break;
            default: want = item->resval.rint; break;
            }
        }
        if (isPoint) {
            for (int k = 0; k < 3 && k < static_cast<int>(nums.size()); ++k)
                if (std::fabs(nums[k] - item->resval.rpoint[k]) > 1e-9) return op == "!=" || op == "/=" || op == "<>";
            return !(op == "!=" || op == "/=" || op == "<>");
        }
        double have = nums.empty() ? 0 : nums[0];
        if (op == "=" || op.empty()) return have == want;
        if (op == "!=" || op == "/=" || op == "<>") return have != want;
        if (op == "<") return have < want;
        if (op == "<=") return have <= want;
        if (op == ">") return have > want;
        if (op == ">=") return have >= want;
        if (op == "&") return (static_cast<long long>(have) & static_cast<long long>(want)) != 0;
        if (op == "&=") return (static_cast<long long>(have) & static_cast<long long>(want)) == static_cast<long long>(want);
        if (op == "*") return true;
        return false;
    };
    if (fallback) return test(*fallback, {parseReal(*fallback).value_or(0)});
    for (const Group* g : found) {
        std::vector<double> nums{g->real().value_or(0)};
        if (isPointCode(code)) {
            // y and z follow the x group.
            const Group* base = g;
            std::size_t index = static_cast<std::size_t>(base - e.groups.data());
            for (int k = 1; k <= 2; ++k)
                if (index + k < e.groups.size() && e.groups[index + k].code == code + 10 * k)
                    nums.push_back(e.groups[index + k].real().value_or(0));
        }
        if (test(g->value, nums)) return true;
    }
    return false;
}

bool hasApplication(const Record& e, const resbuf* item) {
    for (const resbuf* a = item; a && a->restype == 1001; a = a->rbnext)
        for (const std::string& app : e.xdataApplications())
            if (wildcardMatch(app, a->resval.rstring ? a->resval.rstring : "", true)) return true;
    return false;
}

// Evaluates filter items until the closing operator `closing` (or the end);
// `mode` combines them: "AND", "OR", "XOR", "NOT".
bool evaluate(const Database& db, const Record& e, const resbuf*& rb, std::string_view mode) {
    bool result = mode == "AND" || mode == "NOT";
    bool any = false;
    int count = 0;
    while (rb) {
        bool value = true;
        if (rb->restype == -4) {
            std::string op = rb->resval.rstring ? rb->resval.rstring : "";
            std::transform(op.begin(), op.end(), op.begin(), ::toupper);
            if (op.size() > 1 && op.back() == '>' && op != ">" && op != ">=") {
                rb = rb->rbnext;  // closing operator of this group
                break;
            }
            if (op.size() > 1 && op[0] == '<' && op != "<=" && op != "<>") {
                rb = rb->rbnext;
                value = evaluate(db, e, rb, op.substr(1));
            } else {
                const resbuf* item = rb->rbnext;
                if (!item) break;
                value = compareValue(db, e, item, op);
                rb = item->rbnext;
            }
        } else if (rb->restype == -3) {
            value = hasApplication(e, rb->rbnext);
            rb = rb->rbnext;
            while (rb && rb->restype == 1001) rb = rb->rbnext;
        } else {
            value = compareValue(db, e, rb, "=");
            rb = rb->rbnext;
        }
        ++count;
        if (mode == "AND" || mode == "NOT") result = result && value;
        else if (mode == "OR") result = result || value;
        else if (mode == "XOR") result = (count == 1) ? value : (result != value);
        any = true;
    }
    if (!any && mode == "OR") return false;
    return mode == "NOT" ? !result : result;
}

}  // namespace

bool passesFilter(const Database& db, const Record& e, const resbuf* filter) {
    if (!filter) return true;
    const resbuf* rb = filter;
    return evaluate(db, e, rb, "AND");
}

std::vector<RecordId> entitiesOfSpace(const Database& db, bool paper) {
    std::vector<RecordId> out;
    for (RecordId id : db.entities()) {
        const Record& e = db.at(id);
        if (e.erased) continue;
        if ((e.integer(67, 0) == 1) == paper) out.push_back(id);
    }
    return out;
}

RecordId pickEntity(const Database& db, bool paper, double x, double y, const resbuf* filter) {
    // The pick box: a few drawing units, as the headless host has no screen scale.
    constexpr double kPickBox = 0.5;
    RecordId best = kNoRecord;
    double bestDistance = kPickBox;
    for (RecordId id : entitiesOfSpace(db, paper)) {
        const Record& e = db.at(id);
        if (!passesFilter(db, e, filter)) continue;
        double d = distanceTo(e, x, y);
        if (d <= bestDistance) {
            best = id;
            bestDistance = d;
        }
    }
    return best;
}

std::vector<RecordId> windowEntities(const Database& db, bool paper, std::array<double, 3> a, std::array<double, 3> b,
                                     bool crossing, const resbuf* filter) {
    Extents w;
    w.add(a[0], a[1]);
    w.add(b[0], b[1]);
    std::vector<RecordId> out;
    for (RecordId id : entitiesOfSpace(db, paper)) {
        const Record& e = db.at(id);
        Extents x = entityExtents(e);
        if (!x.valid) continue;
        bool inside = x.minX >= w.minX && x.maxX <= w.maxX && x.minY >= w.minY && x.maxY <= w.maxY;
        bool touches = !(x.maxX < w.minX || x.minX > w.maxX || x.maxY < w.minY || x.minY > w.maxY);
        if ((crossing ? touches : inside) && passesFilter(db, e, filter)) out.push_back(id);
    }
    return out;
}

RecordId headerOf(const Database& db, RecordId id) {
    if (!db.valid(id)) return id;
    const std::string& type = db.at(id).type;
    if (type != "VERTEX" && type != "ATTRIB" && type != "SEQEND") return id;
    const std::vector<RecordId>* list = listHolding(db, id);
    if (!list) return id;
    auto it = std::find(list->begin(), list->end(), id);
    while (it != list->begin()) {
        --it;
        const std::string& t = db.at(*it).type;
        if (t == "POLYLINE" || t == "INSERT") return *it;
        if (t != "VERTEX" && t != "ATTRIB") break;
    }
    return id;
}

namespace {

// The options of "Select objects: ", spelled as the host lists them; the
// capitals are the shortest abbreviation.
const char* const kSelectionKeywords[] = {"Window", "Last", "Crossing", "BOX", "ALL", "Add", "Remove", "Previous",
                                          "Undo"};

std::string selectionKeyword(std::string_view typed) {
    for (const char* k : kSelectionKeywords)
        if (namesEqual(typed, k)) return upperName(k);
    for (std::string_view k : kSelectionKeywords) {
        std::size_t capitals = 0;
        while (capitals < k.size() && k[capitals] >= 'A' && k[capitals] <= 'Z') ++capitals;
        if (typed.size() >= capitals && typed.size() <= k.size() && namesEqual(typed, k.substr(0, typed.size())))
            return upperName(k);
    }
    return {};
}

}  // namespace

std::optional<std::vector<RecordId>> SelectionReader::read(std::string_view prompt) {
    std::vector<RecordId> chosen;
    std::unordered_set<RecordId> inChosen;
    // What each step added or removed, so that Undo can take it back.
    struct Step {
        std::vector<RecordId> ids;
        bool removed = false;
    };
    std::vector<Step> steps;
    bool removing = false;
    auto apply = [&](const std::vector<RecordId>& picked) {
        // A vertex or an attribute selects the entity it belongs to.
        std::vector<RecordId> found;
        std::unordered_set<RecordId> seen;
        for (RecordId id : picked)
            if (RecordId head = headerOf(db, id); seen.insert(head).second) found.push_back(head);
        Step step{{}, removing};
        std::size_t skipped = 0;
        for (RecordId id : found) {
            if (removing) {
                if (!inChosen.erase(id)) continue;
                chosen.erase(std::find(chosen.begin(), chosen.end(), id));
                step.ids.push_back(id);
                continue;
            }
            if (id == kNoRecord || db.at(id).erased || !passesFilter(db, db.at(id), filter) || inChosen.count(id)) {
                ++skipped;
                continue;
            }
            chosen.push_back(id);
            inChosen.insert(id);
            step.ids.push_back(id);
        }
        std::string line = std::to_string(found.size()) + " found";
        if (removing) {
            line += ", " + std::to_string(step.ids.size()) + " removed";
        } else if (skipped > 0) {
            line += " (" + std::to_string(skipped) + " duplicate or filtered out)";
        }
        if (!steps.empty() || removing) line += ", " + std::to_string(chosen.size()) + " total";
        print(line + "\n");
        steps.push_back(std::move(step));
    };
    auto pick = [&](const std::array<double, 3>& p) {
        RecordId id = pickEntity(db, paperSpace, p[0], p[1], nullptr);
        if (id == kNoRecord) print("0 found\n");
        else apply({id});
    };
    auto corner = [&](std::string_view p) -> std::optional<std::array<double, 3>> {
        while (true) {
            auto in = next(p);
            if (!in) return std::nullopt;
            if (in->kind == CommandInput::Kind::Point) return in->point;
            if (auto pt = parsePointText(in->text)) return pt;
            print("Invalid point.\n");
        }
    };
    while (true) {
        std::optional<CommandInput> in = next(removing ? "Remove objects: " : prompt);
        if (!in) return std::nullopt;
        switch (in->kind) {
        case CommandInput::Kind::Entity: apply({in->entity}); continue;
        case CommandInput::Kind::SelectionSet: apply(in->members); continue;
        case CommandInput::Kind::Point: pick(in->point); continue;
        case CommandInput::Kind::Text: break;
        }
        if (in->text.empty()) return chosen;
        if (auto pt = parsePointText(in->text)) {
            pick(*pt);
            continue;
        }
        std::string word = selectionKeyword(in->text);
        if (word == "WINDOW" || word == "CROSSING" || word == "BOX") {
            auto a = corner("Specify first corner: ");
            if (!a) return std::nullopt;
            auto b = corner("Specify opposite corner: ");
            if (!b) return std::nullopt;
            // A box drawn from right to left selects by crossing.
            bool crossing = word == "CROSSING" || (word == "BOX" && (*b)[0] < (*a)[0]);
            apply(windowEntities(db, paperSpace, *a, *b, crossing, nullptr));
        } else if (word == "ALL") {
            // Sub-entities come with their complex entity, which is in the space too.
            std::vector<RecordId> all;
            for (RecordId id : entitiesOfSpace(db, paperSpace)) {
                const std::string& type = db.at(id).type;
                if (type != "VERTEX" && type != "ATTRIB" && type != "SEQEND") all.push_back(id);
            }
            apply(all);
        } else if (word == "LAST") {
            if (last != kNoRecord) apply({last});
            else print("0 found\n");
        } else if (word == "PREVIOUS") {
            std::vector<RecordId> live;
            for (RecordId id : previous)
                if (db.valid(id) && !db.at(id).erased) live.push_back(id);
            if (live.empty()) print("0 found\n");
            else apply(live);
        } else if (word == "ADD") {
            removing = false;
        } else if (word == "REMOVE") {
            removing = true;
        } else if (word == "UNDO") {
            if (steps.empty()) {
                print("All selections have been undone.\n");
                continue;
            }
            Step step = std::move(steps.back());
            steps.pop_back();
            for (RecordId id : step.ids) {
                if (step.removed) {
                    chosen.push_back(id);
                    inChosen.insert(id);
                } else {
                    chosen.erase(std::find(chosen.begin(), chosen.end(), id));
                    inChosen.erase(id);
                }
            }
        } else {
            print("*Invalid selection*\nExpects a point or\nWindow/Last/Crossing/BOX/ALL/Add/Remove/Previous/Undo\n");
        }
    }
}

}  // namespace host
