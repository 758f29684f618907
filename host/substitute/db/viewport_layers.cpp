#include "db/viewport_layers.h"

#include "db/layers.h"

namespace host {
namespace {

// Positions of the frozen-layer groups in the "ACAD" data: the index of the
// inner "{" and of its "}", or npos when the data has no such pair.
struct InnerList {
    std::size_t open = std::string::npos;
    std::size_t close = std::string::npos;
};

InnerList findInnerList(const GroupList& data) {
    InnerList at;
    int depth = 0;
    for (std::size_t i = 0; i < data.size(); ++i) {
        if (data[i].code != 1002) continue;
        if (data[i].value == "{") {
            if (++depth == 2 && at.open == std::string::npos) at.open = i;
        } else if (data[i].value == "}") {
            if (depth == 2 && at.open != std::string::npos && at.close == std::string::npos) at.close = i;
            --depth;
        }
    }
    if (at.close == std::string::npos) at.open = std::string::npos;
    return at;
}

std::string real(const Record& r, int code, double fallback) { return formatReal(r.real(code).value_or(fallback)); }

// The "MVIEW" data of a viewport that has none, from the viewport's own view groups.
GroupList defaultViewportData(const Record& v) {
    GroupList d = {{1001, "ACAD"}, {1000, "MVIEW"}, {1002, "{"}, {1070, "16"},
                   {1010, real(v, 17, 0)}, {1020, real(v, 27, 0)}, {1030, real(v, 37, 0)},
                   {1010, real(v, 16, 0)}, {1020, real(v, 26, 0)}, {1030, real(v, 36, 1)},
                   {1040, real(v, 51, 0)}, {1040, real(v, 45, v.real(41).value_or(1))},
                   {1040, real(v, 12, 0)}, {1040, real(v, 22, 0)}, {1040, real(v, 42, 50)},
                   {1040, real(v, 43, 0)}, {1040, real(v, 44, 0)},
                   {1070, "0"}, {1070, "1000"}, {1070, "1"}, {1070, "1"}, {1070, "0"}, {1070, "0"}, {1070, "0"}, {1070, "0"},
                   {1040, "0.0"}, {1040, "0.0"}, {1040, "0.0"}, {1040, "1.0"}, {1040, "1.0"}, {1040, "1.0"}, {1040, "1.0"},
                   {1070, "0"}, {1002, "{"}, {1002, "}"}, {1002, "}"}};
    return d;
}

}  // namespace

std::vector<std::string> viewportFrozenLayers(const Record& viewport) {
    std::vector<std::string> out;
    GroupList data = viewport.xdataOf("ACAD");
    InnerList at = findInnerList(data);
    if (at.open == std::string::npos) return out;
    for (std::size_t i = at.open + 1; i < at.close; ++i)
        if (data[i].code == 1003) out.push_back(data[i].value);
    return out;
}

void setViewportFrozenLayers(Database& db, RecordId id, const std::vector<std::string>& layers) {
    const Record& viewport = db.at(id);
    GroupList data = viewport.xdataOf("ACAD");
    InnerList at = findInnerList(data);
    if (at.open == std::string::npos) {
        data = defaultViewportData(viewport);
        at = findInnerList(data);
    }
    GroupList updated(data.begin(), data.begin() + static_cast<std::ptrdiff_t>(at.open) + 1);
    for (const std::string& name : layers) updated.emplace_back(1003, name);
    updated.insert(updated.end(), data.begin() + static_cast<std::ptrdiff_t>(at.close), data.end());
    // The 331 groups: handles of the frozen layers that exist.
    GroupList groups;
    std::size_t insertAt = std::string::npos;
    for (const Group& g : viewport.groups) {
        if (g.code == 331) {
            if (insertAt == std::string::npos) insertAt = groups.size();
            continue;
        }
        if (g.code == 90 && insertAt == std::string::npos) insertAt = groups.size();
        groups.push_back(g);
    }
    if (insertAt == std::string::npos) insertAt = groups.size();
    GroupList handles;
    for (const std::string& name : layers)
        if (RecordId id = findLayer(db, name); id != kNoRecord) handles.emplace_back(331, formatHandle(db.at(id).handle));
    groups.insert(groups.begin() + static_cast<std::ptrdiff_t>(insertAt), handles.begin(), handles.end());
    db.modify(id, [&](Record& v) {
        v.replaceXdata(updated);
        v.groups = std::move(groups);
    });
}

}  // namespace host
