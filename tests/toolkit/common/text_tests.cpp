#include "tk/common/text.h"

#include <gtest/gtest.h>

#include <string>

namespace text = tk::common::text;

namespace {

int sign(int v) { return (v > 0) - (v < 0); }

// The order of the lines of a sorted list: letter case ignored, bytes compared
// as unsigned, a shorter line first when it begins the longer one. Lines of
// many lengths differing at every position (inside and after whole words of
// eight bytes) in case only or in one byte.
TEST(CompareIgnoreCase, DifferencesAtEveryPosition) {
    const std::string base = "Level-0042|Wall-Exterior-North";
    for (std::size_t length = 0; length <= base.size(); ++length) {
        const std::string a = base.substr(0, length);
        EXPECT_EQ(text::compareIgnoreCase(a, a), 0);
        for (std::size_t at = 0; at < length; ++at) {
            std::string caseOnly = a;
            char& c = caseOnly[at];
            if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
            else if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
            EXPECT_EQ(text::compareIgnoreCase(a, caseOnly), 0) << a << " at " << at;

            std::string higher = a;
            higher[at] = '\xe9';  // above every ASCII byte, compared unsigned
            EXPECT_EQ(text::compareIgnoreCase(a, higher), -1) << a << " at " << at;
            EXPECT_EQ(text::compareIgnoreCase(higher, a), 1) << a << " at " << at;
        }
        if (length < base.size()) {
            EXPECT_EQ(text::compareIgnoreCase(a, base), -1) << a;
            EXPECT_EQ(text::compareIgnoreCase(base, a), 1) << a;
        }
    }
    // Letters are folded to lower case, so "_" sorts before every letter.
    EXPECT_EQ(sign(text::compareIgnoreCase("LEVEL-0042_A", "level-0042za")), -1);
    EXPECT_EQ(sign(text::compareIgnoreCase("LEVEL-0042_A", "level-0042Ba")), -1);
    EXPECT_EQ(sign(text::compareIgnoreCase("level-00_", "LEVEL-00Z")), -1);
}

}  // namespace
