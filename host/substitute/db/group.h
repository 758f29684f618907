// One DXF group (code and value) and the value kind each group code carries.
// Values are kept as the text they have in a DXF file so that a drawing read
// from a file is written back exactly; typed access converts on demand.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

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
// True for codes that hold a handle pointing at another object (320-369, 390-399, 480-481, 1005, 5, 105).
bool isHandleCode(int code);

struct Group {
    int code = 0;
    std::string value;

    Group() = default;
    Group(int c, std::string v) : code(c), value(std::move(v)) {}

    std::optional<double> real() const;
    std::optional<long long> integer() const;
};

using GroupList = std::vector<Group>;

// Text forms of typed values, as the host writes them.
std::string formatReal(double value);
std::string formatInt(long long value);
std::string formatHandle(std::uint64_t handle);
std::optional<std::uint64_t> parseHandle(std::string_view text);
std::optional<double> parseReal(std::string_view text);
std::optional<long long> parseInt(std::string_view text);

}  // namespace host
