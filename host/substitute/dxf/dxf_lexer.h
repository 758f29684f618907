// The DXF lexer: cuts text into groups (a code line and a value line each).
// A fast path reads the usual group with one 16-byte look; a general path
// reads every other form and reports every fault. Inline, as the reader
// calls it once a group.
#pragma once

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "db/group.h"
#include "dxf/dxf.h"

namespace host::dxf {

inline constexpr int kMaxCode = 1071;

// Value kinds by group code, looked up once per group.
using ValueKinds = std::array<ValueKind, kMaxCode + 1>;
const ValueKinds& valueKinds();

inline bool isBlank(char c) { return c == ' ' || c == '\t'; }

// Integer syntax: blanks, optional sign, digits, blanks. Sets `value`;
// false on bad syntax or overflow beyond 64 bits.
bool scanInteger(std::string_view text, long long& value);
// Real syntax: blanks, sign, digits with an optional point and fraction
// (at least one digit), optional exponent, blanks.
bool scanReal(std::string_view text);
bool scanHex(std::string_view text);

// A text as it may appear in a message: control characters escaped, cut
// after 40 characters.
std::string printable(std::string_view text);

class Lexer {
public:
    Lexer(std::string_view text, const std::string& file, std::size_t firstLine)
        : p_(text.data()), end_(text.data() + text.size()), line_(firstLine - 1), file_(file),
          kinds_(valueKinds()) {}

    [[noreturn]] void fail(std::size_t line, const std::string& problem) const { throw Error(file_, line, problem); }

    // Reads the next group; false when the text is used up before a code line.
    bool next(int& code, std::string_view& value, std::size_t& codeLine) {
        if (p_ >= end_) return false;
#if defined(__SSE2__)
        // The hardware fetches ahead only within a page: ask for the text a
        // little further on, so that the next page is at hand when reached.
        __builtin_prefetch(p_ + 1024);
        if (end_ - p_ >= 32 && wholeGroup(code, value)) {
            codeLine = line_ - 1;
            return true;
        }
#endif
        if (!fastCode(code)) {
            std::string_view codeText = line();
            code = parseCode(codeText);
        }
        codeLine = line_;
        if (p_ >= end_) fail(codeLine, "file ends after group code " + std::to_string(code) + " without its value");
        ValueKind kind = kinds_[static_cast<std::size_t>(code)];
        if (kind == ValueKind::Text || !fastNumber(kind, value)) {
            value = line();
            checkValue(code, value);
        }
        return true;
    }

    std::size_t lineNumber() const { return line_; }

private:
#if defined(__SSE2__)
    // Bytes of `block` (16 from `at`) that are line ends, as bits.
    static unsigned lineEnds(__m128i block) {
        return static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(block, _mm_set1_epi8('\n'))));
    }
    static unsigned digitBytes(__m128i block) {
        __m128i shifted = _mm_sub_epi8(block, _mm_set1_epi8('0'));
        // unsigned byte <= 9: the minimum with 9 is the byte itself
        return static_cast<unsigned>(
            _mm_movemask_epi8(_mm_cmpeq_epi8(_mm_min_epu8(shifted, _mm_set1_epi8(9)), shifted)));
    }
    static unsigned bytesEqual(__m128i block, char c) {
        return static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(block, _mm_set1_epi8(c))));
    }

    // The usual group, read with a look at 16 bytes at a time: a code line of
    // blanks and up to four digits, a value line that is text, or a number
    // of the code's kind written plainly (sign, digits, point). Anything
    // else, and any error, is left to the general path, which starts over
    // at the same place; so this path only has to be right when it says yes.
    // Needs 32 readable bytes from p_.
    [[gnu::always_inline]] bool wholeGroup(int& code, std::string_view& value) {
        const char* p = p_;
        const __m128i head = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const unsigned ends = lineEnds(head);
        if (ends == 0) return false;
        const unsigned codeEnd = static_cast<unsigned>(std::countr_zero(ends));
        unsigned codeLength = codeEnd;
        if (codeLength > 0 && p[codeLength - 1] == '\r') --codeLength;
        const unsigned lineBits = (1u << codeLength) - 1;
        const unsigned blanks = bytesEqual(head, ' ') & lineBits;
        const unsigned digits = digitBytes(head) & lineBits;
        const unsigned lead = static_cast<unsigned>(std::countr_one(blanks));
        const unsigned count = codeLength - lead;
        // blanks first, then only digits, one to four of them
        if ((blanks | digits) != lineBits || (blanks >> lead) != 0 || count == 0 || count > 4) return false;
        std::uint32_t d;
        std::memcpy(&d, p + lead, 4);
        d -= 0x30303030u;
        d = count == 4 ? d : (d & ((1u << (8 * count)) - 1)) << (8 * (4 - count));  // leading zeros
        d = (d * 10 + (d >> 8)) & 0x00ff00ffu;  // pairs of digits
        const int c = static_cast<int>((d & 0xffffu) * 100 + (d >> 16));
        if (c > kMaxCode) return false;

        // The value line.
        const char* v = p + codeEnd + 1;
        const char* stop;
        if (unsigned rest = ends >> (codeEnd + 1)) {
            stop = v + std::countr_zero(rest);
        } else {
            const char* q = p + 16;
            const char* limit = end_ - v > static_cast<std::ptrdiff_t>(kMaxLineLength) ? v + kMaxLineLength : end_;
            while (true) {
                if (limit - q < 16) return false;  // the general path takes the end of the text and long lines
                if (unsigned e = lineEnds(_mm_loadu_si128(reinterpret_cast<const __m128i*>(q)))) {
                    stop = q + std::countr_zero(e);
                    break;
                }
                q += 16;
            }
        }
        const char* next = stop + 1;
        if (stop > v && stop[-1] == '\r') --stop;
        const std::size_t length = static_cast<std::size_t>(stop - v);
        const ValueKind kind = kinds_[static_cast<std::size_t>(c)];
        if (kind != ValueKind::Text && !plainNumber(kind, v, length)) return false;
        code = c;
        value = std::string_view(v, length);
        p_ = next;
        line_ += 2;
        return true;
    }

    // A number of `kind` in the plain form the writers of the field use, and
    // within the kind's range: a minus sign, digits, for reals one point.
    static bool plainNumber(ValueKind kind, const char* v, std::size_t length) {
        if (kind == ValueKind::Binary || length == 0 || length > 16) return false;
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(v));
        const unsigned mask = (1u << length) - 1;
        const unsigned digits = digitBytes(block) & mask;
        const unsigned minus = bytesEqual(block, '-') & mask;
        if (digits == 0 || (minus & ~1u) != 0) return false;
        if (kind == ValueKind::Real) {
            const unsigned points = bytesEqual(block, '.') & mask;
            return (digits | minus | points) == mask && (points & (points - 1)) == 0;
        }
        if ((digits | minus) != mask) return false;
        const int count = std::popcount(digits);
        switch (kind) {
            case ValueKind::Int16:
            case ValueKind::Bool:
                return count <= 4;
            case ValueKind::Int32:
                return count <= 9;
            default:
                return count <= 18;
        }
    }
#endif

    // A number written the usual way (no blanks, a line end right after it)
    // is checked and cut in one pass; anything else takes the general path.
    bool fastNumber(ValueKind kind, std::string_view& value) {
        const char* p = p_;
        const char* e = end_;
        if (p < e && *p == '-') ++p;
        const char* digits = p;
        if (kind == ValueKind::Real) {
            while (p < e && static_cast<unsigned>(*p - '0') < 10) ++p;
            std::ptrdiff_t count = p - digits;
            if (p < e && *p == '.') {
                const char* fraction = ++p;
                while (p < e && static_cast<unsigned>(*p - '0') < 10) ++p;
                count += p - fraction;
            }
            if (count == 0) return false;
            if (p < e && (*p == 'e' || *p == 'E')) return false;  // exponents: general path
        } else if (kind == ValueKind::Binary) {
            return false;
        } else {
            long long v = 0;
            while (p < e && static_cast<unsigned>(*p - '0') < 10 && p - digits < 10) v = v * 10 + (*p++ - '0');
            if (p == digits || (p < e && static_cast<unsigned>(*p - '0') < 10)) return false;
            if (*p_ == '-') v = -v;
            if ((kind == ValueKind::Int16 || kind == ValueKind::Bool) && (v < -32768 || v > 65535)) return false;
            if (kind == ValueKind::Int32 && (v < -2147483648LL || v > 4294967295LL)) return false;
        }
        const char* stop = p;
        if (p < e && *p == '\r') ++p;
        if (p < e && *p != '\n') return false;
        value = std::string_view(p_, static_cast<std::size_t>(stop - p_));
        p_ = p < e ? p + 1 : e;
        ++line_;
        return true;
    }

    // The usual code line: blanks, up to four digits, a line end. Anything
    // else is left to the general path, which also reports errors.
    bool fastCode(int& code) {
        const char* p = p_;
        const char* stop = end_ - p > 8 ? p + 8 : end_;
        while (p < stop && *p == ' ') ++p;
        const char* digits = p;
        int value = 0;
        while (p < stop && static_cast<unsigned>(*p - '0') < 10) value = value * 10 + (*p++ - '0');
        if (p == digits || p - digits > 4 || value > kMaxCode) return false;
        if (p < stop && *p == '\r') ++p;
        if (p >= stop || *p != '\n') return false;
        p_ = p + 1;
        ++line_;
        code = value;
        return true;
    }

    std::string_view line() {
        ++line_;
        std::size_t left = static_cast<std::size_t>(end_ - p_);
        std::size_t scan = left < kMaxLineLength + 2 ? left : kMaxLineLength + 2;
        // Most lines are short: look at a few bytes before calling memchr.
        const char* nl = nullptr;
        std::size_t quick = scan < 24 ? scan : 24;
        for (std::size_t i = 0; i < quick; ++i)
            if (p_[i] == '\n') {
                nl = p_ + i;
                break;
            }
        if (!nl && quick < scan) nl = static_cast<const char*>(std::memchr(p_ + quick, '\n', scan - quick));
        const char* stop;
        if (nl) {
            stop = nl;
        } else if (scan == left) {
            stop = end_;  // the last line may lack its line end
        } else {
            fail(line_, "line longer than " + std::to_string(kMaxLineLength) + " bytes");
        }
        std::string_view text(p_, static_cast<std::size_t>(stop - p_));
        p_ = nl ? nl + 1 : end_;
        if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
        if (text.size() > kMaxLineLength) fail(line_, "line longer than " + std::to_string(kMaxLineLength) + " bytes");
        return text;
    }

    int parseCode(std::string_view text) const {
        const char* p = text.data();
        const char* e = p + text.size();
        while (p < e && isBlank(*p)) ++p;
        bool negative = p < e && *p == '-';
        if (negative) ++p;
        const char* digits = p;
        int value = 0;
        while (p < e && *p >= '0' && *p <= '9' && p - digits < 6) value = value * 10 + (*p++ - '0');
        const char* last = p;
        while (p < e && isBlank(*p)) ++p;
        if (digits == last || p != e) fail(line_, "group code is not a number: \"" + printable(text) + "\"");
        if (negative || value > kMaxCode)
            fail(line_, "group code " + std::string(negative ? "-" : "") + std::to_string(value) + " is out of range");
        return value;
    }

    void checkValue(int code, std::string_view value) const {
        ValueKind kind = kinds_[static_cast<std::size_t>(code)];
        long long v = 0;
        switch (kind) {
            case ValueKind::Text:
                return;
            case ValueKind::Real:
                if (!scanReal(value)) wrongType(code, value, "a real number");
                return;
            case ValueKind::Int16:
            case ValueKind::Bool:
                if (!scanInteger(value, v)) wrongType(code, value, "an integer");
                // 16-bit values: signed, or unsigned as some writers store flags.
                if (v < -32768 || v > 65535) outOfRange(code, value, "16-bit");
                return;
            case ValueKind::Int32:
                if (!scanInteger(value, v)) wrongType(code, value, "an integer");
                if (v < -2147483648LL || v > 4294967295LL) outOfRange(code, value, "32-bit");
                return;
            case ValueKind::Int64:
                if (!scanInteger(value, v)) wrongType(code, value, "an integer");
                return;
            case ValueKind::Binary:
                if (!scanHex(value)) wrongType(code, value, "hexadecimal binary data");
                return;
        }
    }

    [[noreturn]] void wrongType(int code, std::string_view value, const char* expected) const {
        fail(line_, "group " + std::to_string(code) + " needs " + expected + ", found \"" + printable(value) + "\"");
    }
    [[noreturn]] void outOfRange(int code, std::string_view value, const char* width) const {
        fail(line_, "value \"" + printable(value) + "\" of group " + std::to_string(code) + " is out of the " + width +
                        " range");
    }

    const char* p_;
    const char* end_;
    std::size_t line_ = 0;
    const std::string& file_;
    const ValueKinds& kinds_;  // looked up once, not per group
};

}  // namespace host::dxf
