#include "geometry/group_points.h"

namespace host {

namespace {

double realOf(const Group& g) { return g.real().value_or(0.0); }

}  // namespace

Point3 pointAt(const GroupList& groups, std::size_t i, bool* hasZ) {
    Point3 p;
    int code = groups[i].code;
    p.x = realOf(groups[i]);
    bool z = false;
    if (i + 1 < groups.size() && groups[i + 1].code == code + 10) {
        p.y = realOf(groups[i + 1]);
        if (i + 2 < groups.size() && groups[i + 2].code == code + 20) {
            p.z = realOf(groups[i + 2]);
            z = true;
        }
    }
    if (hasZ) *hasZ = z;
    return p;
}

void setRealAt(GroupList& groups, std::size_t i, double value) {
    if (groups[i].real() != value) groups[i].value = formatReal(value);
}

void setPointAt(GroupList& groups, std::size_t i, const Point3& p) {
    int code = groups[i].code;
    setRealAt(groups, i, p.x);
    if (i + 1 < groups.size() && groups[i + 1].code == code + 10) {
        setRealAt(groups, i + 1, p.y);
    } else {
        groups.insert(groups.begin() + static_cast<std::ptrdiff_t>(i) + 1, Group(code + 10, formatReal(p.y)));
    }
    if (i + 2 < groups.size() && groups[i + 2].code == code + 20)
        setRealAt(groups, i + 2, p.z);
    else if (p.z != 0)
        groups.insert(groups.begin() + static_cast<std::ptrdiff_t>(i) + 2, Group(code + 20, formatReal(p.z)));
}

std::optional<Point3> pointOf(const Record& r, int code) {
    for (std::size_t i = 0; i < r.groups.size(); ++i)
        if (r.groups[i].code == code) return pointAt(r.groups, i);
    return std::nullopt;
}

void setPointOf(Record& r, int code, const Point3& p) {
    for (std::size_t i = 0; i < r.groups.size(); ++i)
        if (r.groups[i].code == code) {
            setPointAt(r.groups, i, p);
            return;
        }
    r.groups.emplace_back(code, formatReal(p.x));
    r.groups.emplace_back(code + 10, formatReal(p.y));
    r.groups.emplace_back(code + 20, formatReal(p.z));
}

Point3 normalOf(const Record& r) {
    auto n = pointOf(r, 210);
    if (!n || length(*n) == 0) return {0, 0, 1};
    return *n;
}

void setRealKeep(Record& r, int code, double value, double absentValue) {
    if (Group* g = r.find(code)) {
        if (g->real() != value) g->value = formatReal(value);
        return;
    }
    if (value != absentValue) r.groups.emplace_back(code, formatReal(value));
}

}  // namespace host
