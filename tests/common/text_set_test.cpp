#include "text/text_set.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

// Texts added one by one and in batches (more than the batch looks ahead,
// with repeats inside and across batches), the empty text and a view
// without data, through growths of the set: each text is added once, in
// the order given, and texts never added are not found.
TEST(TextViewSet, AddsEachTextOnceInTheOrderGiven) {
    std::vector<std::string> texts;
    for (int i = 0; i < 5000; ++i) texts.push_back("L" + std::to_string(i % 3100) + "-WALL");
    texts.emplace_back("");

    ascii::TextViewSet set;
    EXPECT_FALSE(set.contains("L0-WALL"));
    EXPECT_TRUE(set.insert(texts[0]));
    EXPECT_FALSE(set.insert(std::string_view(texts[0])));
    EXPECT_TRUE(set.insert(std::string_view()));  // no data: stored as the empty text
    EXPECT_FALSE(set.insert(""));

    std::vector<std::size_t> added;
    set.insertEach(texts.size(), [&](std::size_t i) -> std::string_view { return texts[i]; },
                   [&](std::size_t i) { added.push_back(i); });
    // texts[0] and "" were in the set already; texts 3100.. repeat earlier ones.
    std::vector<std::size_t> expected;
    for (std::size_t i = 1; i < 3100; ++i) expected.push_back(i);
    EXPECT_EQ(added, expected);
    EXPECT_EQ(set.size(), 3101u);
    for (int i = 0; i < 3100; ++i) EXPECT_TRUE(set.contains("L" + std::to_string(i) + "-WALL")) << i;
    EXPECT_TRUE(set.contains(""));
    EXPECT_FALSE(set.contains("L3100-WALL"));
    EXPECT_FALSE(set.contains("l1-wall"));  // exact: the caller folds the case

    ascii::TextViewSet few;
    std::vector<std::size_t> fewAdded;
    few.insertEach(3, [&](std::size_t i) -> std::string_view { return texts[i % 2]; },
                   [&](std::size_t i) { fewAdded.push_back(i); });
    EXPECT_EQ(fewAdded, (std::vector<std::size_t>{0, 1}));
}
