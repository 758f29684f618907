#include "db/record.h"

#include <algorithm>
#include <utility>

namespace host {

Record makeRecord(std::string_view type, GroupList groups) {
    Record r;
    r.type = type;
    r.groups = std::move(groups);
    return r;
}

const Group* Record::find(int code) const {
    for (const Group& g : groups)
        if (g.code == code) return &g;
    return nullptr;
}

Group* Record::find(int code) {
    for (Group& g : groups)
        if (g.code == code) return &g;
    return nullptr;
}

std::string_view Record::text(int code, std::string_view fallback) const {
    const Group* g = find(code);
    return g ? std::string_view(g->value) : fallback;
}

std::optional<double> Record::real(int code) const {
    const Group* g = find(code);
    return g ? g->real() : std::nullopt;
}

long long Record::integer(int code, long long fallback) const {
    const Group* g = find(code);
    if (!g) return fallback;
    return g->integer().value_or(fallback);
}

void Record::set(int code, std::string value) {
    if (Group* g = find(code)) {
        g->value = std::move(value);
        return;
    }
    groups.emplace_back(code, std::move(value));
}

void Record::setInt(int code, long long value) { set(code, formatInt(value)); }
void Record::setReal(int code, double value) { set(code, formatReal(value)); }

GroupList Record::xdataOf(std::string_view application) const {
    GroupList out;
    bool inside = false;
    for (const Group& g : xdata) {
        if (g.code == 1001) inside = namesEqual(g.value, application);
        if (inside) out.push_back(g);
    }
    return out;
}

std::vector<std::string> Record::xdataApplications() const {
    std::vector<std::string> apps;
    for (const Group& g : xdata)
        if (g.code == 1001) apps.push_back(g.value);
    return apps;
}

void Record::replaceXdata(const GroupList& data) {
    std::vector<std::string> replaced;
    for (const Group& g : data)
        if (g.code == 1001) replaced.push_back(g.value);
    GroupList kept;
    bool drop = false;
    for (const Group& g : xdata) {
        if (g.code == 1001)
            drop = std::any_of(replaced.begin(), replaced.end(),
                               [&](const std::string& app) { return namesEqual(app, g.value); });
        if (!drop) kept.push_back(g);
    }
    // An application given with nothing after its name removes its data.
    for (std::size_t i = 0; i < data.size(); ++i) {
        if (data[i].code == 1001 && (i + 1 == data.size() || data[i + 1].code == 1001)) continue;
        if (data[i].code != 1001) {
            kept.push_back(data[i]);
            continue;
        }
        kept.push_back(data[i]);
    }
    xdata = std::move(kept);
}

static char upperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool namesEqual(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (upperAscii(a[i]) != upperAscii(b[i])) return false;
    return true;
}

std::string upperName(std::string_view name) {
    std::string out(name);
    for (char& c : out) c = upperAscii(c);
    return out;
}

}  // namespace host
