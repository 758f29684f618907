// One DXF group (code and value) and the value kind each group code carries.
// Values are kept as the text they have in a DXF file so that a drawing read
// from a file is written back exactly; typed access converts on demand.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "db/group_arena.h"
#include "db/group_list.h"
#include "db/group_text.h"

namespace host {

enum class ValueKind : std::uint8_t {
    Text,    // strings, names, handles in text form
    Real,    // floating point; also the x of a point
    Int16,
    Int32,
    Int64,
    Bool,    // 290-299: 0 or 1
    Binary,  // 310-319, 1004: hex text
};

// The kind of value a group code carries, as the DXF reference assigns it.
ValueKind valueKindOf(int code);

// True for the x-coordinate codes of points (10-18, 210, 110-112, 1010-1013):
// their y and z follow at code + 10 and code + 20.
bool isPointCode(int code);

struct Group {
    std::int16_t code = 0;  // DXF group codes run from -5 to 1071
    GroupText value;

    Group() = default;
    Group(int c, std::string_view v) : code(static_cast<std::int16_t>(c)), value(v) {}
    Group(int c, const char* v) : code(static_cast<std::int16_t>(c)), value(v) {}
    Group(int c, const std::string& v) : code(static_cast<std::int16_t>(c)), value(v) {}

    std::optional<double> real() const;
    std::optional<long long> integer() const;

    friend bool operator==(const Group& a, const Group& b) noexcept { return a.code == b.code && a.value == b.value; }
};

static_assert(sizeof(Group) == 16, "a group takes 16 bytes");

// A record's groups; see group_arena.h for where their storage comes from.
using GroupList = CompactList<Group>;

// Text forms of typed values, as the host writes them.
std::string formatReal(double value);
std::string formatInt(long long value);
std::string formatHandle(std::uint64_t handle);
std::optional<std::uint64_t> parseHandle(std::string_view text);
std::optional<double> parseReal(std::string_view text);
std::optional<long long> parseInt(std::string_view text);

}  // namespace host
