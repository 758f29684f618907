// Dragging a selection set (ads_draggen) and transforming one (ads_xformss).
//
// A headless host has no cursor: at the drag prompt the user types the
// cursor positions as points separated by ";" ("10,0;20,5;30,5"), or one
// point. The application's sampler is called for each in turn, and the
// last places the set. The entities are not moved by the drag itself: the
// application transforms them with the matrix its sampler gave.
#include <array>
#include <string>
#include <vector>

#include "ads/ads_context.h"
#include "ads/input_reading.h"
#include "ads/resbuf_lists.h"
#include "core/command_processor.h"
#include "geometry/extents.h"
#include "geometry/placement.h"
#include "geometry/transform.h"

using host::Matrix;
using host::RecordId;
using host::Host;
using host::ads::theHost;
using namespace host::ads;

namespace {

std::vector<RecordId>* membersOf(const ads_name set) {
    if (!theHost() || !set || set[1] != kSelectionTag) return nullptr;
    return theHost()->selections().find(set[0]);
}

std::vector<std::string> splitPoints(const std::string& text) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (true) {
        std::size_t end = text.find(';', start);
        parts.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos) return parts;
        start = end + 1;
    }
}

// The entities a set's transform moves: its members, except vertices and
// attributes whose polyline or reference is a member too (they move with it).
std::vector<RecordId> entitiesToMove(const host::Database& db, const std::vector<RecordId>& members) {
    std::vector<RecordId> heads, out;
    for (RecordId id : members)
        if (db.valid(id) && !db.at(id).erased && !host::isSubEntity(db.at(id))) heads.push_back(id);
    std::vector<RecordId> carried;
    for (RecordId id : heads)
        for (RecordId sub : host::subEntities(db, id)) carried.push_back(sub);
    for (RecordId id : members) {
        if (!db.valid(id) || db.at(id).erased) continue;
        if (std::find(carried.begin(), carried.end(), id) != carried.end()) continue;
        if (std::find(out.begin(), out.end(), id) == out.end()) out.push_back(id);
    }
    return out;
}

}  // namespace

extern "C" {

int ads_draggen(const ads_name set, const char* prompt, int, int (*sample)(ads_point point, ads_matrix matrix),
                ads_point result) {
    if (!theHost() || !membersOf(set) || !sample) return RTERROR;
    Host& h = *theHost();
    std::array<double, 3> from = h.db().variables().point("LASTPOINT");
    std::vector<std::array<double, 3>> track;
    Reading r = readInput(prompt, false, [&](const std::string& text, int) {
        std::vector<std::array<double, 3>> points;
        std::array<double, 3> last = from;
        for (const std::string& part : splitPoints(text)) {
            auto p = host::parsePointText(part, &last);
            if (!p) {
                h.print("Invalid point.\n");
                return false;
            }
            points.push_back(*p);
            last = *p;
        }
        track = std::move(points);
        return true;
    });
    if (r.outcome != Outcome::Value) return statusOf(r.outcome);
    for (const auto& p : track) {
        ads_point cursor = {p[0], p[1], p[2]};
        ads_matrix m;
        for (int i = 0; i < 4; ++i)
            for (int j = 0; j < 4; ++j) m[i][j] = i == j ? 1.0 : 0.0;
        int status = sample(cursor, m);
        // RTNONE: the sampler leaves the display as it is; anything else
        // but RTNORM ends the drag.
        if (status != RTNORM && status != RTNONE) return RTERROR;
    }
    const auto& placed = track.back();
    h.db().variables().setPoint("LASTPOINT", placed);
    if (result) {
        result[0] = placed[0];
        result[1] = placed[1];
        result[2] = placed[2];
    }
    return RTNORM;
}

int ads_xformss(const ads_name set, ads_matrix matrix) {
    std::vector<RecordId>* members = membersOf(set);
    if (!members || !matrix) return RTERROR;
    host::Database& db = theHost()->db();
    Matrix m;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) m(i, j) = matrix[i][j];
    std::vector<RecordId> moving = entitiesToMove(db, *members);
    // All or nothing: a set with an entity that cannot take the matrix is
    // left as it is.
    for (RecordId id : moving)
        if (!host::canTransformEntity(db, id, m)) return RTERROR;
    for (RecordId id : moving) host::transformEntity(db, id, m);
    for (RecordId id : moving) host::growDrawingExtents(db, id);
    return RTNORM;
}

}  // extern "C"
