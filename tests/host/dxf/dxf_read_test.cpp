// Reading DXF: what is kept, and how bad input is refused.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <set>
#include <string>

#include "dxf/dxf.h"

namespace {

using host::Database;
namespace dxf = host::dxf;

// DXF text from "code value" pairs given one pair per line ("0 SECTION").
std::string pairs(std::initializer_list<std::string> lines) {
    std::string out;
    for (const std::string& l : lines) {
        auto space = l.find(' ');
        out += l.substr(0, space) + "\n" + (space == std::string::npos ? "" : l.substr(space + 1)) + "\n";
    }
    return out;
}

const std::string kSmall = pairs({
    "0 SECTION", "2 HEADER", "9 $ACADVER", "1 AC1027", "9 $CLAYER", "8 A-WALL", "9 $CUSTOMVAR", "70 42",
    "9 $HANDSEED", "5 40", "0 ENDSEC",
    "0 SECTION", "2 TABLES",
    "0 TABLE", "2 LAYER", "5 2", "330 0", "100 AcDbSymbolTable", "70 2",
    "0 LAYER", "5 10", "330 2", "100 AcDbSymbolTableRecord", "100 AcDbLayerTableRecord", "2 0", "70 0", "62 7",
    "6 Continuous",
    "0 LAYER", "5 11", "330 2", "100 AcDbSymbolTableRecord", "100 AcDbLayerTableRecord", "2 A-WALL", "70 1",
    "62 -3", "6 Continuous",
    "0 ENDTAB",
    "0 TABLE", "2 APPID", "5 3", "330 0", "100 AcDbSymbolTable", "70 1",
    "0 APPID", "5 12", "330 3", "100 AcDbSymbolTableRecord", "100 AcDbRegAppTableRecord", "2 ACAD", "70 0",
    "0 ENDTAB",
    "0 ENDSEC",
    "0 SECTION", "2 ENTITIES",
    "0 LINE", "5 20", "100 AcDbEntity", "8 A-WALL", "100 AcDbLine", "10 0.0", "20 0.0", "30 0.0", "11 1.5",
    "21 2.5", "31 0.0", "1001 ACAD", "1000 note", "1002 {", "1003 A-DOOR", "1002 }",
    "0 VIEWPORT", "5 21", "100 AcDbEntity", "67 1", "8 0", "100 AcDbViewport", "10 5.0", "20 5.0", "30 0.0",
    "69 2", "1001 ACAD", "1000 MVIEW", "1002 {", "1070 16", "1002 {", "1003 A-WALL", "1002 }", "1002 }",
    "0 ENDSEC",
    "0 SECTION", "2 OBJECTS", "0 DICTIONARY", "5 C", "330 0", "100 AcDbDictionary", "281 1", "0 ENDSEC",
    "0 EOF",
});

// The error a text raises, or "" when it reads.
std::string readError(const std::string& text, const std::string& name = "bad.dxf") {
    try {
        dxf::readText(text, name);
    } catch (const dxf::Error& e) {
        return e.what();
    }
    return "";
}

TEST(DxfRead, KeepsHeaderTablesEntitiesAndExtendedData) {
    auto db = dxf::readText(kSmall, "small.dxf");
    EXPECT_EQ(db->version(), "AC1027");
    EXPECT_EQ(db->variables().text("CLAYER"), "A-WALL");
    ASSERT_EQ(db->header().size(), 4u);
    EXPECT_EQ(db->header()[2].name, "$CUSTOMVAR");
    EXPECT_EQ(db->header()[2].groups[0].value, "42");

    host::RecordId wall = db->findEntry("LAYER", "a-wall");  // names match without regard to case
    ASSERT_NE(wall, host::kNoRecord);
    EXPECT_EQ(db->at(wall).integer(62), -3);
    EXPECT_EQ(db->at(wall).text(2), "A-WALL");

    ASSERT_EQ(db->entities().size(), 2u);
    const host::Record& line = db->at(db->entities()[0]);
    EXPECT_EQ(line.type, "LINE");
    EXPECT_EQ(line.handle, 0x20u);
    EXPECT_EQ(line.text(11), "1.5");
    EXPECT_EQ(line.xdata.size(), 5u);
    EXPECT_EQ(db->findByHandle(0x20), db->entities()[0]);

    const host::Record& vp = db->at(db->entities()[1]);
    EXPECT_TRUE(db->isPaperSpaceEntity(db->entities()[1]));
    EXPECT_EQ(vp.owner, db->paperSpace().begin);
    EXPECT_EQ(line.owner, db->modelSpace().begin);
    host::GroupList acad = vp.xdataOf("ACAD");
    ASSERT_EQ(acad.size(), 8u);
    EXPECT_EQ(acad[5].code, 1003);
    EXPECT_EQ(acad[5].value, "A-WALL");

    // Handles of later records come after every handle in the file and the seed.
    EXPECT_GE(db->nextHandle(), 0x40u);
}

TEST(DxfRead, PartialFilesGetWhatADrawingNeeds) {
    // Only an ENTITIES section, no header: read as R12.
    auto db = dxf::readText(pairs({"0 SECTION", "2 ENTITIES", "0 LINE", "8 X", "10 0", "20 0", "11 1", "21 1",
                                   "0 ENDSEC", "0 EOF"}),
                            "entities.dxf");
    EXPECT_EQ(db->version(), "AC1009");
    ASSERT_EQ(db->entities().size(), 1u);
    EXPECT_NE(db->at(db->entities()[0]).handle, 0u);  // entities always get a handle
    EXPECT_NE(db->findEntry("LAYER", "0"), host::kNoRecord);
    EXPECT_NE(db->modelSpace().begin, host::kNoRecord);
    EXPECT_NE(db->paperSpace().begin, host::kNoRecord);
}

TEST(DxfRead, RepeatedAndMissingHandlesBecomeUnique) {
    auto db = dxf::readText(pairs({"0 SECTION", "2 HEADER", "9 $ACADVER", "1 AC1015", "0 ENDSEC", "0 SECTION",
                                   "2 ENTITIES", "0 POINT", "5 A0", "8 0", "10 0", "20 0", "0 POINT", "5 A0", "8 0",
                                   "10 1", "20 1", "0 POINT", "8 0", "10 2", "20 2", "0 ENDSEC", "0 EOF"}),
                            "dup.dxf");
    ASSERT_EQ(db->entities().size(), 3u);
    std::set<std::uint64_t> handles;
    for (host::RecordId id : db->entities()) {
        const host::Record& r = db->at(id);
        handles.insert(r.handle);
        EXPECT_EQ(host::parseHandle(r.text(5)), r.handle);
        EXPECT_EQ(db->findByHandle(r.handle), id);
    }
    EXPECT_EQ(handles.size(), 3u);
    EXPECT_EQ(db->at(db->entities()[0]).handle, 0xA0u);  // the first keeps its handle
    EXPECT_GT(*handles.rbegin(), 0xA0u);
}

TEST(DxfRead, AcceptsCarriageReturnsBlanksAndByteOrderMark) {
    std::string text = "\xEF\xBB\xBF  0\r\nSECTION\r\n  2\r\nENTITIES\r\n  0\r\nLINE\r\n  8\r\n0\r\n 10\r\n  1.0 \r\n"
                       " 20\r\n-2E+1\r\n 70\r\n   3\r\n  0\r\nENDSEC\r\n  0\r\nEOF";  // no line end at the end
    auto db = dxf::readText(text, "crlf.dxf");
    ASSERT_EQ(db->entities().size(), 1u);
    EXPECT_EQ(db->at(db->entities()[0]).real(20), -20.0);
    EXPECT_EQ(db->at(db->entities()[0]).integer(70), 3);
}

struct BadCase {
    const char* what;
    std::string text;
    std::size_t line;     // expected line in the message
    const char* problem;  // part of the expected message
};

TEST(DxfRead, RefusesMalformedInputNamingFileAndLine) {
    const std::string entities = pairs({"0 SECTION", "2 ENTITIES"});  // lines 1-4
    const BadCase cases[] = {
        {"truncated after a code", entities + "0\nLINE\n8\n", 7, "without its value"},
        {"truncated inside a section", entities + pairs({"0 LINE", "8 0"}), 8, "file ends inside"},
        {"code not a number", entities + "0\nLINE\nX8\n0\n", 7, "group code is not a number"},
        {"code with junk", entities + "0\nLINE\n8 a\n0\n", 7, "group code is not a number"},
        {"real expected", entities + pairs({"0 LINE", "10 abc"}), 8, "needs a real number"},
        {"integer expected", entities + pairs({"0 LINE", "70 1.5"}), 8, "needs an integer"},
        {"hex expected", entities + pairs({"0 LINE", "310 XYZ"}), 8, "hexadecimal"},
        {"16-bit overflow", entities + pairs({"0 LINE", "70 99999"}), 8, "16-bit"},
        {"code out of range", entities + pairs({"0 LINE", "5000 x"}), 7, "out of range"},
        {"absurd code", entities + pairs({"0 LINE", "99999999999 x"}), 7, "group code"},
        {"negative code", entities + pairs({"0 LINE", "-1 x"}), 7, "out of range"},
        {"section without ENDSEC", entities + pairs({"0 LINE", "8 0", "0 SECTION", "2 BLOCKS"}), 9,
         "has no ENDSEC"},
        {"table without ENDTAB",
         pairs({"0 SECTION", "2 TABLES", "0 TABLE", "2 LAYER", "0 LAYER", "2 0", "0 ENDSEC"}), 13, "has no ENDTAB"},
        {"block without ENDBLK",
         pairs({"0 SECTION", "2 BLOCKS", "0 BLOCK", "2 B", "0 LINE", "8 0", "0 ENDSEC"}), 13, "has no ENDBLK"},
        {"group outside a section", pairs({"8 0"}), 1, "outside a section"},
        {"section without name", pairs({"0 SECTION", "8 X"}), 3, "without a name"},
        {"invalid handle", entities + pairs({"0 LINE", "5 XYZ"}), 5, "invalid handle"},
        {"duplicate block", pairs({"0 SECTION", "2 BLOCKS", "0 BLOCK", "2 B", "0 ENDBLK", "0 BLOCK", "2 b"}), 11,
         "defined twice"},
        {"line too long", entities + "0\nTEXT\n1\n" + std::string(dxf::kMaxLineLength + 10, 'x') + "\n", 8,
         "longer than"},
    };
    for (const BadCase& c : cases) {
        std::string message = readError(c.text, "bad.dxf");
        EXPECT_NE(message.find("bad.dxf:" + std::to_string(c.line) + ": "), std::string::npos)
            << c.what << ": " << message;
        EXPECT_NE(message.find(c.problem), std::string::npos) << c.what << ": " << message;
    }
}

TEST(DxfRead, RefusesWhatIsNotDxfText) {
    EXPECT_NE(readError("").find("empty"), std::string::npos);
    std::string dwg("AC1032\0\0\0\0\0\x01\x02binary", 19);
    EXPECT_NE(readError(dwg, "door.dwg").find("door.dwg: this is a binary DWG drawing (AC1032)"), std::string::npos);
    EXPECT_NE(readError(std::string("AutoCAD Binary DXF\r\n\x1a\0", 22)).find("binary DXF"), std::string::npos);
    EXPECT_NE(readError(std::string("\x89PNG\r\n\x1a\n\0\0", 10)).find("binary data"), std::string::npos);
}

class DxfFiles : public ::testing::Test {
protected:
    std::string dir = ::testing::TempDir();
    std::string write(const std::string& name, const std::string& text) {
        std::string path = dir + "/" + name;
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }
};

TEST_F(DxfFiles, DwgNamedFileHoldingDxfIsReadLikeDxf) {
    std::string path = write("door.dwg", kSmall);
    auto db = dxf::readFile(path);
    EXPECT_EQ(db->entities().size(), 2u);

    std::string missing;
    EXPECT_EQ(dxf::loadDrawing(dir + "/no-such.dxf", &missing), nullptr);
    EXPECT_NE(missing.find("no-such.dxf: cannot open"), std::string::npos) << missing;

    std::string error;
    EXPECT_EQ(dxf::loadDrawing(write("cut.dxf", kSmall.substr(0, kSmall.size() / 2)), &error), nullptr);
    EXPECT_NE(error.find("cut.dxf:"), std::string::npos) << error;
}

}  // namespace

namespace {

// Header variables after the header's ENDSEC, as one writer of sample drawings
// puts them: read into the header with a warning naming the line, a later
// value replacing an earlier one, and written back inside the header.
TEST(DxfRead, HeaderVariablesAfterTheHeaderSectionJoinTheHeader) {
    const std::string text = pairs({"0 SECTION", "2 HEADER", "9 $ACADVER", "1 AC1015", "9 $CLAYER", "8 0",
                                     "0 ENDSEC",                                // line 13-14
                                     "9 $INSUNITS", "70 4", "9 $CLAYER", "8 A-WALL",  // line 15-22
                                     "0 SECTION", "2 ENTITIES", "0 LINE", "8 A-WALL", "10 0", "20 0", "11 1",
                                     "21 1", "0 ENDSEC", "0 EOF"});
    std::vector<std::string> warnings;
    auto db = dxf::readText(text, "stray.dxf", &warnings);
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_NE(warnings[0].find("stray.dxf, line 15:"), std::string::npos) << warnings[0];
    EXPECT_EQ(db->variables().text("CLAYER"), "A-WALL");
    int clayers = 0;
    for (const host::HeaderVariable& v : db->header()) clayers += v.name == "$CLAYER";
    EXPECT_EQ(clayers, 1);

    dxf::prepareForWrite(*db);
    std::string written = dxf::writeText(*db);
    std::size_t endOfHeader = written.find("ENDSEC");
    EXPECT_LT(written.find("$INSUNITS"), endOfHeader);
    std::vector<std::string> again;
    auto back = dxf::readText(written, "back.dxf", &again);
    EXPECT_TRUE(again.empty());
    EXPECT_EQ(back->variables().text("CLAYER"), "A-WALL");

    // Other groups outside a section are still refused.
    EXPECT_NE(readError(pairs({"0 SECTION", "2 HEADER", "0 ENDSEC", "8 0"})).find("outside a section"),
              std::string::npos);
}

// The same writer's own files end the stray variables with a second ENDSEC (a parts library of a free CAD
// program is made that way): read, and written back with one header section.
TEST(DxfRead, StrayHeaderVariablesClosedByTheirOwnEndsec) {
    const std::string text = pairs({"999 dxflib 2.0.0.0", "0 SECTION", "2 HEADER", "9 $ACADVER", "1 AC1015",
                                     "9 $HANDSEED", "5 FFFF", "0 ENDSEC", "9 $DIMASZ", "40 2.5", "9 $INSUNITS",
                                     "70 4", "0 ENDSEC", "0 SECTION", "2 ENTITIES", "0 LINE", "5 2A", "8 0",
                                     "10 0", "20 0", "11 1", "21 1", "0 ENDSEC", "0 EOF"});
    std::vector<std::string> warnings;
    auto db = dxf::readText(text, "library.dxf", &warnings);
    ASSERT_NE(db, nullptr);
    EXPECT_EQ(warnings.size(), 1u);
    EXPECT_EQ(db->entities().size(), 1u);
    dxf::prepareForWrite(*db);
    std::string written = dxf::writeText(*db);
    EXPECT_LT(written.find("$INSUNITS"), written.find("ENDSEC"));
    std::vector<std::string> again;
    auto back = dxf::readText(written, "back.dxf", &again);
    EXPECT_TRUE(again.empty());
    EXPECT_EQ(back->entities().size(), 1u);

    // An ENDSEC with nothing stray before it is still refused.
    EXPECT_NE(readError(pairs({"0 SECTION", "2 HEADER", "0 ENDSEC", "0 ENDSEC"})).find("expected SECTION"),
              std::string::npos);
}

}  // namespace
