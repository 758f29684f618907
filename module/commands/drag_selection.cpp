#include "commands/drag_selection.h"

#include <cstring>

#include "shell/command_echo.h"
#include "shell/state.h"

namespace zan {

namespace {

// Called by the host for each cursor position: the translation from the
// picked base point to the cursor.
int followCursor(ads_point cursor, ads_matrix matrix) {
    ShellState& s = state();
    for (int row = 0; row < 4; ++row)
        for (int column = 0; column < 4; ++column) matrix[row][column] = row == column ? 1.0 : 0.0;
    for (int axis = 0; axis < 3; ++axis) matrix[axis][3] = cursor[axis] - s.dragPickedPoint[static_cast<std::size_t>(axis)];
    for (int row = 0; row < 4; ++row)
        for (int column = 0; column < 4; ++column)
            s.dragMatrix[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)] = matrix[row][column];
    return RTNORM;
}

bool dragToNewLocation(const ads_name selectionSet) {
    ads_initget(RSG_NONULL, nullptr);
    ads_point placed;
    if (ads_draggen(selectionSet, "Select new location.\n", 0, followCursor, placed) != RTNORM) return false;
    ads_matrix matrix;
    for (int row = 0; row < 4; ++row)
        for (int column = 0; column < 4; ++column)
            matrix[row][column] = state().dragMatrix[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
    return ads_xformss(selectionSet, matrix) == RTNORM;
}

void moveByFixedStep(const ads_name selectionSet) {
    char keyword[ADS_MAX_STRING] = {};
    ads_getinput(keyword);
    ShellState& s = state();
    const std::array<double, 3>& to = std::strcmp(keyword, "Previous") == 0 ? s.dragPointA : s.dragPointB;
    ads_point base = {s.dragBasePoint[0], s.dragBasePoint[1], s.dragBasePoint[2]};
    ads_point second = {to[0], to[1], to[2]};
    CommandEchoOff echoOff;
    ads_command(RTSTR, "move", RTPICKS, selectionSet, RTSTR, "", RT3DPOINT, base, RT3DPOINT, second, 0);
}

}  // namespace

bool dragSelection(const ads_name selectionSet) {
    ads_initget(0, "Previous Invert");
    ads_point base;
    int status = ads_getpoint(nullptr, "Select a base point.\n", base);
    if (status == RTCAN) return false;
    if (status == RTNORM) {
        state().dragPickedPoint = {base[0], base[1], base[2]};
        if (!dragToNewLocation(selectionSet)) return false;
    } else if (status == RTKWORD) {
        moveByFixedStep(selectionSet);
    }
    ads_redraw(nullptr, 0);
    return true;
}

}  // namespace zan
