// ZANLeader: a leader drawn segment by segment as host lines, with the
// "arrow" block inserted at its last point and turned along the last segment.
#include <cmath>
#include <numbers>

#include "ads/adslib.h"
#include "shell/command_echo.h"
#include "shell/commands.h"
#include "shell/tolerance.h"

namespace zan {

namespace {

// Object snaps are off while the module draws (OSMODE 0), so that the
// points the user gave are used as they are.
class SnapsOff {
public:
    SnapsOff() {
        saved_ = ads_newrb(RTSHORT);
        off_ = ads_newrb(RTSHORT);
        if (!saved_ || !off_ || ads_getvar("OSMODE", saved_) != RTNORM) {
            ads_printf("Could not allocate space for resbuf.\n");
            release();
            return;
        }
        off_->resval.rint = 0;
        ads_setvar("OSMODE", off_);
    }
    ~SnapsOff() {
        if (saved_) ads_setvar("OSMODE", saved_);
        release();
    }
    SnapsOff(const SnapsOff&) = delete;
    SnapsOff& operator=(const SnapsOff&) = delete;

private:
    void release() {
        if (saved_) ads_relrb(saved_);
        if (off_) ads_relrb(off_);
        saved_ = off_ = nullptr;
    }
    resbuf* saved_ = nullptr;
    resbuf* off_ = nullptr;
};

constexpr double kDegreesPerRadian = 57.29577951;

// The direction from `from` to `to` in degrees, 0 to 360.
double directionInDegrees(const ads_point from, const ads_point to) {
    double angle = std::atan2(to[Y] - from[Y], to[X] - from[X]);
    if (CompareWithTolerance(angle, 0.0) == 0)
        angle = 0.0;
    else if (angle < -kCompareTolerance)
        angle += 2 * std::numbers::pi;
    return angle * kDegreesPerRadian;
}

}  // namespace

int leaderCommand() {
    ads_point current;
    if (ads_getpoint(nullptr, "Enter beginning point of leader.\n", current) != RTNORM) {
        ads_printf("Function Cancled.\n");
        return RTNORM;
    }
    ads_point segmentStart;
    bool drewSegment = false;
    while (true) {
        ads_point next;
        int status = ads_getpoint(current, "Next point, <return to end>.\n", next);
        if (status == RTNONE) break;
        if (status != RTNORM) {
            ads_printf("Function Cancled.\n");
            return RTNORM;
        }
        {
            SnapsOff snapsOff;
            CommandEchoOff echoOff;
            ads_command(RTSTR, "line", RT3DPOINT, current, RT3DPOINT, next, RTSTR, "", 0);
        }
        ads_point_set(current, segmentStart);
        ads_point_set(next, current);
        drewSegment = true;
    }
    // Without a segment the arrow keeps the drawing's zero direction.
    double angle = drewSegment ? directionInDegrees(segmentStart, current) : 0.0;
    SnapsOff snapsOff;
    CommandEchoOff echoOff;
    if (ads_command(RTSTR, "insert", RTSTR, "arrow", RT3DPOINT, current, RTSTR, "", RTSTR, "", RTREAL, angle, 0) !=
        RTNORM)
        ads_printf(
            "ERROR: inserting arrowhead symbol.  Be sure to check directory of arrowhead block.\n");
    return RTNORM;
}

}  // namespace zan
