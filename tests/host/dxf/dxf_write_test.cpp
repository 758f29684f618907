// Writing DXF: exact round trips, what the host adds for records it made,
// and saves that fail without harming the previous file.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "dxf/dxf.h"

namespace {

using host::Database;
using host::Group;
using host::Record;
namespace dxf = host::dxf;

std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string codes(const Record& r) {
    std::string out;
    for (const Group& g : r.groups) out += std::to_string(g.code) + " ";
    return out;
}

// Every record of two drawings compared group by group, in drawing order.
void expectSameDrawing(const Database& a, const Database& b) {
    ASSERT_EQ(a.tables().size(), b.tables().size());
    for (std::size_t t = 0; t < a.tables().size(); ++t) {
        ASSERT_EQ(a.tables()[t].entries.size(), b.tables()[t].entries.size()) << a.tables()[t].name;
        for (std::size_t i = 0; i < a.tables()[t].entries.size(); ++i) {
            const Record& ra = a.at(a.tables()[t].entries[i]);
            const Record& rb = b.at(b.tables()[t].entries[i]);
            EXPECT_EQ(ra.type, rb.type);
            EXPECT_EQ(codes(ra), codes(rb));
            for (std::size_t g = 0; g < std::min(ra.groups.size(), rb.groups.size()); ++g)
                EXPECT_EQ(ra.groups[g].value, rb.groups[g].value);
        }
    }
    ASSERT_EQ(a.entities().size(), b.entities().size());
    for (std::size_t i = 0; i < a.entities().size(); ++i) {
        const Record& ra = a.at(a.entities()[i]);
        const Record& rb = b.at(b.entities()[i]);
        EXPECT_EQ(ra.type, rb.type);
        EXPECT_EQ(codes(ra), codes(rb));
        EXPECT_EQ(ra.xdata.size(), rb.xdata.size());
    }
    ASSERT_EQ(a.blocks().size(), b.blocks().size());
}

std::string samplePath(const char* name) { return std::string(ZAN_SAMPLES_DIR) + "/demo/" + name; }

TEST(DxfWrite, UnchangedDrawingIsWrittenAsItWasRead) {
    std::string original = slurp(samplePath("demo.dxf"));
    ASSERT_FALSE(original.empty()) << "demo drawing missing";
    auto db = dxf::readText(original, "demo.dxf");
    std::string written = dxf::writeText(*db);
    auto again = dxf::readText(written, "written.dxf");
    expectSameDrawing(*db, *again);
    EXPECT_EQ(dxf::writeText(*again), written);  // writing is stable
}

TEST(DxfWrite, HeaderFollowsSystemVariablesAndKeepsTheRest) {
    auto db = dxf::newDrawing();
    db->variables().setText("CLAYER", "A-WALL");
    db->variables().setInteger("TILEMODE", 0);
    db->header().push_back(host::HeaderVariable{"$UNKNOWNVAR", {{40, "1.25000"}}});
    auto back = dxf::readText(dxf::writeText(*db), "vars.dxf");
    EXPECT_EQ(back->variables().text("CLAYER"), "A-WALL");
    EXPECT_EQ(back->variables().integer("TILEMODE"), 0);
    bool kept = false;
    for (const auto& hv : back->header())
        if (hv.name == "$UNKNOWNVAR") kept = hv.groups.size() == 1 && hv.groups[0].value == "1.25000";
    EXPECT_TRUE(kept);

    // An unchanged variable keeps the exact text it was read with.
    auto text = dxf::writeText(*back);
    EXPECT_NE(text.find("$UNKNOWNVAR\n 40\n1.25000\n"), std::string::npos);
    // The handle seed lies beyond every handle.
    auto at = text.find("$HANDSEED\n  5\n");
    ASSERT_NE(at, std::string::npos);
    at += 14;
    auto seed = host::parseHandle(text.substr(at, text.find('\n', at) - at));
    ASSERT_TRUE(seed);
    EXPECT_GE(*seed, back->nextHandle() - 1);
}

TEST(DxfWrite, ValuesThatWouldBreakLinesAreEscaped) {
    auto db = dxf::newDrawing();
    Record text;
    text.type = "TEXT";
    text.groups = {{8, "0"}, {10, "0.0"}, {20, "0.0"}, {30, "0.0"}, {40, "1.0"}, {1, "two\nlines"}};
    db->addEntity(std::move(text), false);
    dxf::prepareForWrite(*db);
    std::string out = dxf::writeText(*db);
    EXPECT_NE(out.find("\n  1\ntwo^Jlines\n"), std::string::npos);
    EXPECT_NO_THROW(dxf::readText(out, "escaped.dxf"));
}

TEST(DxfWrite, EntityFromGroupListGetsSubclassMarkers) {
    Record line;
    line.type = "LINE";
    line.groups = {{5, "2A"}, {330, "1F"}, {8, "A-WALL"}, {62, "1"}, {10, "0.0"}, {20, "0.0"}, {30, "0.0"},
                   {11, "1.0"}, {21, "1.0"}, {31, "0.0"}};
    EXPECT_TRUE(dxf::normalizeEntity(line));
    EXPECT_EQ(codes(line), "5 330 100 8 62 100 10 20 30 11 21 31 ");
    EXPECT_EQ(line.groups[2].value, "AcDbEntity");
    EXPECT_EQ(line.groups[5].value, "AcDbLine");
    EXPECT_FALSE(dxf::normalizeEntity(line));  // already shaped

    Record arc;
    arc.type = "ARC";
    arc.groups = {{10, "0.0"}, {20, "0.0"}, {40, "1.0"}, {50, "0.0"}, {51, "90.0"}};
    dxf::normalizeEntity(arc);
    EXPECT_EQ(codes(arc), "100 8 100 10 20 40 100 50 51 ");  // a layer is always given
    EXPECT_EQ(arc.groups[6].value, "AcDbArc");

    Record text;
    text.type = "TEXT";
    text.groups = {{8, "T"}, {10, "0.0"}, {20, "0.0"}, {40, "1.0"}, {1, "x"}, {72, "1"}, {11, "0.0"}, {21, "0.0"},
                   {73, "2"}};
    dxf::normalizeEntity(text);
    EXPECT_EQ(codes(text), "100 8 100 10 20 40 1 72 11 21 100 73 ");

    Record layer;
    layer.type = "LAYER";
    layer.groups = {{5, "30"}, {2, "NEW"}, {70, "0"}};
    EXPECT_TRUE(dxf::normalizeTableRecord(layer));
    EXPECT_EQ(codes(layer), "5 100 100 2 70 62 6 ");
}

TEST(DxfWrite, PrepareAddsBlockRecordsApplicationsAndLayers) {
    auto db = dxf::newDrawing();
    // A block defined the way entmake builds one: BLOCK, entities, ENDBLK.
    Record begin, end, circle;
    begin.type = "BLOCK";
    begin.groups = {{8, "0"}, {2, "arrow"}, {70, "0"}, {10, "0.0"}, {20, "0.0"}, {30, "0.0"}};
    end.type = "ENDBLK";
    end.groups = {{8, "0"}};
    host::RecordId b = db->add(std::move(begin));
    host::RecordId e = db->add(std::move(end));
    host::BlockDefinition& def = db->addBlock("arrow", b, e);
    circle.type = "CIRCLE";
    circle.groups = {{8, "0"}, {10, "0.0"}, {20, "0.0"}, {30, "0.0"}, {40, "1.0"}};
    db->addBlockEntity(def, std::move(circle));
    Record insert;
    insert.type = "INSERT";
    insert.groups = {{8, "NEW-LAYER"}, {2, "arrow"}, {10, "0.0"}, {20, "0.0"}, {30, "0.0"}};
    insert.xdata = {{1001, "TUV_1001001"}, {1000, "TUV_Version_Number"}, {1000, "000.001.B"}};
    host::RecordId ins = db->addEntity(std::move(insert), false);

    dxf::prepareForWrite(*db);
    host::RecordId br = db->findEntry("BLOCK_RECORD", "arrow");
    ASSERT_NE(br, host::kNoRecord);
    EXPECT_EQ(db->at(b).text(330), host::formatHandle(db->at(br).handle));
    EXPECT_NE(db->findEntry("APPID", "TUV_1001001"), host::kNoRecord);
    EXPECT_NE(db->findEntry("LAYER", "NEW-LAYER"), host::kNoRecord);
    std::string modelRecord(db->at(db->modelSpace().begin).text(330));
    EXPECT_EQ(db->at(ins).text(330), modelRecord);

    auto back = dxf::readText(dxf::writeText(*db), "made.dxf");
    ASSERT_NE(back->block("ARROW"), nullptr);
    EXPECT_EQ(back->block("arrow")->entities.size(), 1u);
    EXPECT_EQ(back->at(back->entities()[0]).xdataOf("TUV_1001001").size(), 3u);
}

// Thousands of entities on layers the table lacks, each name in two
// spellings: each layer is added once, spelled as its first entity spells
// it, and a second save adds nothing.
TEST(DxfWrite, PrepareAddsEachMissingLayerOnce) {
    auto db = dxf::newDrawing();
    for (int i = 0; i < 3000; ++i) {
        Record line;
        line.type = "LINE";
        std::string name = "L" + std::to_string(i % 1500) + (i < 1500 ? "-WALL" : "-wall");
        line.groups = {{8, name}, {10, "0.0"}, {20, "0.0"}, {30, "0.0"}, {11, "1.0"}, {21, "0.0"}, {31, "0.0"}};
        db->addEntity(std::move(line), false);
    }
    std::size_t before = db->table("LAYER")->entries.size();
    dxf::prepareForWrite(*db);
    EXPECT_EQ(db->table("LAYER")->entries.size(), before + 1500);
    ASSERT_NE(db->findEntry("LAYER", "l1499-wall"), host::kNoRecord);
    EXPECT_EQ(db->at(db->findEntry("LAYER", "l7-wall")).text(2), "L7-WALL");
    // In the order the entities first use them, so that a save is the same
    // every time.
    EXPECT_EQ(db->at(db->table("LAYER")->entries[before]).text(2), "L0-WALL");
    EXPECT_EQ(db->at(db->table("LAYER")->entries[before + 1]).text(2), "L1-WALL");
    // A drawing made whole by the first save is not changed by the second.
    std::uint64_t revision = db->revision();
    dxf::prepareForWrite(*db);
    EXPECT_EQ(db->table("LAYER")->entries.size(), before + 1500);
    EXPECT_EQ(db->revision(), revision);
}

TEST(DxfWrite, ErasedRecordsAreLeftOut) {
    auto db = dxf::readText(dxf::writeText(*dxf::newDrawing()), "new.dxf");
    Record point;
    point.type = "POINT";
    point.groups = {{8, "0"}, {10, "1.0"}, {20, "1.0"}, {30, "0.0"}};
    host::RecordId id = db->addEntity(point, false);
    db->addEntity(point, false);
    db->erase(id);
    dxf::prepareForWrite(*db);
    auto back = dxf::readText(dxf::writeText(*db), "erased.dxf");
    EXPECT_EQ(back->entities().size(), 1u);
}

// A table's entry count is a 16-bit group: a table of more entries than it
// can say is still written so that it reads back whole.
TEST(DxfWrite, ATableOfMoreEntriesThanA16BitCountReadsBack) {
    auto db = dxf::newDrawing();
    for (int i = 0; i < 70000; ++i) {
        Record layer;
        layer.type = "LAYER";
        layer.groups = {{100, "AcDbSymbolTableRecord"}, {100, "AcDbLayerTableRecord"}, {2, "L" + std::to_string(i)},
                        {70, "0"}, {62, "7"}, {6, "Continuous"}};
        db->addEntry("LAYER", std::move(layer));
    }
    dxf::prepareForWrite(*db);
    auto back = dxf::readText(dxf::writeText(*db), "many.dxf");
    EXPECT_EQ(back->table("LAYER")->entries.size(), db->table("LAYER")->entries.size());
    EXPECT_EQ(back->at(back->table("LAYER")->head).integer(70), 32767);
}

TEST(DxfWrite, R12DrawingStaysR12) {
    std::string r12 = "0\nSECTION\n2\nHEADER\n9\n$ACADVER\n1\nAC1009\n0\nENDSEC\n0\nSECTION\n2\nENTITIES\n"
                      "0\nLINE\n8\nWALL\n10\n0\n20\n0\n11\n1\n21\n1\n0\nENDSEC\n0\nEOF\n";
    auto db = dxf::readText(r12, "r12.dxf");
    Record made;
    made.type = "POINT";
    made.groups = {{330, "1F"}, {100, "AcDbEntity"}, {8, "0"}, {100, "AcDbPoint"}, {10, "1.0"}, {20, "1.0"}};
    db->addEntity(std::move(made), false);
    dxf::prepareForWrite(*db);
    std::string out = dxf::writeText(*db);
    EXPECT_EQ(out.find("AcDb"), std::string::npos);  // no subclass markers in R12
    EXPECT_EQ(out.find("BLOCK_RECORD"), std::string::npos);
    auto back = dxf::readText(out, "r12-out.dxf");
    EXPECT_EQ(back->version(), "AC1009");
    EXPECT_EQ(back->entities().size(), 2u);
}

class DxfSave : public ::testing::Test {
protected:
    std::string dir;
    void SetUp() override {
        std::string pattern = ::testing::TempDir() + "/dxfsave-XXXXXX";
        dir = ::mkdtemp(pattern.data());
    }
    void TearDown() override { std::filesystem::remove_all(dir); }
};

TEST_F(DxfSave, FailedSaveLeavesThePreviousFile) {
    std::string path = dir + "/keep.dxf";
    std::ofstream(path) << "previous content";

    auto db = dxf::newDrawing();
    for (int i = 0; i < 2000; ++i) {
        Record line;
        line.type = "LINE";
        line.groups = {{8, "0"}, {10, "0.0"}, {20, "0.0"}, {11, "1.0"}, {21, "1.0"}};
        db->addEntity(std::move(line), false);
    }
    // Let writing fail part way: a file size limit makes write() refuse.
    struct rlimit old {};
    ::getrlimit(RLIMIT_FSIZE, &old);
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = 4096;
    ::setrlimit(RLIMIT_FSIZE, &small);
    std::string error;
    bool saved = dxf::saveDrawing(*db, path, &error);
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(saved);
    EXPECT_NE(error.find("keep.dxf: cannot write"), std::string::npos) << error;
    EXPECT_EQ(slurp(path), "previous content");

    // No temporary file is left behind.
    for (const auto& entry : std::filesystem::directory_iterator(dir))
        EXPECT_EQ(entry.path().filename(), "keep.dxf");

    // A target that must not be replaced (a directory) is refused and named.
    std::string sub = dir + "/adir";
    ::mkdir(sub.c_str(), 0755);
    EXPECT_FALSE(dxf::saveDrawing(*db, sub, &error));
    EXPECT_NE(error.find("adir: not a regular file"), std::string::npos) << error;
    EXPECT_FALSE(dxf::saveDrawing(*db, dir + "/missing/x.dxf", &error));

    // A save that succeeds replaces the file and keeps its permissions.
    ::chmod(path.c_str(), 0640);
    EXPECT_TRUE(dxf::saveDrawing(*db, path, &error)) << error;
    struct stat st {};
    ::stat(path.c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(dxf::readFile(path)->entities().size(), 2000u);
}

}  // namespace
