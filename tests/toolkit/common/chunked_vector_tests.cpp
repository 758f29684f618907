// The chunked line storage of dialog lists, checked against std::vector at
// and around chunk boundaries (chunks of four elements here, so that every
// edge is crossed), and a sorted dialog list of more lines than one chunk.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tk/common/chunked_vector.h"
#include "tk/common/dialog_model.h"
#include "tk/common/text.h"

namespace {

using Small = tk::common::ChunkedVector<std::string, 2>;

std::vector<std::string> contents(const Small& v) { return std::vector<std::string>(v.begin(), v.end()); }

// A text long enough to live outside the string, so that moves that lose
// one show up.
std::string text(int i) { return "element number " + std::to_string(i) + " of the test"; }

TEST(ChunkedVector, InsertsAndErasesLikeAVectorAcrossChunkEdges) {
    for (int size = 0; size <= 9; ++size) {
        for (int at = 0; at <= size; ++at) {
            Small v;
            std::vector<std::string> expected;
            for (int i = 0; i < size; ++i) {
                v.push_back(text(i));
                expected.push_back(text(i));
            }
            v.insert(static_cast<std::size_t>(at), "new");
            expected.insert(expected.begin() + at, "new");
            ASSERT_EQ(contents(v), expected) << "insert at " << at << " of " << size;
            v.erase(static_cast<std::size_t>(at == size ? 0 : at));
            expected.erase(expected.begin() + (at == size ? 0 : at));
            ASSERT_EQ(contents(v), expected) << "erase at " << at << " of " << size;
            ASSERT_EQ(v.size(), expected.size());
            if (!expected.empty()) {
                EXPECT_EQ(v.back(), expected.back());
            }
        }
    }
}

TEST(ChunkedVector, ClearKeepsTheChunksAndCopiesAndMovesKeepTheElements) {
    Small v;
    for (int i = 0; i < 10; ++i) v.push_back(text(i));
    EXPECT_EQ(v.capacity(), 12u);  // three chunks of four

    Small copy(v);
    Small assigned;
    assigned.push_back("replaced");
    assigned = v;
    EXPECT_EQ(contents(copy), contents(v));
    EXPECT_EQ(contents(assigned), contents(v));

    Small moved(std::move(copy));
    EXPECT_EQ(contents(moved), contents(v));
    EXPECT_TRUE(copy.empty());  // what was moved from is left empty
    copy.push_back("usable again");
    EXPECT_EQ(copy.size(), 1u);

    v.clear();
    EXPECT_TRUE(v.empty());
    EXPECT_EQ(v.capacity(), 12u);
    for (int i = 0; i < 5; ++i) v.push_back(text(100 + i));
    EXPECT_EQ(v[4], text(104));
    EXPECT_EQ(contents(moved)[9], text(9));
}

tk::DialogTemplate sortedListTemplate() {
    tk::DialogTemplate t;
    t.resourceId = 1;
    t.caption = "Lists";
    tk::ControlTemplate list;
    list.id = 10;
    list.kind = tk::ControlKind::ListBox;
    list.style = tk::kSorted;
    t.controls.push_back(list);
    return t;
}

// More lines than one chunk, added out of order one by one and then as a
// block: every line lands where the sorted order puts it, equal texts in
// the order they came, and deleting at chunk edges keeps the rest in order.
TEST(DialogModelLists, SortedListsOfManyLinesKeepTheirOrderAcrossChunks) {
    tk::common::DialogModel model(sortedListTemplate());
    std::vector<std::pair<std::string, tk::ItemData>> expected;
    for (int i = 0; i < 2500; ++i) {
        // Every seventh text repeats an earlier one in other letter case.
        std::string t = i % 7 == 3 ? "NAME-" + std::to_string((i * 37) % 1000) : "name-" + std::to_string((i * 37) % 1000);
        const auto data = static_cast<tk::ItemData>(i);
        model.listAdd(10, t, data);
        expected.emplace_back(t, data);
    }
    std::stable_sort(expected.begin(), expected.end(), [](const auto& a, const auto& b) {
        return tk::common::text::compareIgnoreCase(a.first, b.first) < 0;
    });
    ASSERT_EQ(model.listCount(10), 2500);
    for (int i = 0; i < 2500; ++i) {
        ASSERT_EQ(model.listText(10, i), expected[static_cast<std::size_t>(i)].first) << i;
        ASSERT_EQ(model.listData(10, i), expected[static_cast<std::size_t>(i)].second) << i;
    }

    for (int at : {2047, 1024, 1023, 0}) {
        ASSERT_TRUE(model.listDelete(10, at));
        expected.erase(expected.begin() + at);
    }
    ASSERT_TRUE(model.listSetCurrent(10, 1500));
    EXPECT_EQ(model.listCurrent(10), 1500);
    const std::vector<std::string> texts = model.listTexts(10);
    ASSERT_EQ(texts.size(), expected.size());
    for (std::size_t i = 0; i < texts.size(); ++i) ASSERT_EQ(texts[i], expected[i].first) << i;
}

}  // namespace
