// Group lists move their groups by copying bytes; these check that every
// edit keeps each group (short and long texts alike) exactly, also when the
// new groups come from the list itself.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "db/group.h"

namespace {

using host::Group;
using host::GroupList;

std::string longText(int i) { return "a text longer than fits inside a group #" + std::to_string(i); }

std::vector<std::string> values(const GroupList& list) {
    std::vector<std::string> out;
    for (const Group& g : list) out.push_back(std::to_string(g.code) + "=" + g.value.str());
    return out;
}

// The same edits on a list and on a plain vector give the same groups.
TEST(GroupList, EditsMatchAPlainVector) {
    GroupList list;
    std::vector<std::string> expect;
    auto add = [&](int code, const std::string& v) {
        list.emplace_back(code, v);
        expect.push_back(std::to_string(code) + "=" + v);
    };
    for (int i = 0; i < 40; ++i) add(i, i % 3 ? std::to_string(i) : longText(i));  // grows past several capacities
    EXPECT_EQ(values(list), expect);

    list.insert(list.begin() + 5, Group(999, longText(999)));
    expect.insert(expect.begin() + 5, "999=" + longText(999));
    list.insert(list.begin(), {Group(1, "x"), Group(2, longText(2))});
    expect.insert(expect.begin(), {"1=x", "2=" + longText(2)});
    list.erase(list.begin() + 10, list.begin() + 20);
    expect.erase(expect.begin() + 10, expect.begin() + 20);
    list.erase(list.end() - 1);
    expect.pop_back();
    list.erase(std::remove_if(list.begin(), list.end(), [](const Group& g) { return g.code % 2 == 0; }), list.end());
    expect.erase(std::remove_if(expect.begin(), expect.end(),
                                [](const std::string& s) { return std::stoi(s) % 2 == 0; }),
                 expect.end());
    EXPECT_EQ(values(list), expect);
    list.clear();
    EXPECT_TRUE(list.empty());
    list.emplace_back(0, "again");
    EXPECT_EQ(values(list), std::vector<std::string>{"0=again"});
}

// Items taken from the list itself stay valid while the list grows and opens gaps.
TEST(GroupList, AddsItsOwnItems) {
    GroupList list{{1, longText(1)}, {2, "two"}, {3, longText(3)}, {4, "four"}};
    list.reserve(list.size());  // full: the next add moves the storage
    list.push_back(list[0]);
    list.emplace_back(list[2]);
    list.insert(list.begin(), list[3]);
    list.insert(list.begin() + 1, list.begin() + 1, list.begin() + 4);  // a range of itself, at its own start
    EXPECT_EQ(values(list),
              (std::vector<std::string>{"4=four", "1=" + longText(1), "2=two", "3=" + longText(3), "1=" + longText(1),
                                        "2=two", "3=" + longText(3), "4=four", "1=" + longText(1), "3=" + longText(3)}));
}

// Copies are deep and moves leave the source empty; equality compares groups.
TEST(GroupList, CopiesMovesAndEquality) {
    GroupList a{{8, "A-WALL"}, {1, longText(7)}};
    GroupList b = a;
    EXPECT_TRUE(a == b);
    b[1].value = "changed";
    EXPECT_EQ(a[1].value, longText(7));
    EXPECT_FALSE(a == b);
    GroupList c = std::move(b);
    EXPECT_TRUE(b.empty());  // NOLINT: the moved-from state is part of the contract
    EXPECT_EQ(c[1].value, "changed");
    c = a;
    EXPECT_TRUE(c == a);
    c = GroupList{};
    EXPECT_TRUE(c.empty());
    std::vector<GroupList> lists(3, a);  // lists of lists keep their groups through reallocation
    for (int i = 0; i < 50; ++i) lists.push_back(a);
    for (const GroupList& l : lists) EXPECT_TRUE(l == a);
    EXPECT_EQ(sizeof(GroupList), 16u);
}

}  // namespace
