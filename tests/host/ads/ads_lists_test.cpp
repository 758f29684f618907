// The host's heap and the lists it hands out for table entries: blocks
// reused from the heap's free list come back as new ones would, and an
// entry's list holds the same items however its groups are written.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "ads/adslib.h"
#include "db/database.h"
#include "support/session_harness.h"

using zan::test::SessionHarness;

namespace {

struct List {
    resbuf* rb;
    ~List() { ads_relrb(rb); }
};

host::RecordId addUcs(host::Database& db, std::string name, host::GroupList groups) {
    host::Record r;
    r.type = "UCS";
    r.groups = {{100, "AcDbSymbolTableRecord"}, {2, name}, {70, "0"}};
    r.groups.insert(r.groups.end(), groups.begin(), groups.end());
    return db.addEntry("UCS", std::move(r));
}

// "code:value" for each item after the entry's type, points as x,y,z.
std::vector<std::string> itemsOf(const resbuf* list) {
    std::vector<std::string> out;
    for (const resbuf* rb = list; rb; rb = rb->rbnext) {
        std::string value;
        if (rb->restype == 0 || rb->restype == 2) value = rb->resval.rstring;
        else if (rb->restype >= 10 && rb->restype <= 18)
            value = std::to_string(static_cast<int>(rb->resval.rpoint[0])) + "," +
                    std::to_string(static_cast<int>(rb->resval.rpoint[1])) + "," +
                    std::to_string(static_cast<int>(rb->resval.rpoint[2]));
        else if (rb->restype >= 40 && rb->restype <= 59) value = std::to_string(static_cast<int>(rb->resval.rreal));
        else if (rb->restype >= 60 && rb->restype <= 79) value = std::to_string(rb->resval.rint);
        else value = "?";
        out.push_back(std::to_string(rb->restype) + ":" + value);
    }
    return out;
}

}  // namespace

TEST(AdsHeap, ReusedBlocksAreZeroedByCallocAndKeepTheirSizeAndContentWhenGrown) {
    // Small blocks go back to a free list; what comes from it must look new.
    std::vector<void*> blocks;
    for (int i = 0; i < 64; ++i) {
        void* block = acad_malloc(40);
        ASSERT_NE(block, nullptr);
        std::memset(block, 0xAB, 40);
        blocks.push_back(block);
    }
    for (void* block : blocks) acad_free(block);
    for (int i = 0; i < 64; ++i) {
        auto* block = static_cast<unsigned char*>(acad_calloc(5, 8));
        ASSERT_NE(block, nullptr);
        EXPECT_EQ(acad__msize(block), 40u);
        for (int k = 0; k < 40; ++k) ASSERT_EQ(block[k], 0) << "byte " << k;
        blocks[static_cast<std::size_t>(i)] = block;
    }
    for (void* block : blocks) acad_free(block);

    // A short text grown past the small size, then shrunk, keeps its bytes.
    char* text = acad__strdup("level");
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(acad__msize(text), 6u);
    text = static_cast<char*>(acad_realloc(text, 4000));
    ASSERT_NE(text, nullptr);
    EXPECT_STREQ(text, "level");
    EXPECT_EQ(acad__msize(text), 4000u);
    std::memset(text + 6, 'x', 3000);
    text = static_cast<char*>(acad_realloc(text, 8));
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(std::memcmp(text, "level\0xx", 8), 0);
    EXPECT_EQ(acad__msize(text), 8u);
    acad_free(text);
    acad_free(nullptr);
    EXPECT_EQ(acad__msize(nullptr), 0u);
}

TEST(AdsTables, EntryListsMergePointsAcrossTheShownGroupsOnlyAndReadIntegersAsTheParserDoes) {
    SessionHarness h(false);
    host::Database& db = h.db();
    // x, y and z in a row; then a point whose y is missing but whose z
    // follows a group of another kind; then x and y with a handle group
    // (not shown) between them.
    addUcs(db, "ROW", {{10, "1"}, {20, "2"}, {30, "3"}, {11, "4"}, {21, "5"}, {31, "6"}});
    addUcs(db, "GAP", {{12, "7"}, {40, "9"}, {32, "8"}, {13, "1"}});
    addUcs(db, "HIDDEN", {{10, "1"}, {5, "1F"}, {20, "2"}, {30, "3"}});
    // Integer texts with spaces, signs and more digits than a short holds.
    addUcs(db, "NUMBERS", {{71, "  12"}, {72, "+3"}, {73, " -7"}, {74, "1 "}, {75, "x"}, {76, "70000"}});

    List row{ads_tblsearch("UCS", "ROW", 0)};
    EXPECT_EQ(itemsOf(row.rb), (std::vector<std::string>{"0:UCS", "2:ROW", "70:0", "10:1,2,3", "11:4,5,6"}));
    List gap{ads_tblsearch("UCS", "gap", 0)};
    EXPECT_EQ(itemsOf(gap.rb), (std::vector<std::string>{"0:UCS", "2:GAP", "70:0", "12:7,0,8", "40:9", "13:1,0,0"}));
    List hidden{ads_tblsearch("UCS", "HIDDEN", 0)};
    EXPECT_EQ(itemsOf(hidden.rb), (std::vector<std::string>{"0:UCS", "2:HIDDEN", "70:0", "10:1,2,3"}));
    List numbers{ads_tblsearch("UCS", "NUMBERS", 0)};
    EXPECT_EQ(itemsOf(numbers.rb), (std::vector<std::string>{"0:UCS", "2:NUMBERS", "70:0", "71:12", "72:3", "73:-7",
                                                             "74:1", "75:0", "76:" + std::to_string(short(70000))}));

    // The walk gives the same lists as the search, entry by entry, also
    // when another table's walk runs in between.
    int walked = 0;
    for (resbuf* entry = ads_tblnext("ucs", 1); entry != nullptr; entry = ads_tblnext("Ucs", 0)) {
        List owned{entry};
        List layer{ads_tblnext("LAYER", walked == 0)};
        const resbuf* name = entry->rbnext;
        ASSERT_NE(name, nullptr);
        List searched{ads_tblsearch("UCS", name->resval.rstring, 0)};
        EXPECT_EQ(itemsOf(entry), itemsOf(searched.rb));
        ++walked;
    }
    EXPECT_EQ(walked, 4);
    EXPECT_EQ(ads_tblnext("NO SUCH TABLE AT ALL, AND A NAME LONGER THAN ANY TABLE'S", 1), nullptr);
}

TEST(AdsVariables, TheRevisionChangesWithEveryChangeToTheDrawingAndOnlyThen) {
    auto revision = [] {
        resbuf value{};
        EXPECT_EQ(ads_getvar("dbrevision", &value), RTNORM);
        EXPECT_EQ(value.restype, RTSTR);
        std::string text = value.resval.rstring ? value.resval.rstring : "";
        acad_free(value.resval.rstring);
        return text;
    };
    SessionHarness h(false);
    const std::string first = revision();
    // Reading the drawing changes nothing.
    for (resbuf* entry = ads_tblnext("LAYER", 1); entry != nullptr; entry = ads_tblnext("LAYER", 0)) ads_relrb(entry);
    EXPECT_EQ(revision(), first);

    ASSERT_EQ(h.run("-LAYER\nNew\nWALL\n\n"), 0);
    const std::string added = revision();
    EXPECT_NE(added, first);
    ASSERT_EQ(h.run("-LAYER\nFreeze\nWALL\n\n"), 0);
    EXPECT_NE(revision(), added);

    // Another drawing, even one with as many changes, tells a value of its own.
    const std::string before = revision();
    h.session().newDrawing();
    EXPECT_NE(revision(), before);

    // Applications can read it, not set it.
    resbuf text{};
    text.restype = RTSTR;
    text.resval.rstring = const_cast<char*>("1:1");
    EXPECT_EQ(ads_setvar("DBREVISION", &text), RTERROR);
}
