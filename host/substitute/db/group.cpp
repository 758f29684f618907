#include "db/group.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace host {

ValueKind valueKindOf(int code) {
    if (code < 0) return ValueKind::Text;  // -1 .. -5: names and markers
    if (code <= 9) return ValueKind::Text;
    if (code <= 59) return ValueKind::Real;
    if (code <= 79) return ValueKind::Int16;
    if (code <= 89) return ValueKind::Int32;  // not used by DXF; treated as integers
    if (code <= 99) return ValueKind::Int32;
    if (code == 100 || code == 102 || code == 105) return ValueKind::Text;
    if (code >= 110 && code <= 149) return ValueKind::Real;
    if (code >= 160 && code <= 169) return ValueKind::Int64;
    if (code >= 170 && code <= 179) return ValueKind::Int16;
    if (code >= 210 && code <= 239) return ValueKind::Real;
    if (code >= 270 && code <= 289) return ValueKind::Int16;
    if (code >= 290 && code <= 299) return ValueKind::Bool;
    if (code >= 300 && code <= 309) return ValueKind::Text;
    if (code >= 310 && code <= 319) return ValueKind::Binary;
    if (code >= 320 && code <= 369) return ValueKind::Text;
    if (code >= 370 && code <= 389) return ValueKind::Int16;
    if (code >= 390 && code <= 399) return ValueKind::Text;
    if (code >= 400 && code <= 409) return ValueKind::Int16;
    if (code >= 410 && code <= 419) return ValueKind::Text;
    if (code >= 420 && code <= 429) return ValueKind::Int32;
    if (code >= 430 && code <= 439) return ValueKind::Text;
    if (code >= 440 && code <= 449) return ValueKind::Int32;
    if (code >= 450 && code <= 459) return ValueKind::Int32;
    if (code >= 460 && code <= 469) return ValueKind::Real;
    if (code >= 470 && code <= 481) return ValueKind::Text;
    if (code == 999) return ValueKind::Text;
    if (code >= 1000 && code <= 1003) return ValueKind::Text;
    if (code == 1004) return ValueKind::Binary;
    if (code >= 1005 && code <= 1009) return ValueKind::Text;
    if (code >= 1010 && code <= 1059) return ValueKind::Real;
    if (code >= 1060 && code <= 1070) return ValueKind::Int16;
    if (code == 1071) return ValueKind::Int32;
    return ValueKind::Text;
}

bool isPointCode(int code) {
    return (code >= 10 && code <= 18) || code == 210 || (code >= 110 && code <= 112) ||
           (code >= 1010 && code <= 1013);
}

std::optional<double> Group::real() const { return parseReal(value); }
std::optional<long long> Group::integer() const { return parseInt(value); }

static std::string_view trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) text.remove_suffix(1);
    return text;
}

std::optional<double> parseReal(std::string_view text) {
    text = trimmed(text);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    double value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
    // "nan" and "inf" are no coordinates, sizes or angles: they would spread
    // through every computation made with them.
    if (!std::isfinite(value)) return std::nullopt;
    return value;
}

std::optional<long long> parseInt(std::string_view text) {
    text = trimmed(text);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    long long value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
    return value;
}

std::optional<std::uint64_t> parseHandle(std::string_view text) {
    text = trimmed(text);
    if (text.empty() || text.size() > 16) return std::nullopt;
    std::uint64_t value = 0;
    for (char c : text) {
        unsigned digit;
        if (c >= '0' && c <= '9')
            digit = static_cast<unsigned>(c - '0');
        else if ((c | 0x20) >= 'a' && (c | 0x20) <= 'f')
            digit = static_cast<unsigned>((c | 0x20) - 'a' + 10);
        else
            return std::nullopt;
        value = value << 4 | digit;
    }
    return value;
}

std::string formatReal(double value) {
    char buffer[64];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    if (ec != std::errc()) return "0.0";
    std::string text(buffer, end);
    // DXF readers expect a decimal point or exponent in a real value.
    if (text.find_first_of(".eEn") == std::string::npos) text += ".0";
    return text;
}

std::string formatInt(long long value) { return std::to_string(value); }

std::string formatHandle(std::uint64_t handle) {
    char buffer[24];
    std::snprintf(buffer, sizeof buffer, "%llX", static_cast<unsigned long long>(handle));
    return buffer;
}

}  // namespace host
