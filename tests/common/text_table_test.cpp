#include "text/text_table.h"

#include <gtest/gtest.h>

#include <string>

// Keys of every length up to past a word, the empty key and keys that differ
// only in their last byte, through several growths of the table: each keeps
// its own value, and a key never added is not found.
TEST(TextTable, KeysKeepTheirValuesThroughGrowth) {
    ascii::TextTable<int> table;
    EXPECT_TRUE(table.empty());
    EXPECT_EQ(table.find("A"), nullptr);
    auto key = [](int i) { return std::string(static_cast<std::size_t>(i % 19), 'K') + std::to_string(i); };
    for (int i = 0; i < 3000; ++i) table[key(i)] = i;
    table[""] = -1;
    table["L0001-"] += 5;
    table["L0001-"] += 5;
    EXPECT_EQ(table.size(), 3002u);
    for (int i = 0; i < 3000; ++i) {
        const int* value = table.find(key(i));
        ASSERT_NE(value, nullptr) << i;
        EXPECT_EQ(*value, i);
    }
    ASSERT_NE(table.find(""), nullptr);
    EXPECT_EQ(*table.find(""), -1);
    EXPECT_EQ(*table.find("L0001-"), 10);
    EXPECT_EQ(table.find("L0001"), nullptr);
    EXPECT_EQ(table.find("L0001-X"), nullptr);
    EXPECT_EQ(table.find("l0001-"), nullptr);  // exact: the caller folds the case
}
