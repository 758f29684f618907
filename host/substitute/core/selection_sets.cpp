#include "core/selection_sets.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <unordered_set>

#include "ads/adscodes.h"
#include "geometry/pick.h"
#include "geometry/placement.h"
#include "geometry/transform.h"
#include "wildcard/wildcard.h"

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
        return wildcard::wildcardMatch(e.type, pattern, true);
    }
    if (code == -3) return true;  // handled by the caller
    (void)db;
    const bool negate = op == "!=" || op == "/=" || op == "<>";
    // Texts are matched as patterns, other values compared as numbers.
    const char* text = nullptr;
    switch (item->restype) {
    case RTSTR: case RTDXF0: text = item->resval.rstring; break;
    default:
        if (code >= 0 && (valueKindOf(code) == ValueKind::Text || valueKindOf(code) == ValueKind::Binary) &&
            !isPointCode(code))
            text = item->resval.rstring;
    }
    auto test = [&](std::string_view value, const std::vector<double>& nums) {
        if (text) return wildcard::wildcardMatch(value, text, true) != negate;
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
                if (std::fabs(nums[k] - item->resval.rpoint[k]) > 1e-9) return negate;
            return !negate;
        }
        double have = nums.empty() ? 0 : nums[0];
        if (op == "=" || op.empty()) return have == want;
        if (negate) return have != want;
        if (op == "<") return have < want;
        if (op == "<=") return have <= want;
        if (op == ">") return have > want;
        if (op == ">=") return have >= want;
        if (op == "&") return (static_cast<long long>(have) & static_cast<long long>(want)) != 0;
        if (op == "&=") return (static_cast<long long>(have) & static_cast<long long>(want)) == static_cast<long long>(want);
        if (op == "*") return true;
        return false;
    };
    // Every value of the group is tried (repeated groups: any may match);
    // a text is matched without making numbers of it.
    bool found = false;
    for (std::size_t index = 0; index < e.groups.size(); ++index) {
        const Group& g = e.groups[index];
        if (g.code != code) continue;
        found = true;
        if (text) {
            if (test(g.value, {})) return true;
            continue;
        }
        std::vector<double> nums{g.real().value_or(0)};
        if (isPointCode(code)) {
            // y and z follow the x group.
            for (std::size_t k = 1; k <= 2; ++k)
                if (index + k < e.groups.size() && e.groups[index + k].code == code + 10 * static_cast<int>(k))
                    nums.push_back(e.groups[index + k].real().value_or(0));
        }
        if (test(g.value, nums)) return true;
    }
    if (found) return false;
    // An entity that leaves the group out has its default value.
    std::optional<std::string> fallback = defaultValue(code);
    if (!fallback) return negate;
    return test(*fallback, {parseReal(*fallback).value_or(0)});
}

bool hasApplication(const Record& e, const resbuf* item) {
    for (const resbuf* a = item; a && a->restype == 1001; a = a->rbnext)
        for (const std::string& app : e.xdataApplications())
            if (wildcard::wildcardMatch(app, a->resval.rstring ? a->resval.rstring : "", true)) return true;
    return false;
}

// Evaluates filter items until the closing operator `closing` (or the end);
// `mode` combines them: "AND", "OR", "XOR", "NOT".
bool evaluate(const Database& db, const Record& e, const resbuf*& rb, std::string_view mode) {
    const bool conjunction = mode == "AND" || mode == "NOT";
    bool result = conjunction;
    bool any = false;
    int count = 0;
    while (rb) {
        bool value = true;
        // Items after the one that decided an AND (false) or an OR (true)
        // are passed over without testing them.
        const bool decided = any && ((conjunction && !result) || (mode == "OR" && result));
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
                value = decided || compareValue(db, e, item, op);
                rb = item->rbnext;
            }
        } else if (rb->restype == -3) {
            value = decided || hasApplication(e, rb->rbnext);
            rb = rb->rbnext;
            while (rb && rb->restype == 1001) rb = rb->rbnext;
        } else {
            value = decided || compareValue(db, e, rb, "=");
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

std::vector<RecordId> entitiesOfSpace(const Database& db, bool paper) { return pickableEntities(db, paper); }

namespace {

// What picks in a space see now (the space named by the caller).
PickView viewOf(const Database& db, bool paper) {
    PickView view = currentPickView(db);
    if (view.paperSpace != paper) {
        view.paperSpace = paper;
        view.viewport = kNoRecord;
    }
    return view;
}

EntityFilter filterOf(const Database& db, const resbuf* filter) {
    if (!filter) return {};
    return [&db, filter](const Record& e) { return passesFilter(db, e, filter); };
}

}  // namespace

RecordId pickEntity(const Database& db, bool paper, double x, double y, const resbuf* filter) {
    return pickNearest(db, viewOf(db, paper), x, y, filterOf(db, filter));
}

std::vector<RecordId> windowEntities(const Database& db, bool paper, std::array<double, 3> a, std::array<double, 3> b,
                                     bool crossing, const resbuf* filter) {
    Box box = Box::of({a[0], a[1], a[2]}, {b[0], b[1], b[2]});
    return selectInBox(db, viewOf(db, paper), box, crossing, filterOf(db, filter));
}

RecordId headerOf(const Database& db, RecordId id) {
    if (!db.valid(id)) return id;
    if (!isSubEntity(db.at(id))) return id;
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
            apply(entitiesOfSpace(db, paperSpace));
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
