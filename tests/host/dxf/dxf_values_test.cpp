// Which group codes and values the reader takes, and what it keeps of them.
// The reader reads usual groups on a fast path and everything else on a
// general one; each case here is read in the middle of a file (where the
// fast path may take it) and as the file's last group (where only the
// general path takes a short group), and both must agree with the
// expectation.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "dxf/dxf.h"

namespace {

namespace dxf = host::dxf;

// A drawing with one LINE whose last group is `code` and `value`; with
// `padded`, a long comment follows, otherwise only the shortest end of the
// file (so a short group starts too close to the end for the fast path).
std::string drawingWith(const std::string& code, const std::string& value, bool padded) {
    std::string text = "  0\nSECTION\n  2\nENTITIES\n  0\nLINE\n  5\n1A\n" + code + "\n" + value + "\n";
    if (padded) text += "999\n" + std::string(48, '-') + "\n";
    return text + "0\nENDSEC\n0\nEOF";
}

// The text kept for the group, or nothing when the file is refused.
std::optional<std::string> readBack(const std::string& code, const std::string& value, int expectedCode,
                                    bool padded) {
    try {
        auto db = dxf::readText(drawingWith(code, value, padded), "values.dxf");
        const host::Record& line = db->at(db->entities().at(0));
        const host::Group* g = line.find(expectedCode);
        if (!g) return std::string("<missing>");
        return g->value.str();
    } catch (const dxf::Error&) {
        return std::nullopt;
    }
}

struct Case {
    const char* code;
    int number;         // the code the line must give
    const char* value;
    bool accepted;
};

void expectCases(const Case* cases, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) {
        const Case& c = cases[i];
        for (bool padded : {true, false}) {
            auto kept = readBack(c.code, c.value, c.number, padded);
            SCOPED_TRACE(std::string("code \"") + c.code + "\", value \"" + c.value + "\"" +
                         (padded ? ", mid-file" : ", last group"));
            if (!c.accepted) {
                EXPECT_FALSE(kept.has_value());
                continue;
            }
            ASSERT_TRUE(kept.has_value());
            std::string expect = c.value;
            if (!expect.empty() && expect.back() == '\r') expect.pop_back();
            EXPECT_EQ(*kept, expect);
        }
    }
}

TEST(DxfValues, GroupCodeLines) {
    const Case cases[] = {
        {"  8", 8, "X", true},       {"8", 8, "X", true},         {"008", 8, "X", true},
        {"0008", 8, "X", true},      {"   8", 8, "X", true},       {"  8 ", 8, "X", true},
        {"  8\r", 8, "X", true},     {"1071", 1071, "7", true},    {"1072", 1072, "X", false},
        {"10000", 0, "X", false},    {" -1", -1, "X", false},      {"8a", 8, "X", false},
        {"", 0, "X", false},         {"  1000", 1000, "X", true},  {"\t8", 8, "X", true},
    };
    expectCases(cases, std::size(cases));
}

TEST(DxfValues, RealValues) {
    const Case cases[] = {
        {" 40", 40, "1", true},          {" 40", 40, "-1.5", true},       {" 40", 40, "1.", true},
        {" 40", 40, ".5", true},         {" 40", 40, "-.5", true},        {" 40", 40, "1e5", true},
        {" 40", 40, "1.5E-3", true},     {" 40", 40, "+1", true},         {" 40", 40, " 1.5", true},
        {" 40", 40, "1.5 ", true},       {" 40", 40, "1.5\r", true},      {" 40", 40, "-0.7071067811865476", true},
        {" 40", 40, "1234567890123456", true}, {" 40", 40, "12345678901234567", true},
        {" 40", 40, "-", false},         {" 40", 40, ".", false},         {" 40", 40, "", false},
        {" 40", 40, "1.2.3", false},     {" 40", 40, "--1", false},       {" 40", 40, "1-", false},
        {" 40", 40, "1,5", false},       {" 40", 40, "1.5x", false},      {" 40", 40, "e5", false},
        {" 40", 40, "1234567890.123456-", false},
    };
    expectCases(cases, std::size(cases));
}

TEST(DxfValues, IntegerValuesAndTheirRanges) {
    const Case cases[] = {
        // 16-bit (signed, or unsigned as some writers store flags)
        {" 70", 70, "0", true},         {" 70", 70, "9999", true},      {" 70", 70, "32767", true},
        {" 70", 70, "65535", true},     {" 70", 70, "65536", false},    {" 70", 70, "-32768", true},
        {" 70", 70, "-32769", false},   {" 70", 70, "-", false},        {" 70", 70, "1.0", false},
        {" 70", 70, "12a", false},      {" 70", 70, "", false},         {" 70", 70, " 5 ", true},
        {" 70", 70, "-0", true},        {" 70", 70, "00000000000000000001", true},
        // booleans are 16-bit integers too
        {"290", 290, "1", true},        {"290", 290, "70000", false},
        // 32-bit
        {" 90", 90, "999999999", true}, {" 90", 90, "4294967295", true}, {" 90", 90, "4294967296", false},
        {" 90", 90, "-2147483648", true}, {" 90", 90, "-2147483649", false},
        // 64-bit
        {"160", 160, "123456789012345678", true}, {"160", 160, "9223372036854775807", true},
        {"160", 160, "x", false},
    };
    expectCases(cases, std::size(cases));
}

TEST(DxfValues, TextAndBinaryValuesAreKeptAsWritten) {
    const std::string longText(300, 'w');
    const Case cases[] = {
        {"  1", 1, "", true},              {"  1", 1, " spaced  ", true},   {"  1", 1, "123456789012", true},
        {"  1", 1, "1234567890123", true}, {"  1", 1, "AcDbSymbolTableRecord", true},
        {"  1", 1, longText.c_str(), true}, {"  1", 1, "carriage\r", true},  {"310", 310, "0AFF", true},
        {"310", 310, "0AFG", false},
    };
    expectCases(cases, std::size(cases));
}

}  // namespace
