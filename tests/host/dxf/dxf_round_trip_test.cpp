// Drawings found by fuzzing the reader: what is read is written, and the
// text written reads again and is written again unchanged.
#include <gtest/gtest.h>

#include <string>

#include "dxf/dxf.h"

namespace {

std::string writtenTwice(const std::string& text, std::string& once) {
    auto db = host::dxf::readText(text, "input.dxf");
    host::dxf::prepareForWrite(*db);
    once = host::dxf::writeText(*db);
    auto again = host::dxf::readText(once, "written.dxf");
    host::dxf::prepareForWrite(*again);
    return host::dxf::writeText(*again);
}

}  // namespace

// A section whose name only differs in case from OBJECTS is kept as a section
// of its own; the objects a drawing needs go to the real OBJECTS section, so
// that they are not made again at every save.
TEST(DxfRoundTrip, ASectionNamedLikeObjectsInAnotherCaseIsNotTheObjects) {
    const std::string text =
        "  0\nSECTION\n  2\nHEADER\n  9\n$ACADVER\n  1\nAC1015\n  0\nENDSEC\n"
        "  0\nSECTION\n  2\nENTITIES\n  0\nENDSEC\n"
        "  0\nSECTION\n  2\noBJECTS\n  0\nDICTIONARY\n  5\nC\n100\nAcDbDictionary\n  0\nENDSEC\n  0\nEOF\n";
    std::string once;
    EXPECT_EQ(writtenTwice(text, once), once);
    EXPECT_NE(once.find("\noBJECTS\n  0\nDICTIONARY\n  5\nC\n"), std::string::npos);
}

// A record whose type line is empty keeps that line when written, so that its
// groups are not read back as part of the record before it (in a section the
// host does not know, the groups opening the section stand without one).
TEST(DxfRoundTrip, ARecordWithAnEmptyTypeKeepsItsTypeLine) {
    const std::string text =
        "  0\nSECTION\n  2\nHEADER\n  9\n$ACADVER\n  1\nAC1009\n  0\nENDSEC\n"
        "  0\nSECTION\n  2\nEXTRA\n  1\nLOOSE\n 10\n1.0\n  0\n\n 10\n2.0\n1001\nAPP\n100\nMARK\n  0\nENDSEC\n  0\nEOF\n";
    std::string once;
    EXPECT_EQ(writtenTwice(text, once), once);
    EXPECT_NE(once.find("  2\nEXTRA\n  1\nLOOSE\n 10\n1.0\n  0\n\n 10\n2.0\n1001\nAPP\n100\nMARK\n"), std::string::npos)
        << once;
}

// Groups that open an OBJECTS section without a type line stay first when
// the objects a drawing needs are added, and so read back as they were read.
TEST(DxfRoundTrip, GroupsOpeningTheObjectsStayFirst) {
    const std::string text =
        "  0\nSECTION\n  2\nHEADER\n  9\n$ACADVER\n  1\nAC1015\n  0\nENDSEC\n"
        "  0\nSECTION\n  2\nOBJECTS\n  5\nDICTIONARY\n  3\nACAD_GROUP\n  0\nENDSEC\n  0\nEOF\n";
    std::string once;
    EXPECT_EQ(writtenTwice(text, once), once);
    EXPECT_NE(once.find("  2\nOBJECTS\n  5\nDICTIONARY\n  3\nACAD_GROUP\n  0\nDICTIONARY\n"), std::string::npos) << once;
}

// Only groups that stood directly in a section are written without a group
// 0: a record with an empty type that opens a section keeps its line, also
// where an R12 file's opening groups (a subclass marker) are all left out.
TEST(DxfRoundTrip, ARecordWithAnEmptyTypeOpeningASectionKeepsItsTypeLine) {
    const std::string r12 = "  0\nSECTION\n  2\nHEADER\n  9\n$ACADVER\n  1\nAC1009\n  0\nENDSEC\n";
    std::string once;
    const std::string markerFirst =
        r12 + "  0\nSECTION\n  2\nEXTRA\n100\nAcDbText\n  0\n\n  0\nNEXT\n  8\n0\n  0\nENDSEC\n  0\nEOF\n";
    EXPECT_EQ(writtenTwice(markerFirst, once), once);
    EXPECT_NE(once.find("  2\nEXTRA\n  0\n\n  0\nNEXT\n  8\n0\n"), std::string::npos) << once;
    const std::string emptyFirst = r12 + "  0\nSECTION\n  2\nEXTRA\n  0\n\n  8\nA\n  0\nNEXT\n  0\nENDSEC\n  0\nEOF\n";
    EXPECT_EQ(writtenTwice(emptyFirst, once), once);
    EXPECT_NE(once.find("  2\nEXTRA\n  0\n\n  8\nA\n  0\nNEXT\n"), std::string::npos) << once;
}
