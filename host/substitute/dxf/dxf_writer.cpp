// DXF writer: the drawing's records in their order, through a buffer that is
// handed to a file or collected in memory.

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cerrno>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "dxf/dxf.h"
#include "dxf/dxf_internal.h"
#include "tk/common/safe_save.h"

namespace host::dxf {
namespace {

// Code lines as AutoCAD writes them: right-aligned in three columns.
struct CodeLine {
    char text[8];
    std::uint8_t length;
};

constexpr std::array<CodeLine, 1072> makeCodeLines() {
    std::array<CodeLine, 1072> lines{};
    for (int c = 0; c < 1072; ++c) {
        char digits[4] = {};
        int n = 0;
        for (int v = c; n == 0 || v > 0; v /= 10) digits[n++] = static_cast<char>('0' + v % 10);
        CodeLine& line = lines[static_cast<std::size_t>(c)];
        int pad = n < 3 ? 3 - n : 0;
        int at = 0;
        for (int i = 0; i < pad; ++i) line.text[at++] = ' ';
        for (int i = n - 1; i >= 0; --i) line.text[at++] = digits[i];
        line.text[at++] = '\n';
        line.length = static_cast<std::uint8_t>(at);
    }
    return lines;
}

constexpr std::array<CodeLine, 1072> kCodeLines = makeCodeLines();

class Output {
public:
    using Sink = std::function<void(const char*, std::size_t)>;
    // The buffer starts small and grows to its full size only for a large
    // drawing: filling megabytes of zeros for every small one costs more
    // than writing it.
    explicit Output(Sink sink) : sink_(std::move(sink)), buffer_(kFirstSize) {}

    void group(int code, std::string_view value) {
        if (code < 0 || code > 1071) return;  // not a file group (entity names, selection data)
        // Room for the code line, the value with every byte escaped, the line end.
        std::size_t need = 8 + 2 * value.size() + 1;
        if (used_ + need > buffer_.size()) {
            if (buffer_.size() < 2 * kChunk) {
                buffer_.resize(std::max(std::min(2 * kChunk, 4 * buffer_.size()), used_ + need));
            } else {
                flush();
                if (need > buffer_.size()) buffer_.resize(need);
            }
        }
        const CodeLine& line = kCodeLines[static_cast<std::size_t>(code)];
        char* out = buffer_.data() + used_;
        std::memcpy(out, line.text, sizeof line.text);
        out += line.length;
        // Control characters would break the line structure; DXF writes
        // them as a caret and the character + 64 ("^J" for a line end).
        // Values without any (nearly all) are copied in one go.
        if (!hasControl(value)) {
            std::memcpy(out, value.data(), value.size());
            out += value.size();
        } else {
            for (char c : value) {
                if (static_cast<unsigned char>(c) < 0x20 && c != '\t') {
                    *out++ = '^';
                    *out++ = static_cast<char>(c + 64);
                } else {
                    *out++ = c;
                }
            }
        }
        *out++ = '\n';
        used_ = static_cast<std::size_t>(out - buffer_.data());
        if (used_ >= kChunk) flush();
    }

    // The same for a group of a record. A value kept inside its group (one
    // of 12 bytes or fewer, nearly all of them) is checked and copied as two
    // words, without a loop over its bytes: the bytes past its end are still
    // inside the group, and they are left out of the check.
    void group(const Group& g) {
        const std::string_view value = g.value.view();
        if (std::endian::native != std::endian::little || !g.value.isInline() || g.code < 0 || g.code > 1071 ||
            used_ + 8 + kInsideSpan + 1 > buffer_.size()) {
            group(g.code, value);
            return;
        }
        std::uint64_t low;
        std::uint32_t high;
        std::memcpy(&low, value.data(), sizeof low);
        std::memcpy(&high, value.data() + sizeof low, sizeof high);
        const std::size_t n = value.size();
        const std::uint64_t lowMask = n >= 8 ? ~std::uint64_t{0} : (std::uint64_t{1} << (8 * n)) - 1;
        const std::uint32_t highMask =
            n >= 12 ? ~std::uint32_t{0} : n <= 8 ? 0 : (std::uint32_t{1} << (8 * (n - 8))) - 1;
        // A byte below a space (a control character, or a tab, which is
        // kept) sends the value the long way.
        const std::uint64_t lowSeen = (low & lowMask) | (0x2020202020202020ull & ~lowMask);
        const std::uint32_t highSeen = (high & highMask) | (0x20202020u & ~highMask);
        if ((((lowSeen - 0x2020202020202020ull) & ~lowSeen & 0x8080808080808080ull) |
             ((highSeen - 0x20202020u) & ~highSeen & 0x80808080u)) != 0) {
            group(g.code, value);
            return;
        }
        const CodeLine& line = kCodeLines[static_cast<std::size_t>(g.code)];
        char* out = buffer_.data() + used_;
        std::memcpy(out, line.text, sizeof line.text);
        out += line.length;
        std::memcpy(out, &low, sizeof low);
        std::memcpy(out + sizeof low, &high, sizeof high);
        out += n;
        *out++ = '\n';
        used_ = static_cast<std::size_t>(out - buffer_.data());
        if (used_ >= kChunk) flush();
    }

    void flush() {
        if (used_ > 0) sink_(buffer_.data(), used_);
        used_ = 0;
    }

private:
    // Without branches per byte, so that the compiler can test many at once.
    static bool hasControl(std::string_view value) {
        unsigned found = 0;
        for (char c : value) {
            auto u = static_cast<unsigned char>(c);
            found |= static_cast<unsigned>(u < 0x20) & static_cast<unsigned>(u != '\t');
        }
        return found != 0;
    }

    // The bytes of a value kept inside its group.
    static constexpr std::size_t kInsideSpan = GroupText::kInlineCapacity;
    static constexpr std::size_t kChunk = 1 << 20;
    static constexpr std::size_t kFirstSize = 1 << 14;
    Sink sink_;
    std::vector<char> buffer_;
    std::size_t used_ = 0;
};

int sectionRank(std::string_view name) {
    static const char* const kOrder[] = {"HEADER", "CLASSES", "TABLES", "BLOCKS", "ENTITIES", "OBJECTS",
                                         "ACDSDATA", "THUMBNAILIMAGE"};
    for (int i = 0; i < 8; ++i)
        if (name == kOrder[i]) return i;
    return 8;
}

class Writer {
public:
    Writer(const Database& db, Output& out)
        : db_(db), out_(out), modern_(isModernVersion(db.version())) {}

    void run() {
        for (const std::string& name : sections()) {
            out_.group(0, "SECTION");
            out_.group(2, name);
            if (name == "HEADER")
                header();
            else if (name == "TABLES")
                tables();
            else if (name == "BLOCKS")
                blocks();
            else if (name == "ENTITIES")
                entities();
            else if (const OpaqueSection* s = findOpaque(name))
                for (std::size_t i = 0; i < s->records.size(); ++i)
                    record(db_.at(s->records[i]), i == 0 && s->startsLoose);
            out_.group(0, "ENDSEC");
        }
        out_.group(0, "EOF");
        out_.flush();
    }

private:
    const OpaqueSection* findOpaque(std::string_view name) const {
        for (const OpaqueSection& s : db_.opaqueSections())
            if (s.name == name) return &s;
        return nullptr;
    }

    // The sections in the order read, with those the drawing needs or holds
    // besides put in their usual places.
    std::vector<std::string> sections() const {
        std::vector<std::string> order = db_.sectionOrder();
        std::vector<std::string> wanted = {"HEADER", "TABLES", "BLOCKS", "ENTITIES"};
        for (const OpaqueSection& s : db_.opaqueSections()) wanted.push_back(s.name);
        for (const std::string& name : wanted) {
            if (std::find(order.begin(), order.end(), name) != order.end()) continue;
            auto at = std::find_if(order.begin(), order.end(),
                                   [&](const std::string& s) { return sectionRank(s) > sectionRank(name); });
            order.insert(at, name);
        }
        return order;
    }

    void header() {
        const SystemVariables& vars = db_.variables();
        std::vector<std::string> written;
        bool hasVersion = false, hasSeed = false;
        for (const HeaderVariable& hv : db_.header()) {
            if (hv.name == "$ACADVER") hasVersion = true;
            if (hv.name == "$HANDSEED") hasSeed = true;
        }
        if (!hasVersion) {
            out_.group(9, "$ACADVER");
            out_.group(1, db_.version().empty() ? "AC1009" : db_.version());
        }
        for (const HeaderVariable& hv : db_.header()) {
            out_.group(9, hv.name);
            if (hv.name == "$HANDSEED") {
                std::uint64_t seed = db_.nextHandle();
                if (!hv.groups.empty())
                    if (auto stored = parseHandle(hv.groups.front().value); stored && *stored > seed) seed = *stored;
                out_.group(hv.groups.empty() ? 5 : hv.groups.front().code, formatHandle(seed));
                continue;
            }
            const SystemVariable* v =
                hv.name.size() > 1 && hv.name[0] == '$' ? vars.find(std::string_view(hv.name).substr(1)) : nullptr;
            if (v && v->inHeader && v->name != "ACADVER") {
                written.push_back(v->name);
                auto stored = headerValue(*v, hv.groups);
                if (!stored || !(*stored == v->value)) {
                    for (const Group& g : headerGroups(*v, hv.groups)) out_.group(g.code, g.value);
                    continue;
                }
            }
            for (const Group& g : hv.groups) out_.group(g.code, g.value);
        }
        // Variables the host keeps that the file did not have.
        for (const auto& [name, v] : vars.all()) {
            if (!v.inHeader || name == "ACADVER") continue;
            if (std::find(written.begin(), written.end(), name) != written.end()) continue;
            if (!modern_ && name == "INSUNITS") continue;  // not an R12 variable
            out_.group(9, "$" + name);
            for (const Group& g : headerGroups(v, {})) out_.group(g.code, g.value);
        }
        if (!hasSeed) {
            if (!modern_) {
                out_.group(9, "$HANDLING");
                out_.group(70, "1");
            }
            out_.group(9, "$HANDSEED");
            out_.group(5, formatHandle(db_.nextHandle()));
        }
    }

    void tables() {
        for (const SymbolTable& t : db_.tables()) {
            if (!modern_ && t.name == "BLOCK_RECORD") continue;
            std::size_t live = 0;
            for (RecordId id : t.entries) live += db_.at(id).erased ? 0 : 1;
            const Record& head = db_.at(t.head);
            out_.group(0, head.type.empty() ? "TABLE" : head.type);
            bool countWritten = false;
            for (const Group& g : head.groups) {
                if (g.code == 70 && !countWritten) {
                    // A 16-bit group: a table of more entries says the most
                    // it can (readers count the entries themselves).
                    out_.group(70, formatInt(static_cast<long long>(std::min<std::size_t>(live, 32767))));
                    countWritten = true;
                    continue;
                }
                groupFiltered(g);
            }
            xdata(head);
            for (RecordId id : t.entries) {
                const Record& r = db_.at(id);
                if (!r.erased) record(r);
            }
            out_.group(0, "ENDTAB");
        }
    }

    void blocks() {
        for (const BlockDefinition& b : db_.blocks()) {
            if (b.begin == kNoRecord || db_.at(b.begin).erased) continue;
            record(db_.at(b.begin));
            for (RecordId id : b.entities)
                if (!db_.at(id).erased) record(db_.at(id));
            if (b.end != kNoRecord) {
                record(db_.at(b.end));
            } else {
                out_.group(0, "ENDBLK");
                out_.group(8, "0");
            }
        }
    }

    void entities() {
        for (RecordId id : db_.entities()) {
            const Record& r = db_.at(id);
            if (!r.erased) record(r);
        }
    }

    // Only the groups that open a section it does not know stand without a
    // type line; any other record keeps its type line, even an empty one,
    // so that its groups are not read as the previous record's.
    void record(const Record& r, bool mayBeLoose = false) {
        if (!r.type.empty() || !mayBeLoose) out_.group(0, r.type);
        if (modern_) {
            for (const Group& g : r.groups)
                if (g.code != 0) out_.group(g);
        } else {
            filteredGroups(r.groups);
        }
        xdata(r);
    }

    void xdata(const Record& r) {
        for (const Group& g : r.xdata) out_.group(g);
    }

    void groupFiltered(const Group& g) {
        if (g.code == 0) return;
        if (!modern_ && (g.code == 100 || g.code == 330 || g.code == 360 || g.code == 102)) return;
        out_.group(g);
    }

    // R12 files have no subclass markers, owners or application groups.
    void filteredGroups(const GroupList& groups) {
        bool inBraces = false;
        for (const Group& g : groups) {
            if (g.code == 102) {
                inBraces = !g.value.empty() && g.value[0] == '{';
                continue;
            }
            if (inBraces) continue;
            groupFiltered(g);
        }
    }

    const Database& db_;
    Output& out_;
    bool modern_;
};

}  // namespace

std::string writeText(const Database& db) {
    std::string text;
    Output out([&](const char* data, std::size_t size) { text.append(data, size); });
    Writer(db, out).run();
    return text;
}

void writeFile(Database& db, const std::string& path) {
    prepareForWrite(db);
    tk::common::SafeSave save;
    if (!save.begin(path)) throw Error(path, 0, save.reason());
    try {
        Output out([&](const char* data, std::size_t size) {
            if (!save.write(data, size)) throw Error(path, 0, save.reason());
        });
        Writer(db, out).run();
    } catch (const Error&) {
        throw;
    } catch (const std::exception& e) {
        throw Error(path, 0, e.what());
    }
    if (!save.commit()) throw Error(path, 0, save.reason());
}

bool saveDrawing(Database& db, const std::string& path, std::string* error) noexcept {
    try {
        writeFile(db, path);
        return true;
    } catch (const std::exception& e) {
        if (error) *error = e.what();
    } catch (...) {
        if (error) *error = path + ": cannot be written";
    }
    return false;
}

}  // namespace host::dxf
