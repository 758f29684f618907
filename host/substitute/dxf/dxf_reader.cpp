// DXF reader: the whole file is mapped (or taken from memory) and cut into
// groups in place; each record's groups are copied once into the database.
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <array>
#include <bit>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "dxf/dxf.h"
#include "dxf/dxf_internal.h"

namespace host::dxf {

Error::Error(std::string file, std::size_t line, const std::string& problem)
    : std::runtime_error(line ? file + ":" + std::to_string(line) + ": " + problem : file + ": " + problem),
      file_(std::move(file)),
      line_(line),
      problem_(problem) {}

namespace {

constexpr int kMaxCode = 1071;

// Value kinds by group code, looked up once per group.
struct KindTable {
    std::array<ValueKind, kMaxCode + 1> kinds{};
    KindTable() {
        for (int c = 0; c <= kMaxCode; ++c) kinds[c] = valueKindOf(c);
    }
};
const KindTable& kindTable() {
    static const KindTable table;
    return table;
}

bool isBlank(char c) { return c == ' ' || c == '\t'; }

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
class Lexer {
public:
    Lexer(std::string_view text, const std::string& file)
        : p_(text.data()), end_(text.data() + text.size()), file_(file), kinds_(kindTable().kinds) {}

    [[noreturn]] void fail(std::size_t line, const std::string& problem) const { throw Error(file_, line, problem); }

    // Reads the next group; false when the text is used up before a code line.
    bool next(int& code, std::string_view& value, std::size_t& codeLine) {
        if (p_ >= end_) return false;
        groupStart_ = p_;
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
    // Start of the code line of the group read last.
    const char* groupStart() const { return groupStart_; }

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
    bool wholeGroup(int& code, std::string_view& value) {
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
    const char* groupStart_ = nullptr;
    std::size_t line_ = 0;
    const std::string& file_;
    const std::array<ValueKind, kMaxCode + 1>& kinds_;  // looked up once, not per group
};

struct RawGroup {
    int code;
    std::string_view value;
};

enum class HandlePolicy { Required, Optional };

// Called with the part of the text that has been consumed, so that a mapped
// file's pages can be given back while the rest is read.
using ReleaseFn = void (*)(const char* begin, const char* end, void* context);

class Parser {
public:
    Parser(std::string_view text, const std::string& file, Database& db, std::vector<std::string>* warnings,
           ReleaseFn release = nullptr, void* context = nullptr)
        : lx_(text, file), file_(file), db_(db), warnings_(warnings), release_(release), releaseContext_(context),
          released_(text.data()) {
        db_.reserveRecords(text.size() / 128);
    }

    void run() {
        advance();
        bool sawEof = false;
        while (have_) {
            if (code_ == 999) {  // a comment between sections
                advance();
                continue;
            }
            if (code_ == 9 && sectionSeen("HEADER")) {
                readStrayHeaderVariables();
                continue;
            }
            if (code_ != 0) fail("group " + std::to_string(code_) + " outside a section");
            if (value_ == "EOF") {
                sawEof = true;
                break;
            }
            if (value_ != "SECTION") fail("expected SECTION or EOF, found \"" + printable(value_) + "\"");
            std::size_t sectionLine = line_;
            advance();
            if (!have_ || code_ != 2) fail("SECTION without a name (group 2)");
            std::string name(value_);
            if (sectionSeen(name)) fail("section " + name + " appears twice");
            db_.sectionOrder().push_back(name);
            advance();
            if (name == "HEADER")
                readHeader(sectionLine);
            else if (name == "TABLES")
                readTables(sectionLine);
            else if (name == "BLOCKS")
                readBlocks(sectionLine);
            else if (name == "ENTITIES")
                readEntities(sectionLine);
            else
                readOpaque(name, sectionLine);
            // positioned on "0 ENDSEC"
            advance();
        }
        (void)sawEof;  // a missing EOF marker after the last section is accepted
        finish();
    }

private:
    [[noreturn]] void fail(const std::string& problem) const { lx_.fail(line_, problem); }
    [[noreturn]] void failAt(std::size_t line, const std::string& problem) const { lx_.fail(line, problem); }

    void advance() {
        have_ = lx_.next(code_, value_, line_);
        if (!have_) line_ = lx_.lineNumber();
    }

    bool sectionSeen(const std::string& name) const {
        for (const std::string& s : db_.sectionOrder())
            if (s == name) return true;
        return false;
    }

    bool atZero(std::string_view type) const { return have_ && code_ == 0 && value_ == type; }

    void requireMore(const char* what, std::size_t startLine) const {
        if (!have_)
            failAt(lx_.lineNumber(), std::string("file ends inside ") + what + " begun at line " + std::to_string(startLine));
    }

    // Reads the groups of the record whose group 0 is the current group, up
    // to the next group 0, into a Record.
    Record readRecord(HandlePolicy policy, std::size_t* recordLine = nullptr) {
        maybeRelease();
        GroupArena::Scope fromArena(db_.groupArena());  // the lists and long texts go into this drawing
        Record r;
        r.type.assign(value_.data(), value_.size());
        std::size_t startLine = line_;
        if (recordLine) *recordLine = startLine;
        const int handleCode = r.type == "DIMSTYLE" ? 105 : 5;
        constexpr std::size_t kNone = ~std::size_t{0};
        std::size_t xdataAt = kNone;   // the first 1001 group: extended data from there on
        std::size_t handleAt = kNone;  // the first handle group before it
        paper_ = false;
        scratch_.clear();
        advance();
        while (have_ && code_ != 0) {
            if (xdataAt == kNone) {
                if (code_ == handleCode && handleAt == kNone) handleAt = scratch_.size();
                if (code_ == 67) paper_ = value_.find('1') != std::string_view::npos;
                if (code_ == 1001) xdataAt = scratch_.size();
            }
            scratch_.push_back({code_, value_});
            advance();
        }
        const RawGroup* raw = scratch_.data();
        const std::size_t count = scratch_.size();
        if (xdataAt == kNone) xdataAt = count;
        // A record without a handle gets its handle group in front once the
        // whole file is read: room for it now spares a reallocation then.
        r.groups.reserve(xdataAt + (handleAt != kNone || policy != HandlePolicy::Required ? 0 : 1));
        for (std::size_t i = 0; i < xdataAt; ++i) r.groups.emplace_back(raw[i].code, raw[i].value);
        if (xdataAt < count) {
            r.xdata.reserve(count - xdataAt);
            for (std::size_t i = xdataAt; i < count; ++i) r.xdata.emplace_back(raw[i].code, raw[i].value);
        }
        if (handleAt != kNone) {
            auto h = parseHandle(raw[handleAt].value);
            if (!h) failAt(startLine, r.type + " has an invalid handle \"" + printable(raw[handleAt].value) + "\"");
            r.handle = *h;
        }
        if (r.handle != 0 && db_.findByHandle(r.handle) != kNoRecord) {
            r.handle = 0;  // a duplicate: the first record keeps the handle
            pendingHandles_.push_back(pendingId());
        } else if (r.handle == 0 && policy == HandlePolicy::Required) {
            pendingHandles_.push_back(pendingId());
        }
        return r;
    }

    // Id the next stored record will get.
    RecordId pendingId() const { return static_cast<RecordId>(db_.recordCount()); }

    void readHeader(std::size_t sectionLine) {
        HeaderVariable* current = nullptr;
        while (true) {
            requireMore("the HEADER section", sectionLine);
            if (code_ == 0) {
                if (value_ == "ENDSEC") return;
                fail("unexpected \"" + printable(value_) + "\" in the HEADER section");
            }
            if (code_ == 9) {
                HeaderVariable& v = db_.header().emplace_back();
                v.name.assign(value_.data(), value_.size());
                current = &v;
            } else if (code_ != 999) {
                if (!current) fail("group " + std::to_string(code_) + " before the first header variable");
                current->groups.emplace_back(code_, std::string(value_));
            }
            advance();
        }
    }

    // Some writers put header variables after the HEADER section's ENDSEC.
    // Other CAD programs read them as part of the header, and so does this
    // reader (a later value replaces an earlier one), with a warning; the
    // drawing is written back with them inside the header.
    void readStrayHeaderVariables() {
        if (warnings_)
            warnings_->push_back(file_ + ", line " + std::to_string(line_) +
                                 ": header variables after the end of the HEADER section, read as part of it");
        HeaderVariable* current = nullptr;
        while (have_ && code_ != 0) {
            if (code_ == 9) {
                current = headerVariable(value_);
                current->groups.clear();
            } else if (code_ != 999) {
                current->groups.emplace_back(code_, std::string(value_));
            }
            advance();
        }
        // That writer closes them with an ENDSEC of their own.
        if (atZero("ENDSEC")) advance();
    }

    HeaderVariable* headerVariable(std::string_view name) {
        for (HeaderVariable& v : db_.header())
            if (v.name == name) return &v;
        HeaderVariable& v = db_.header().emplace_back();
        v.name.assign(name.data(), name.size());
        return &v;
    }

    void readTables(std::size_t sectionLine) {
        while (true) {
            requireMore("the TABLES section", sectionLine);
            if (atZero("ENDSEC")) return;
            if (code_ == 999) {
                advance();
                continue;
            }
            if (!atZero("TABLE")) fail("expected TABLE or ENDSEC, found \"" + printable(value_) + "\"");
            std::size_t tableLine = line_;
            Record head = readRecord(HandlePolicy::Optional);
            std::string name = upperName(head.text(2));
            if (name.empty()) failAt(tableLine, "TABLE without a name (group 2)");
            if (db_.table(name)) failAt(tableLine, "table " + name + " appears twice");
            SymbolTable table;
            table.name = name;
            table.head = db_.addAsIs(std::move(head));
            while (true) {
                requireMore(("table " + name).c_str(), tableLine);
                if (code_ != 0) fail("group " + std::to_string(code_) + " outside a table record");
                if (value_ == "ENDTAB") break;
                if (value_ == "ENDSEC" || value_ == "TABLE" || value_ == "EOF")
                    fail("table " + name + " begun at line " + std::to_string(tableLine) + " has no ENDTAB");
                Record entry = readRecord(HandlePolicy::Required);
                entry.owner = table.head;
                RecordId id = db_.addAsIs(std::move(entry));
                table.entries.push_back(id);
                db_.indexEntry(table, id, false);  // a repeated name keeps the first entry
            }
            db_.tables().push_back(std::move(table));
            advance();  // past ENDTAB (which has no groups of its own)
            while (have_ && code_ != 0) advance();
        }
    }

    void readBlocks(std::size_t sectionLine) {
        while (true) {
            requireMore("the BLOCKS section", sectionLine);
            if (atZero("ENDSEC")) return;
            if (code_ == 999) {
                advance();
                continue;
            }
            if (!atZero("BLOCK")) fail("expected BLOCK or ENDSEC, found \"" + printable(value_) + "\"");
            std::size_t blockLine = line_;
            Record begin = readRecord(HandlePolicy::Required);
            std::string name(begin.text(2));
            if (name.empty()) failAt(blockLine, "BLOCK without a name (group 2)");
            if (db_.block(name)) failAt(blockLine, "block \"" + printable(name) + "\" is defined twice");
            RecordId beginId = db_.addAsIs(std::move(begin));
            std::vector<RecordId> entities;
            while (true) {
                requireMore(("block " + name).c_str(), blockLine);
                if (code_ != 0) fail("group " + std::to_string(code_) + " outside a record");
                if (value_ == "ENDBLK") break;
                if (value_ == "ENDSEC" || value_ == "BLOCK" || value_ == "EOF")
                    fail("block \"" + printable(name) + "\" begun at line " + std::to_string(blockLine) +
                         " has no ENDBLK");
                Record e = readRecord(HandlePolicy::Required);
                e.owner = beginId;
                entities.push_back(db_.addAsIs(std::move(e)));
            }
            Record end = readRecord(HandlePolicy::Required);
            RecordId endId = db_.addAsIs(std::move(end));
            BlockDefinition& b = db_.addBlock(name, beginId, endId);
            b.entities = std::move(entities);
        }
    }

    void readEntities(std::size_t sectionLine) {
        auto& list = db_.entities();
        while (true) {
            requireMore("the ENTITIES section", sectionLine);
            if (code_ != 0) fail("group " + std::to_string(code_) + " outside a record");
            if (value_ == "ENDSEC") return;
            if (value_ == "SECTION" || value_ == "EOF")
                fail("section ENTITIES begun at line " + std::to_string(sectionLine) + " has no ENDSEC");
            Record r = readRecord(HandlePolicy::Required);
            bool paper = paper_;
            RecordId id = db_.addAsIs(std::move(r));
            list.push_back(id);
            if (paper) paperEntities_.push_back(id);
        }
    }

    void readOpaque(const std::string& name, std::size_t sectionLine) {
        OpaqueSection& section = db_.opaqueSections().emplace_back();
        section.name = name;
        bool objects = name == "OBJECTS";
        // Groups standing directly in the section (THUMBNAILIMAGE, ACDSDATA)
        // are kept as a record without a type.
        if (have_ && code_ != 0) {
            Record loose;
            while (have_ && code_ != 0) {
                loose.groups.emplace_back(code_, std::string(value_));
                advance();
            }
            section.records.push_back(db_.addAsIs(std::move(loose)));
        }
        while (true) {
            requireMore(("the " + name + " section").c_str(), sectionLine);
            if (value_ == "ENDSEC") return;
            if (value_ == "SECTION" || value_ == "EOF")
                fail("section " + name + " begun at line " + std::to_string(sectionLine) + " has no ENDSEC");
            section.records.push_back(
                db_.addAsIs(readRecord(objects ? HandlePolicy::Required : HandlePolicy::Optional)));
        }
    }

    // After the whole file: handles for records that lack one or repeated
    // another's, the header loaded into the system variables, entities given
    // their space, and what a drawing needs that a partial file left out.
    void finish() {
        applyHeader();
        for (RecordId id : pendingHandles_) db_.assignNewHandle(id);
        completeDrawing(db_);
        RecordId model = db_.modelSpace().begin;
        RecordId paper = db_.paperSpace().begin;
        for (RecordId id : db_.entities()) db_.setOwner(id, model);
        for (RecordId id : paperEntities_) db_.setOwner(id, paper);
    }

    // Gives back the consumed part of a mapped file every 2 MB, in every
    // section: nothing refers to the text of the records already read, and
    // pages kept would count against the drawing's memory.
    void maybeRelease() {
        if (!release_) return;
        const char* upTo = lx_.groupStart();
        if (upTo - released_ < (2 << 20)) return;
        release_(released_, upTo, releaseContext_);
        released_ = upTo;
    }

    void applyHeader() {
        SystemVariables& vars = db_.variables();
        for (const HeaderVariable& hv : db_.header()) {
            if (hv.name == "$ACADVER" && !hv.groups.empty()) db_.version() = hv.groups.front().value;
            if (hv.name == "$HANDSEED" && !hv.groups.empty()) {
                if (auto seed = parseHandle(hv.groups.front().value); seed && *seed > 0) db_.noteHandle(*seed - 1);
            }
            if (hv.name.size() < 2 || hv.name[0] != '$') continue;
            SystemVariable* v = vars.find(std::string_view(hv.name).substr(1));
            if (!v || !v->inHeader) continue;
            if (auto value = headerValue(*v, hv.groups)) v->value = *value;
        }
        if (db_.version().empty()) db_.version() = "AC1009";  // files without a header are R12
        if (SystemVariable* v = vars.find("ACADVER")) v->value = db_.version();
    }

    Lexer lx_;
    const std::string& file_;
    Database& db_;
    std::vector<std::string>* warnings_;
    bool have_ = false;
    int code_ = 0;
    std::string_view value_;
    std::size_t line_ = 0;
    ReleaseFn release_;
    void* releaseContext_;
    const char* released_;
    bool paper_ = false;  // the record read last has 67 = 1
    std::vector<RawGroup> scratch_;
    std::vector<RecordId> pendingHandles_;
    std::vector<RecordId> paperEntities_;
};

std::string_view skipBom(std::string_view text) {
    if (text.size() >= 3 && text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    return text;
}

// Refuses content that is not ASCII DXF with a message that says what it is.
void checkContent(std::string_view text, const std::string& file) {
    if (text.empty()) throw Error(file, 0, "the file is empty");
    if (text.substr(0, 18) == "AutoCAD Binary DXF")
        throw Error(file, 0, "binary DXF is not supported; save the drawing as ASCII DXF");
    bool dwgMagic = text.size() >= 6 && text.substr(0, 4) == "AC10" && text[4] >= '0' && text[4] <= '9' &&
                    text[5] >= '0' && text[5] <= '9';
    std::string_view head = text.substr(0, 256);
    bool binary = head.find('\0') != std::string_view::npos;
    if (dwgMagic)
        throw Error(file, 0,
                    "this is a binary DWG drawing (" + std::string(text.substr(0, 6)) +
                        "); only drawings saved as DXF can be read");
    if (binary) throw Error(file, 0, "binary data, not a DXF drawing");
}

std::unique_ptr<Database> parse(std::string_view text, const std::string& name,
                                std::vector<std::string>* warnings, ReleaseFn release = nullptr,
                                void* context = nullptr) {
    text = skipBom(text);
    checkContent(text, name);
    auto db = std::make_unique<Database>();
    // A drawing takes 1.6 to 1.8 times its file in arena blocks; asking for
    // a little less leaves nothing prepared in vain.
    constexpr std::size_t kPrepareFrom = std::size_t{4} << 20;
    std::size_t expected = text.size() >= kPrepareFrom ? text.size() / 2 * 3 : 0;
    GroupArena::Preparation ahead(db->groupArena(), expected);
    Parser parser(text, name, *db, warnings, release, context);
    parser.run();
    return db;
}

// Drops whole pages of a consumed region of a mapped file from memory.
void releaseMapped(const char* begin, const char* end, void*) {
    const std::uintptr_t page = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
    std::uintptr_t from = (reinterpret_cast<std::uintptr_t>(begin) + page - 1) & ~(page - 1);
    std::uintptr_t to = reinterpret_cast<std::uintptr_t>(end) & ~(page - 1);
    if (to > from) ::madvise(reinterpret_cast<void*>(from), to - from, MADV_DONTNEED);
}

}  // namespace

std::unique_ptr<Database> readText(std::string_view text, const std::string& name,
                                   std::vector<std::string>* warnings) {
    return parse(text, name, warnings);
}

std::unique_ptr<Database> readFile(const std::string& path, std::vector<std::string>* warnings) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) throw Error(path, 0, std::string("cannot open: ") + std::strerror(errno));
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        throw Error(path, 0, "not a regular file");
    }
    std::size_t size = static_cast<std::size_t>(st.st_size);
    if (size == 0) {
        ::close(fd);
        throw Error(path, 0, "the file is empty");
    }
    void* map = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
    ::close(fd);
    if (map == MAP_FAILED) throw Error(path, 0, std::string("cannot map the file: ") + std::strerror(errno));
    ::madvise(map, size, MADV_SEQUENTIAL);
    struct Unmap {
        void* p;
        std::size_t n;
        ~Unmap() { ::munmap(p, n); }
    } unmap{map, size};
    return parse(std::string_view(static_cast<const char*>(map), size), path, warnings, releaseMapped);
}

std::unique_ptr<Database> loadDrawing(const std::string& path, std::string* error,
                                      std::vector<std::string>* warnings) noexcept {
    try {
        return readFile(path, warnings);
    } catch (const std::exception& e) {
        if (error) *error = e.what();
    } catch (...) {
        if (error) *error = path + ": cannot be read";
    }
    return nullptr;
}

}  // namespace host::dxf
