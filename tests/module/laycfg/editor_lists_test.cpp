// The editor's sorted lists are filled in one block, ordered by the module
// before the list sees them: that order must be the list's own (letters
// without case, byte by byte, equal texts in the order they came), also
// where texts agree in their first eight or sixteen bytes or end there.
#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "fixture.h"
#include "laycfg/editor_dialog.h"
#include "resources/dialog_templates.h"
#include "shell/state.h"
#include "tk/common/text.h"
#include "tk/dialog.h"

namespace zan::test {
namespace {

using Lines = std::vector<std::pair<std::string, tk::ItemData>>;

// A dialog with one list that keeps lines in the order they are added.
class PlainList : public tk::Dialog {
public:
    static constexpr int kList = 10;
    PlainList() : tk::Dialog(makeTemplate()) {}

private:
    static tk::DialogTemplate makeTemplate() {
        tk::DialogTemplate t;
        t.resourceId = 1;
        t.caption = "Plain";
        tk::ControlTemplate list;
        list.id = kList;
        list.kind = tk::ControlKind::ListBox;
        t.controls.push_back(list);
        return t;
    }
};

Lines stableSorted(Lines lines) {
    std::stable_sort(lines.begin(), lines.end(), [](const auto& a, const auto& b) {
        return tk::common::text::compareIgnoreCase(a.first, b.first) < 0;
    });
    return lines;
}

Lines shown(const tk::Dialog& dialog, int list) {
    Lines out;
    const std::vector<std::string> texts = dialog.listTexts(list);
    for (std::size_t i = 0; i < texts.size(); ++i)
        out.emplace_back(texts[i], dialog.listData(list, static_cast<int>(i)));
    return out;
}

class EditorLists : public ModuleState {};

TEST_F(EditorLists, BlocksOfLinesComeInTheListsOwnOrder) {
    // Texts that agree up to the eighth or sixteenth byte or end there,
    // letters against the bytes between the cases ('_' sorts before every
    // letter once letters are folded), bytes above 127, equal texts in
    // both cases, and an embedded zero byte against a shorter text.
    const std::vector<std::string> texts = {
        "abcdefgh",         "ABCDEFGH",          "abcdefg",           "abcdefgh_",          "abcdefghZ",
        "abcdefghijklmnop", "ABCDEFGHIJKLMNOP",  "abcdefghijklmno",   "abcdefghijklmnopq",  "abcdefghijklmnoP",
        "abcdefghijklmnopA","abcdefghijklmnop_", "abcdefghijklmnop\xc3\x84", "abcdefghijklmnoq", "a_",
        "aB",               "A[",                "a`",                "\xc3\xa4x",          "Zeta",
        "zeta",             "",                  std::string("ab\0", 3), "ab",               "L0001-WALL13",
        "L0001-WALL1",      "L0001-WALL10",      "l0001-wall13",      "L0001-POCHE12",      "L0001-POCHE1",
    };
    Lines lines;
    for (std::size_t i = 0; i < texts.size(); ++i) lines.emplace_back(texts[i], static_cast<tk::ItemData>(i + 1));

    PlainList plain;
    ASSERT_TRUE(plain.openModeless(zan::state().hostMainWindow));
    addLinesSorted(plain, PlainList::kList, lines);
    EXPECT_EQ(shown(plain, PlainList::kList), stableSorted(lines));

    // Already in order (the module then skips sorting), and in reverse.
    PlainList again;
    ASSERT_TRUE(again.openModeless(zan::state().hostMainWindow));
    Lines reversed = stableSorted(lines);
    std::reverse(reversed.begin(), reversed.end());
    addLinesSorted(again, PlainList::kList, stableSorted(lines));
    addLinesSorted(again, PlainList::kList, reversed);
    Lines both = stableSorted(lines);
    const Lines second = stableSorted(reversed);
    both.insert(both.end(), second.begin(), second.end());
    EXPECT_EQ(shown(again, PlainList::kList), both);
}

}  // namespace
}  // namespace zan::test
