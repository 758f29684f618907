// Picking entities by point: ads_entsel, and the nested picks ads_nentsel
// and ads_nentselp that reach into block references.
#include <array>

#include "ads/ads_context.h"
#include "ads/input_reading.h"
#include "ads/resbuf_lists.h"
#include "core/command_processor.h"
#include "geometry/pick.h"

using host::RecordId;
using host::Host;
using host::ads::theHost;
using namespace host::ads;

namespace {

// ERRNO values the host sets when a pick returns RTERROR.
constexpr int kErrnoNothingPicked = 7;
constexpr int kErrnoNullInput = 52;

// Reads the pick point at `prompt`; RTNORM with the point, or the status.
int readPick(const char* prompt, std::array<double, 3>& point) {
    Host& h = *theHost();
    Reading r = readInput(prompt ? prompt : "\nSelect object: ", false, [&](const std::string& text, int) {
        auto p = host::parsePointText(text);
        if (!p) {
            h.print("Invalid point.\n");
            return false;
        }
        point = *p;
        return true;
    });
    if (r.outcome == Outcome::None) {
        h.db().variables().setInteger("ERRNO", kErrnoNullInput);
        return RTERROR;
    }
    return statusOf(r.outcome);
}

void copyPoint(const std::array<double, 3>& p, ads_point out) {
    if (!out) return;
    out[0] = p[0];
    out[1] = p[1];
    out[2] = p[2];
}

// A nested pick at the point; RTERROR (ERRNO 7) when nothing is there.
int nestedAt(const std::array<double, 3>& point, host::NestedPick& found) {
    Host& h = *theHost();
    auto pick = host::pickNested(h.db(), host::currentPickView(h.db()), point[0], point[1]);
    if (!pick) {
        h.db().variables().setInteger("ERRNO", kErrnoNothingPicked);
        return RTERROR;
    }
    found = std::move(*pick);
    return RTNORM;
}

// The containing references as a list of entity names, innermost first;
// null for an entity not inside a reference.
resbuf* containerList(const std::vector<RecordId>& containers) {
    resbuf* head = nullptr;
    resbuf** tail = &head;
    for (RecordId id : containers) {
        resbuf* item = host::newResbuf(RTENAME);
        host::makeName(theHost()->db(), id, item->resval.rlname);
        *tail = item;
        tail = &item->rbnext;
    }
    return head;
}

}  // namespace

extern "C" {

int ads_entsel(const char* prompt, ads_name entity, ads_point pickPoint) {
    if (!theHost()) return RTERROR;
    Host& h = *theHost();
    std::array<double, 3> point{};
    int status = readPick(prompt, point);
    if (status != RTNORM) return status;
    RecordId id = host::pickNearest(h.db(), host::currentPickView(h.db()), point[0], point[1]);
    if (id == host::kNoRecord) {
        h.db().variables().setInteger("ERRNO", kErrnoNothingPicked);
        return RTERROR;
    }
    if (entity) host::makeName(h.db(), id, entity);
    copyPoint(point, pickPoint);
    return RTNORM;
}

int ads_nentselp(const char* prompt, ads_name entity, ads_point pickPoint, int pickFlag, ads_matrix xform,
                 struct resbuf** containers) {
    if (!theHost()) return RTERROR;
    if (containers) *containers = nullptr;
    std::array<double, 3> point{};
    if (pickFlag && pickPoint) {
        point = {pickPoint[0], pickPoint[1], pickPoint[2]};
    } else {
        int status = readPick(prompt, point);
        if (status != RTNORM) return status;
    }
    host::NestedPick found;
    if (int status = nestedAt(point, found); status != RTNORM) return status;
    if (entity) host::makeName(theHost()->db(), found.entity, entity);
    copyPoint(point, pickPoint);
    if (xform)
        for (int i = 0; i < 4; ++i)
            for (int j = 0; j < 4; ++j) xform[i][j] = found.toWorld(i, j);
    if (containers) *containers = containerList(found.containers);
    return RTNORM;
}

int ads_nentsel(const char* prompt, ads_name entity, ads_point pickPoint, ads_point xform[4],
                struct resbuf** containers) {
    if (!theHost()) return RTERROR;
    if (containers) *containers = nullptr;
    std::array<double, 3> point{};
    int status = readPick(prompt, point);
    if (status != RTNORM) return status;
    host::NestedPick found;
    if (status = nestedAt(point, found); status != RTNORM) return status;
    if (entity) host::makeName(theHost()->db(), found.entity, entity);
    copyPoint(point, pickPoint);
    // Four points: the images of the X, Y and Z axes, then of the origin
    // (the columns of the 4 x 4 matrix).
    if (xform)
        for (int i = 0; i < 4; ++i)
            for (int j = 0; j < 3; ++j) xform[i][j] = found.toWorld(j, i);
    if (containers) *containers = containerList(found.containers);
    return RTNORM;
}

}  // extern "C"
