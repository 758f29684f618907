// Where a drawing keeps its records: the handle index, the record store and
// the arena the file reader takes group lists from.
#include <gtest/gtest.h>

#include <cstring>

#include <memory>
#include <string>
#include <vector>

#include "db/database.h"
#include "db/group_arena.h"
#include "db/handle_index.h"
#include "db/name_index.h"
#include "db/record_store.h"
#include "db/zeroed_array.h"
#include "dxf/dxf.h"

namespace {

using host::Database;
using host::GroupArena;
using host::GroupList;
using host::HandleIndex;
using host::Record;

TEST(HandleIndex, DenseScatteredAndReplacedHandles) {
    HandleIndex index;
    for (std::uint32_t h = 1; h <= 5000; ++h) index.set(h, h + 10);
    index.set(0xFFFFFFFFFFFFFFFFull, 7);  // far beyond: kept aside
    index.set(300000, 8);                 // aside now, moved in as the table grows
    for (std::uint32_t h = 5001; h <= 80000; ++h) index.set(h, 1);
    index.set(42, 99);  // a later id replaces an earlier one
    EXPECT_EQ(index.find(1), 11u);
    EXPECT_EQ(index.find(42), 99u);
    EXPECT_EQ(index.find(80000), 1u);
    EXPECT_EQ(index.find(80001), 0u);
    EXPECT_EQ(index.find(0xFFFFFFFFFFFFFFFFull), 7u);
    EXPECT_EQ(index.find(0xFFFFFFFFFFFFFFFEull), 0u);
    EXPECT_EQ(index.find(300000), 8u);
    EXPECT_EQ(index.find(0), 0u);
}

// Grown an element at a time and in leaps, from the heap into a mapping of
// its own and on through moves of that mapping: what was written stays,
// every new element is zero (also where the storage had room already).
TEST(ZeroedArray, KeepsWhatWasWrittenAndAddsZeros) {
    host::ZeroedArray<std::uint64_t> array;
    std::size_t filled = 0;
    auto check = [&](std::size_t count) {
        array.growTo(count);
        ASSERT_EQ(array.size(), std::max(count, filled));
        for (std::size_t i = 0; i < array.size(); ++i)
            ASSERT_EQ(array[i], i < filled ? i * 7 + 1 : 0u) << "element " << i << " of " << array.size();
        for (std::size_t i = filled; i < array.size(); ++i) array[i] = i * 7 + 1;
        filled = array.size();
    };
    for (std::size_t count = 1; count < 100; ++count) check(count);
    // Around 256 KB (where the storage leaves the heap) and on to 48 MB.
    for (std::size_t count : {32767u, 32768u, 32769u, 65535u, 65536u, 65537u, 1000000u, 6291456u}) check(count);
    check(10);  // no shrinking
    EXPECT_EQ(array.size(), 6291456u);

    host::ZeroedArray<std::uint64_t> other;
    other.swap(array);
    EXPECT_EQ(other[6291455], 6291455u * 7 + 1);
    EXPECT_TRUE(array.empty());
    other.clear();
    EXPECT_TRUE(other.empty());
    other.growTo(5);
    EXPECT_EQ(other[4], 0u);
}

// Texts up to the inline capacity and just beyond it, kept as given
// whatever is assigned after.
TEST(GroupText, ShortAndLongTextsAtTheInlineBoundary) {
    for (std::size_t n : {std::size_t{0}, std::size_t{1}, std::size_t{11}, std::size_t{12}, std::size_t{13},
                          std::size_t{40}, std::size_t{5000}}) {
        std::string text(n, 'x');
        for (std::size_t i = 0; i < n; ++i) text[i] = static_cast<char>('a' + i % 26);
        host::GroupText g(text);
        EXPECT_EQ(g.view(), text);
        EXPECT_EQ(g.c_str()[n], '\0');
        host::GroupText copy = g;
        g = "short";
        EXPECT_EQ(copy.view(), text);
        copy = copy.view().substr(n / 2);  // from inside itself
        EXPECT_EQ(copy.view(), text.substr(n / 2));
        host::GroupText moved = std::move(copy);
        EXPECT_EQ(moved.view(), text.substr(n / 2));
    }
}

// A drawing read from a file shares the copy of a long text repeated on
// many records; changing it on one record leaves the others as they were,
// and the drawing's texts outlive the drawing in the records copied from it.
TEST(GroupText, SharedLongTextsOfADrawingChangeOnlyWhereAssigned) {
    std::string text =
        "0\nSECTION\n2\nENTITIES\n"
        "0\nLINE\n5\n10\n100\nAcDbBlockReference\n8\nA-VERY-LONG-LAYER-NAME\n"
        "0\nLINE\n5\n11\n100\nAcDbBlockReference\n8\nA-VERY-LONG-LAYER-NAME\n"
        "0\nENDSEC\n0\nEOF\n";
    Record kept;
    {
        auto db = host::dxf::readText(text, "shared.dxf");
        ASSERT_EQ(db->entities().size(), 2u);
        host::RecordId first = db->entities()[0], second = db->entities()[1];
        EXPECT_EQ(db->at(first).text(8).data(), db->at(second).text(8).data());  // one copy
        EXPECT_TRUE(GroupArena::owns(db->at(first).text(8).data()));
        db->modify(first, [](Record& r) {
            r.set(8, "B-ANOTHER-LONG-LAYER-NAME");
            r.find(100)->value = "AcDbLine";
        });
        EXPECT_EQ(db->at(first).text(8), "B-ANOTHER-LONG-LAYER-NAME");
        EXPECT_EQ(db->at(second).text(8), "A-VERY-LONG-LAYER-NAME");
        EXPECT_EQ(db->at(second).text(100), "AcDbBlockReference");
        kept = db->at(second);
    }
    EXPECT_EQ(kept.text(8), "A-VERY-LONG-LAYER-NAME");
    EXPECT_FALSE(GroupArena::owns(kept.text(8).data()));
}

TEST(RecordStore, RecordsKeepTheirPlaceAsTheDrawingGrows) {
    Database db;
    Record first;
    first.type = "POINT";
    host::RecordId id = db.add(first);
    const Record* where = &db.at(id);
    for (int i = 0; i < 10000; ++i) db.add(first);
    EXPECT_EQ(&db.at(id), where);
    EXPECT_EQ(db.recordCount(), 10002u);  // with the "no record" at 0
    EXPECT_EQ(db.findByHandle(db.at(id).handle), id);
}

// Records made in a run of arena storage are stored where they stand,
// whatever the store held before (a block partly filled, just full, one
// short of full), and records stored after them go into the run's room and
// on into new blocks.
TEST(RecordStore, RunsAreTakenOverWhereTheyStandAndGrownAfter) {
    for (std::size_t before : {0u, 1u, 1023u, 1024u, 1500u, 2047u}) {
        for (std::size_t count : {0u, 1u, 548u, 1023u, 1024u, 1025u, 3000u}) {
            GroupArena arena;
            const std::size_t bytes = (count + host::RecordStore::kRunRoom) * sizeof(Record);
            auto* run = reinterpret_cast<Record*>(arena.reserveRun(bytes));
            if (!run) GTEST_SKIP() << "no arena address space (a memory checker)";
            arena.keepRun(reinterpret_cast<char*>(run), bytes, bytes);
            host::RecordStore store(arena);
            auto made = [](std::size_t n) {
                Record r;
                r.handle = n;
                r.type = "R" + std::to_string(n);
                return r;
            };
            std::size_t n = 0;
            for (; n < before; ++n) store.push_back(made(n));
            for (std::size_t i = 0; i < count; ++i) new (run + i) Record(made(n + i));
            store.adopt(run, count);
            n += count;
            for (std::size_t i = 0; i < 2100; ++i, ++n) store.push_back(made(n));
            ASSERT_EQ(store.size(), n);
            for (std::size_t i = 0; i < n; ++i) {
                ASSERT_EQ(store[i].handle, i) << before << " before, " << count << " taken over";
                ASSERT_EQ(store[i].type.view(), "R" + std::to_string(i));
            }
            // Past the first block they were not moved: they are still in the run.
            for (std::size_t i = before + 1024; i < before + count; ++i) ASSERT_EQ(&store[i], run + (i - before));
        }
    }
}

TEST(GroupArena, ListsComeFromTheArenaOnlyInsideAScope) {
    GroupArena arena;
    GroupList outside;
    outside.reserve(4);
    EXPECT_FALSE(GroupArena::owns(outside.data()));
    GroupList inside;
    {
        GroupArena::Scope scope(arena);
        inside.reserve(4);
        GroupList huge;
        huge.reserve(1 << 20);  // too big for a block: the heap
        EXPECT_FALSE(GroupArena::owns(huge.data()));
    }
    EXPECT_TRUE(GroupArena::owns(inside.data()) || arena.blockCount() == 0);
    // A list that grows after the scope moves to the heap; a copy is the heap's.
    inside.emplace_back(8, "A-WALL");
    for (int i = 0; i < 10; ++i) inside.emplace_back(10, "1.0");
    EXPECT_FALSE(GroupArena::owns(inside.data()));
    GroupList copy = inside;
    EXPECT_FALSE(GroupArena::owns(copy.data()));
    EXPECT_EQ(copy[0].value, "A-WALL");
}

// Blocks made ready on the preparing thread are fresh, whole and each
// handed out once, whether the owner takes them faster than they are made or
// not; a preparation inside another leaves the outer one running, and what
// was prepared and not taken is given back when it ends.
TEST(GroupArena, PreparedBlocksAreFreshAndHandedOutOnce) {
    constexpr std::size_t kBlock = std::size_t{2} << 20;
    constexpr std::size_t kPiece = kBlock / 4;  // the largest the arena gives
    GroupArena arena;
    std::vector<unsigned char*> pieces;
    {
        GroupArena::Preparation ahead(arena, 12 * kBlock);
        { GroupArena::Preparation inner(arena, 4 * kBlock); }
        for (int i = 0; i < 16 * 4; ++i) {
            auto* p = static_cast<unsigned char*>(arena.allocate(kPiece));
            ASSERT_NE(p, nullptr);
            EXPECT_EQ(p[0], 0);
            EXPECT_EQ(p[kPiece - 1], 0);
            std::memset(p, i + 1, kPiece);
            pieces.push_back(p);
        }
    }
    // More blocks taken than prepared: the owner took the rest itself.
    EXPECT_EQ(arena.blockCount(), 16u);
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        EXPECT_EQ(pieces[i][0], static_cast<unsigned char>(i + 1)) << "piece " << i << " was handed out twice";
        EXPECT_EQ(pieces[i][kPiece - 1], static_cast<unsigned char>(i + 1));
    }
    // A preparation for more than is taken: one block used, the rest given back.
    GroupArena small;
    {
        GroupArena::Preparation ahead(small, 8 * kBlock);
        ASSERT_NE(small.allocate(64), nullptr);
    }
    EXPECT_EQ(small.blockCount(), 1u);
    // Too little to be worth a thread: blocks are taken as without it.
    GroupArena tiny;
    {
        GroupArena::Preparation ahead(tiny, kBlock);
        EXPECT_NE(tiny.allocate(64), nullptr);
    }
    EXPECT_EQ(tiny.blockCount(), 1u);
}

// A drawing read from a file: its lists come from its arena; what is taken
// from it (copies, changed records) outlives it.
TEST(GroupArena, RecordsCopiedFromADrawingOutliveIt) {
    std::string text = host::dxf::writeText(*host::dxf::newDrawing());
    Record kept;
    {
        auto db = host::dxf::readText(text, "new.dxf");
        host::RecordId layer = db->findEntry("LAYER", "0");
        ASSERT_NE(layer, host::kNoRecord);
        EXPECT_TRUE(GroupArena::owns(db->at(layer).groups.data()));
        db->modify(layer, [](Record& r) {
            for (int i = 0; i < 20; ++i) r.groups.emplace_back(1000, "more than fits before");
        });
        EXPECT_FALSE(GroupArena::owns(db->at(layer).groups.data()));
        kept = db->at(db->findEntry("LAYER", "0"));
        auto again = host::dxf::readText(text, "again.dxf");  // a second drawing beside it
        EXPECT_NE(again->at(again->findEntry("LAYER", "0")).groups.data(), db->at(layer).groups.data());
    }
    EXPECT_EQ(kept.text(2), "0");
    EXPECT_EQ(kept.groups.back().value, "more than fits before");
}

}  // namespace

namespace {

TEST(NameIndex, EntriesFoundByNameWhateverTheLetterCase) {
    Database db;
    auto layer = [&](const char* name) {
        Record r;
        r.type = "LAYER";
        r.groups = {{2, name}, {70, "0"}};
        return db.addEntry("LAYER", std::move(r));
    };
    for (int i = 0; i < 3000; ++i) layer(("L" + std::to_string(i) + "-wall").c_str());
    host::RecordId wall = layer("A-Wall");
    EXPECT_EQ(db.findEntry("LAYER", "a-WALL"), wall);
    EXPECT_EQ(db.findEntry("layer", "L2999-WALL"), wall - 1);
    EXPECT_EQ(db.findEntry("LAYER", "A-Wal"), host::kNoRecord);
    host::RecordId again = layer("A-WALL");  // an entry added later under the name takes it
    EXPECT_EQ(db.findEntry("LAYER", "A-Wall"), again);
    db.erase(again);
    EXPECT_EQ(db.findEntry("LAYER", "A-Wall"), host::kNoRecord);

    // A renamed entry is found by its new name once the table is indexed again.
    db.modify(wall, [](Record& r) { r.set(2, "B-WALL"); });
    db.reindexTable(*db.table("LAYER"));
    EXPECT_EQ(db.findEntry("LAYER", "b-wall"), wall);
    EXPECT_EQ(db.findEntry("LAYER", "L0-WALL"), db.table("LAYER")->entries[0]);
}

// Room made for a count of entries, then more entries than that, one more
// than half the table and across its growth: every one is still found.
TEST(NameIndex, EntriesFoundAfterRoomWasMadeAndOutgrown) {
    std::vector<std::string> names(1);  // ids from 1
    auto nameOf = [&](host::NameIndex::Id id) { return std::string_view(names[id]); };
    host::NameIndex index;
    index.reserve(0);
    index.reserve(1000);  // 2,048 slots: room for 1,024 entries
    for (int i = 1; i <= 1025; ++i) {
        names.push_back("N" + std::to_string(i));
        index.insert(names.back(), static_cast<host::NameIndex::Id>(i), false, nameOf);
    }
    index.reserve(10);  // no shrinking
    EXPECT_EQ(index.size(), 1025u);
    for (int i = 1; i <= 1025; ++i) ASSERT_EQ(index.find("n" + std::to_string(i), nameOf), static_cast<unsigned>(i));
    EXPECT_EQ(index.find("N1026", nameOf), 0u);
}

TEST(NameIndex, AFileNamingAnEntryTwiceKeepsTheFirst) {
    std::string text =
        "0\nSECTION\n2\nTABLES\n0\nTABLE\n2\nLAYER\n70\n2\n0\nLAYER\n2\nTwice\n70\n0\n62\n1\n0\nLAYER\n2\nTWICE\n"
        "70\n0\n62\n2\n0\nENDTAB\n0\nENDSEC\n0\nEOF\n";
    auto db = host::dxf::readText(text, "twice.dxf");
    host::RecordId found = db->findEntry("LAYER", "twice");
    ASSERT_NE(found, host::kNoRecord);
    EXPECT_EQ(db->at(found).text(62), "1");
}

}  // namespace
