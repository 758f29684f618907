// Reading the later part of ENTITIES on a second thread must give the same
// drawing, and the same message for a faulty text, as reading in one go,
// wherever that part begins.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "dxf/dxf.h"
#include "dxf/dxf_internal.h"

namespace {

namespace dxf = host::dxf;

std::string group(int code, const std::string& value) { return std::to_string(code) + "\n" + value + "\n"; }

std::string hex(int n) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%X", n);
    return buf;
}

// A drawing whose ENTITIES hold every kind of record the thread may meet:
// records without a handle, handles met before (in the tables or in an
// earlier entity), paper space entities, extended data, and values that
// look like a group 0 ("0" or "ENTITIES" as a text) on either side of
// wherever the thread begins.
std::string drawing(int entities, const std::string& newline = "\n") {
    std::string t = group(0, "SECTION") + group(2, "HEADER") + group(9, "$ACADVER") + group(1, "AC1027") +
                    group(9, "$HANDSEED") + group(5, "FFFF") + group(0, "ENDSEC");
    t += group(0, "SECTION") + group(2, "TABLES") + group(0, "TABLE") + group(2, "LAYER") + group(5, "2") +
         group(70, "1") + group(0, "LAYER") + group(5, "10") + group(2, "0") + group(70, "0") + group(62, "7") +
         group(6, "Continuous") + group(0, "ENDTAB") + group(0, "ENDSEC");
    t += group(0, "SECTION") + group(2, "ENTITIES");
    for (int i = 0; i < entities; ++i) {
        const bool paper = i % 5 == 0;
        if (i % 4 == 0) {
            t += group(0, "TEXT");
        } else {
            t += group(0, i % 2 ? "LINE" : "CIRCLE");
        }
        if (i % 7 == 0) {
            // no handle: one is given once the file is read
        } else if (i % 11 == 0) {
            t += group(5, hex(0x100 + i - 3));  // the handle of an earlier entity
        } else if (i % 13 == 0) {
            t += group(5, "10");  // the layer's handle
        } else {
            t += group(5, hex(0x100 + i));
        }
        t += group(100, "AcDbEntity");
        if (paper) t += group(67, "1");
        t += group(8, "0");
        t += group(10, std::to_string(i) + ".5") + group(20, "-" + std::to_string(i)) + group(30, "0.0");
        if (i % 4 == 0) t += group(1, i % 8 ? "  0" : "ENTITIES") + group(40, "2.5") + group(1, "0");
        if (i % 3 == 0) t += group(1001, "ACAD") + group(1000, "note " + std::to_string(i)) + group(1070, "7");
    }
    t += group(0, "ENDSEC");
    t += group(0, "SECTION") + group(2, "OBJECTS") + group(0, "DICTIONARY") + group(5, "C") + group(330, "0") +
         group(100, "AcDbDictionary") + group(0, "ENDSEC") + group(0, "EOF");
    if (newline != "\n") {
        std::string out;
        for (char c : t) {
            if (c == '\n')
                out += newline;
            else
                out += c;
        }
        return out;
    }
    return t;
}

dxf::ReadMode oneGo() {
    dxf::ReadMode mode;
    mode.readAhead = false;
    return mode;
}

dxf::ReadMode ahead(double at, std::size_t* taken = nullptr) {
    dxf::ReadMode mode;
    mode.readAhead = true;
    mode.aheadAt = at;
    mode.takenAhead = taken;
    return mode;
}

std::string readAndWrite(const std::string& text, const dxf::ReadMode& mode) {
    return dxf::writeText(*dxf::readTextWith(text, "ahead.dxf", nullptr, mode));
}

// "" for equal texts, else the first line where they differ (a whole-text
// comparison would print two drawings).
std::string firstDifference(const std::string& a, const std::string& b) {
    std::size_t at = 0;
    while (at < a.size() && at < b.size() && a[at] == b[at]) ++at;
    if (at == a.size() && at == b.size()) return "";
    std::size_t line = a.rfind('\n', at == 0 ? 0 : at - 1);
    line = line == std::string::npos ? 0 : line + 1;
    return "at byte " + std::to_string(at) + ": \"" + a.substr(line, 40) + "\" against \"" + b.substr(line, 40) + "\"";
}

std::string errorOf(const std::string& text, const dxf::ReadMode& mode) {
    try {
        dxf::readTextWith(text, "ahead.dxf", nullptr, mode);
    } catch (const dxf::Error& e) {
        return e.what();
    }
    return "";
}

TEST(DxfReadAhead, TheDrawingIsTheSameWhereverTheSecondThreadBegins) {
    for (const char* newline : {"\n", "\r\n"}) {
        const std::string text = drawing(600, newline);
        const std::string expected = readAndWrite(text, oneGo());
        for (double at : {0.0, 0.1, 0.2, 0.35, 0.5, 0.65, 0.8, 0.9, 0.95, 0.999}) {
            SCOPED_TRACE(std::string("at ") + std::to_string(at));
            std::size_t taken = 0;
            EXPECT_EQ(firstDifference(readAndWrite(text, ahead(at, &taken)), expected), "");
            // Before the section's last record the thread's records are
            // used; at the very end there are none.
            if (at <= 0.9) {
                EXPECT_GT(taken, 0u);
            }
            if (at == 0.999) {
                EXPECT_EQ(taken, 0u);
            }
        }
    }
}

TEST(DxfReadAhead, AFaultAnywhereGivesTheMessageOfReadingInOneGo) {
    const std::string good = drawing(400);
    auto replaced = [&](double at, const std::string& from, const std::string& to) {
        std::size_t where = good.find(from, static_cast<std::size_t>(static_cast<double>(good.size()) * at));
        EXPECT_NE(where, std::string::npos) << from;
        std::string text = good;
        text.replace(where, from.size(), to);
        return text;
    };
    const std::vector<std::string> faulty = {
        replaced(0.8, "\n20\n", "\n20\nnot a number\n20\n"),    // a bad value in the thread's part
        replaced(0.8, "\n5\n", "\n5\nXYZ!\n5\n"),               // a bad handle there
        replaced(0.3, "\n10\n", "\n10\n1.0e\n10\n"),            // a bad value before it
        replaced(0.9, "0\nENDSEC\n0\nSECTION\n2\nOBJECTS", "0\nEOF"),  // ENTITIES without its end
        replaced(0.95, "330\n0\n", "330\n0\n40\nlast\n"),       // after ENTITIES: lines counted on
        good.substr(0, good.size() * 3 / 4),                    // cut in the thread's part
    };
    for (std::size_t i = 0; i < faulty.size(); ++i) {
        const std::string expected = errorOf(faulty[i], oneGo());
        ASSERT_NE(expected, "") << "text " << i << " should not read";
        for (double at : {0.0, 0.2, 0.5, 0.7, 0.9})
            EXPECT_EQ(errorOf(faulty[i], ahead(at)), expected) << "text " << i << ", at " << at;
    }
}

// Texts without an ENTITIES section, or with nothing in it after the point
// chosen, are read in one go.
TEST(DxfReadAhead, TextsWithoutEntitiesToShareAreReadInOneGo) {
    const std::string none = group(0, "SECTION") + group(2, "HEADER") + group(9, "$ACADVER") + group(1, "AC1009") +
                             group(0, "ENDSEC") + group(0, "EOF");
    const std::string empty = group(0, "SECTION") + group(2, "ENTITIES") + group(0, "ENDSEC") + group(0, "EOF");
    for (const std::string& text : {none, empty}) {
        std::size_t taken = 7;
        EXPECT_EQ(firstDifference(readAndWrite(text, ahead(0.5, &taken)), readAndWrite(text, oneGo())), "");
        EXPECT_EQ(taken, 0u);
    }
}

// More records than the second thread makes room for (one per 32 bytes of
// its text: here records of 8) are read in one go, with the same result.
TEST(DxfReadAhead, TinyRecordsBeyondTheThreadsRoomAreReadInOneGo) {
    std::string text = group(0, "SECTION") + group(2, "ENTITIES");
    for (int i = 0; i < 5000; ++i) text += group(0, "POINT");
    text += group(0, "ENDSEC") + group(0, "EOF");
    std::size_t taken = 7;
    EXPECT_EQ(firstDifference(readAndWrite(text, ahead(0.5, &taken)), readAndWrite(text, oneGo())), "");
    EXPECT_EQ(taken, 0u);
    // Records of 35 bytes fit.
    std::string roomy = group(0, "SECTION") + group(2, "ENTITIES");
    for (int i = 0; i < 5000; ++i) roomy += group(0, "POINT") + group(8, "WALLS") + group(10, "1.5000") + group(20, "22.25");
    roomy += group(0, "ENDSEC") + group(0, "EOF");
    EXPECT_EQ(firstDifference(readAndWrite(roomy, ahead(0.5, &taken)), readAndWrite(roomy, oneGo())), "");
    EXPECT_GT(taken, 0u);
}

}  // namespace
