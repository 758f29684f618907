// The platform's dialog data-exchange checks: reading numbers from controls
// and the standard messages shown when a value is refused.
#pragma once

#include <cerrno>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

namespace tk::ddx {

// "%1" in `pattern` replaced by `first`, "%2" by `second`.
inline std::string formatMessage(std::string_view pattern, std::string_view first, std::string_view second = {}) {
    std::string out;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '%' && i + 1 < pattern.size() && (pattern[i + 1] == '1' || pattern[i + 1] == '2')) {
            out += pattern[i + 1] == '1' ? first : second;
            ++i;
        } else {
            out += pattern[i];
        }
    }
    return out;
}

inline constexpr std::string_view kMaxCharsPattern = "Please enter no more than %1 characters.";
inline constexpr std::string_view kNumberMessage = "Please enter a number.";
inline constexpr std::string_view kNumberRangePattern = "Please enter a number between %1 and %2.";
inline constexpr std::string_view kIntegerMessage = "Please enter an integer.";
inline constexpr std::string_view kIntegerRangePattern = "Please enter an integer between %1 and %2.";

inline std::string maxCharsMessage(std::size_t limit) { return formatMessage(kMaxCharsPattern, std::to_string(limit)); }

// A bound as the platform writes it: %g with the type's significant digits.
inline std::string formatBound(double value, int digits) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*g", digits, value);
    return buffer;
}
inline std::string numberRangeMessage(double low, double high, int digits = DBL_DIG) {
    return formatMessage(kNumberRangePattern, formatBound(low, digits), formatBound(high, digits));
}
inline std::string integerRangeMessage(long low, long high) {
    return formatMessage(kIntegerRangePattern, std::to_string(low), std::to_string(high));
}

inline bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; }

// The whole of `text` read by `convert` (strtod-like: begin, end out),
// blanks around it allowed; nothing when it is empty, out of range or holds
// anything else.
template <typename Convert>
inline auto parseWhole(std::string_view text, Convert convert) -> std::optional<decltype(convert("", nullptr))> {
    std::string s(text);
    const char* begin = s.c_str();
    while (isBlank(*begin)) ++begin;
    if (*begin == '\0') return std::nullopt;
    char* end = nullptr;
    errno = 0;
    auto value = convert(begin, &end);
    if (end == begin || errno == ERANGE) return std::nullopt;
    while (isBlank(*end)) ++end;
    if (*end != '\0') return std::nullopt;
    return value;
}

// The whole text as a finite decimal number.
inline std::optional<double> parseNumber(std::string_view text) {
    auto value = parseWhole(text, [](const char* b, char** e) { return std::strtod(b, e); });
    if (value && !std::isfinite(*value)) return std::nullopt;
    return value;
}

// The whole text as a decimal integer.
inline std::optional<long> parseInteger(std::string_view text) {
    return parseWhole(text, [](const char* b, char** e) { return std::strtol(b, e, 10); });
}

}  // namespace tk::ddx
