// The insert command's argument list for the four combinations of the
// automatic rotation and automatic scaling options.
#include <gtest/gtest.h>

#include <cstdio>

#include "support/session_harness.h"
#include "symbols/insert_command_list.h"

namespace zan::test {
namespace {

std::string describe(const resbuf* list) {
    std::string out;
    for (; list; list = list->rbnext) {
        if (!out.empty()) out += ' ';
        if (list->restype == RTSTR) {
            out += std::string("'") + list->resval.rstring + "'";
        } else if (list->restype == RTREAL) {
            char buffer[32];
            std::snprintf(buffer, sizeof buffer, "%g", list->resval.rreal);
            out += buffer;
        } else {
            out += "?" + std::to_string(list->restype);
        }
    }
    return out;
}

TEST(InsertCommandList, EachOptionCombinationPresetsItsValuesAndPausesForTheRest) {
    SessionHarness h(false);  // the host that makes the lists
    InsertPresets none;
    EXPECT_EQ(describe(buildInsertCommand("door", none).get()), "'Insert' 'door' '\\' '\\' '\\' '\\'");

    InsertPresets rotation;
    rotation.rotation = 90.0f;
    EXPECT_EQ(describe(buildInsertCommand("door", rotation).get()), "'Insert' 'door' 'r' 90 '\\' '\\' '\\'");

    InsertPresets scale;
    scale.scale = ScaleAndRotation{2.0f, 3.0f, 4.0f, 0.0f};
    EXPECT_EQ(describe(buildInsertCommand("door", scale).get()),
              "'Insert' 'door' 'x' 2 'y' 3 'z' 4 '\\' '\\'");

    InsertPresets both = scale;
    both.rotation = 45.0f;
    // A block name with a blank stays one argument.
    EXPECT_EQ(describe(buildInsertCommand("big door", both).get()),
              "'Insert' 'big door' 'r' 45 'x' 2 'y' 3 'z' 4 '\\'");
}

}  // namespace
}  // namespace zan::test
