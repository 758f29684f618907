// The lexer's tables and the checks of its general path.
#include "dxf/dxf_lexer.h"

#include <cstdio>

namespace host::dxf {

const ValueKinds& valueKinds() {
    static const ValueKinds kinds = [] {
        ValueKinds table{};
        for (int c = 0; c <= kMaxCode; ++c) table[static_cast<std::size_t>(c)] = valueKindOf(c);
        return table;
    }();
    return kinds;
}

// Integer syntax: blanks, optional sign, digits, blanks. Sets `value`;
// false on bad syntax or overflow beyond 64 bits.
bool scanInteger(std::string_view text, long long& value) {
    const char* p = text.data();
    const char* e = p + text.size();
    while (p < e && isBlank(*p)) ++p;
    bool negative = false;
    if (p < e && (*p == '-' || *p == '+')) negative = *p++ == '-';
    if (p == e || *p < '0' || *p > '9') return false;
    unsigned long long v = 0;
    for (; p < e && *p >= '0' && *p <= '9'; ++p) {
        if (v > (~0ULL - 9) / 10) return false;
        v = v * 10 + static_cast<unsigned>(*p - '0');
    }
    while (p < e && isBlank(*p)) ++p;
    if (p != e) return false;
    if (negative) {
        if (v > (1ULL << 63)) return false;
        value = static_cast<long long>(0 - v);
    } else {
        if (v > static_cast<unsigned long long>(~0ULL >> 1)) {
            value = -1;  // above the signed range: caught by range checks below
            return v <= ~0ULL;
        }
        value = static_cast<long long>(v);
    }
    return true;
}

// Real syntax: blanks, sign, digits with an optional point and fraction
// (at least one digit), optional exponent, blanks.
bool scanReal(std::string_view text) {
    const char* p = text.data();
    const char* e = p + text.size();
    while (p < e && isBlank(*p)) ++p;
    if (p < e && (*p == '-' || *p == '+')) ++p;
    int digits = 0;
    while (p < e && *p >= '0' && *p <= '9') ++p, ++digits;
    if (p < e && *p == '.') {
        ++p;
        while (p < e && *p >= '0' && *p <= '9') ++p, ++digits;
    }
    if (digits == 0) return false;
    if (p < e && (*p == 'e' || *p == 'E')) {
        ++p;
        if (p < e && (*p == '-' || *p == '+')) ++p;
        if (p == e || *p < '0' || *p > '9') return false;
        while (p < e && *p >= '0' && *p <= '9') ++p;
    }
    while (p < e && isBlank(*p)) ++p;
    return p == e;
}

bool scanHex(std::string_view text) {
    for (char c : text)
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'))) return false;
    return true;
}

// Cuts the text into groups: a code line and a value line each.

std::string printable(std::string_view text) {
    std::string out;
    for (char c : text.substr(0, 40)) {
        unsigned char u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7f) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\x%02X", u);
            out += buf;
        } else {
            out += c;
        }
    }
    if (text.size() > 40) out += "...";
    return out;
}

}  // namespace host::dxf
