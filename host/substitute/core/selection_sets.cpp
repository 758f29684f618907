#include "core/selection_sets.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "ads/adscodes.h"
#include "core/wildcard.h"
#include "geometry/pick.h"

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

std::optional<std::vector<RecordId>> SelectionReader::read(std::string_view prompt) {
    std::vector<RecordId> chosen;
    auto addAll = [&](const std::vector<RecordId>& found) {
        std::size_t added = 0;
        for (RecordId id : found) {
            if (id == kNoRecord || db.at(id).erased || !passesFilter(db, db.at(id), filter)) continue;
            if (std::find(chosen.begin(), chosen.end(), id) == chosen.end()) {
                chosen.push_back(id);
                ++added;
            }
        }
        std::string line = std::to_string(found.size()) + " found";
        if (added < found.size()) line += " (" + std::to_string(found.size() - added) + " duplicate or filtered out)";
        if (chosen.size() != added) line += ", " + std::to_string(chosen.size()) + " total";
        print(line + "\n");
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
        std::optional<CommandInput> in = next(prompt);
        if (!in) return std::nullopt;
        switch (in->kind) {
        case CommandInput::Kind::Entity: addAll({in->entity}); continue;
        case CommandInput::Kind::SelectionSet: addAll(in->members); continue;
        case CommandInput::Kind::Point: {
            RecordId id = pickEntity(db, paperSpace, in->point[0], in->point[1], nullptr);
            if (id == kNoRecord) print("0 found\n");
            else addAll({id});
            continue;
        }
        case CommandInput::Kind::Text: break;
        }
        std::string word = in->text;
        std::transform(word.begin(), word.end(), word.begin(), ::toupper);
        if (word.empty()) return chosen;
        if (auto pt = parsePointText(word)) {
            RecordId id = pickEntity(db, paperSpace, (*pt)[0], (*pt)[1], nullptr);
            if (id == kNoRecord) print("0 found\n");
            else addAll({id});
        } else if (word == "W" || word == "WINDOW" || word == "C" || word == "CROSSING") {
            auto a = corner("Specify first corner: ");
            if (!a) return std::nullopt;
            auto b = corner("Specify opposite corner: ");
            if (!b) return std::nullopt;
            addAll(windowEntities(db, paperSpace, *a, *b, word[0] == 'C', nullptr));
        } else if (word == "ALL") {
            addAll(entitiesOfSpace(db, paperSpace));
        } else if (word == "L" || word == "LAST") {
            if (last != kNoRecord) addAll({last});
            else print("0 found\n");
        } else if (word == "P" || word == "PREVIOUS") {
            addAll(previous);
        } else {
            print("*Invalid selection*\nExpects a point or Window/Crossing/ALL/Last/Previous\n");
        }
    }
}

}  // namespace host
