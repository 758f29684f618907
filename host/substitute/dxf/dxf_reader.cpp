// DXF reader: the whole file is mapped (or taken from memory) and cut into
// groups in place; each record's groups are copied once into the database.
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <memory>
#include <mutex>
#include <new>
#include <optional>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "dxf/dxf.h"
#include "dxf/dxf_internal.h"
#include "dxf/dxf_lexer.h"

namespace host::dxf {

Error::Error(std::string file, std::size_t line, const std::string& problem)
    : std::runtime_error(line ? file + ":" + std::to_string(line) + ": " + problem : file + ": " + problem),
      file_(std::move(file)),
      line_(line),
      problem_(problem) {}

namespace {

struct RawGroup {
    int code;
    std::string_view value;
};

enum class HandlePolicy { Required, Optional };

// Called with the part of the text that has been consumed, so that a mapped
// file's pages can be given back while the rest is read.
using ReleaseFn = void (*)(const char* begin, const char* end, void* context);

// Where a reader stands in the text (the current group), and the making of
// a record from the groups that follow a group 0.
class GroupCursor {
public:
    GroupCursor(std::string_view text, const std::string& file, ReleaseFn release, void* context)
        : file_(file), release_(release), releaseContext_(context), released_(text.data()) {
        lexer_.emplace(text, file, 1);
    }

protected:
    [[noreturn]] void fail(const std::string& problem) const { failAt(line_, problem); }
    [[noreturn]] void failAt(std::size_t line, const std::string& problem) const {
        throw Error(file_, line, problem);
    }

    void advance() {
        have_ = lexer_->next(code_, value_, line_);
        if (!have_) line_ = lexer_->lineNumber();
        ++advanced_;
    }

    // Goes on at `text`, a later part of the same text whose first line is
    // `firstLine`, and reads its first group.
    void jumpTo(std::string_view text, std::size_t firstLine) {
        lexer_.emplace(text, file_, firstLine);
        if (released_ < text.data()) released_ = text.data();  // what lies before is another reader's
        advance();
    }

    // Reads the groups of the record whose group 0 is the current group, up
    // to the next group 0, into a Record whose lists and long texts come from
    // `arena`. Its handle is read, not yet checked against the drawing's.
    Record buildRecord(GroupArena& arena, HandlePolicy policy) {
        maybeRelease();
        GroupArena::Scope fromArena(arena);
        Record r;
        r.type.assign(value_.data(), value_.size());
        std::size_t startLine = line_;
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
        return r;
    }

    // Gives back the consumed part of a mapped file every 2 MB, in every
    // section: nothing refers to the text of the records already read, and
    // pages kept would count against the drawing's memory.
    void maybeRelease() {
        if (!release_) return;
        const char* upTo = value_.data();  // the value of the record's group 0: nothing before it is needed
        if (upTo - released_ < (2 << 20)) return;
        release_(released_, upTo, releaseContext_);
        released_ = upTo;
    }

    ReleaseFn release() const { return release_; }
    void* releaseContext() const { return releaseContext_; }

    const std::string& file_;
    bool have_ = false;
    int code_ = 0;
    std::string_view value_;
    std::size_t line_ = 0;
    std::size_t advanced_ = 0;  // groups read so far
    bool paper_ = false;        // the record built last has 67 = 1

private:
    std::optional<Lexer> lexer_;
    ReleaseFn release_;
    void* releaseContext_;
    const char* released_;
    std::vector<RawGroup> scratch_;
};

// The start of the first code line "0" of a record at or after `share` of
// the text (where the second thread begins); none when there is no such
// line. A line "0" followed by one that is not a number is a group code 0 in
// any well-formed text (a value line is followed by a code line, which is a
// number); in any other text the reader never meets the group found, or the
// second thread meets a fault, and its records go unused. The text before
// that point is not looked at.
std::optional<std::size_t> recordFrom(std::string_view text, double share) {
    const char* base = text.data();
    const char* end = base + text.size();
    auto lineEnd = [end](const char* from) {
        const void* nl = std::memchr(from, '\n', static_cast<std::size_t>(end - from));
        return nl ? static_cast<const char*>(nl) : end;
    };
    const char* p = lineEnd(base + static_cast<std::size_t>(static_cast<double>(text.size()) * share));
    while (p < end) {
        const char* line = p + 1;
        const char* stop = lineEnd(line);
        const char* q = line;
        while (q < stop && *q == ' ') ++q;
        if (q < stop && *q == '0' && (q + 1 == stop || (q + 2 == stop && q[1] == '\r')) && stop < end) {
            const char* next = stop + 1;
            const char* nextStop = lineEnd(next);
            const char* r = next;
            while (r < nextStop && *r == ' ') ++r;
            bool number = r < nextStop;
            for (; r < nextStop && *r != '\r'; ++r)
                if (*r < '0' || *r > '9') number = false;
            if (!number && next < nextStop) return static_cast<std::size_t>(line - base);
        }
        p = stop;
    }
    return std::nullopt;
}

// Reads the later part of a large drawing's ENTITIES section on a second
// thread while the reader reads what comes before it. The reader takes its
// records when it reaches, inside ENTITIES, the very group 0 where this one
// began, and goes on at the section's ENDSEC. Anything else (a fault in the
// text, no ENDSEC, the reader never meeting that group) leaves the records
// unused and the reader reads that text itself: the drawing and every
// message are then exactly what reading in one go gives.
class EntitiesAhead : private GroupCursor {
public:
    // Begins at `text`, which starts with the code line "0" of a record.
    EntitiesAhead(std::string_view text, const std::string& file, ReleaseFn release, void* context)
        : GroupCursor(std::string_view(), file, release, context),
          text_(text),
          startValue_(std::find(text.data(), text.data() + text.size(), '\n') + 1) {
        thread_ = std::thread([this] { run(); });
    }
    EntitiesAhead(const EntitiesAhead&) = delete;
    EntitiesAhead& operator=(const EntitiesAhead&) = delete;

    // The value line of the group 0 it begins at.
    const char* startValue() const { return startValue_; }

    // Waits for the thread; true when it read every record up to the
    // section's ENDSEC.
    bool join() {
        thread_.join();
        return done_;
    }

    // After a join that gave true: the records in order, made one after the
    // other in storage of the arena with the room a record store needs after
    // them (it takes them over where they stand), which of them are in paper
    // space, and where the ENDSEC group stands (its code line's start, and
    // groups from the first record's group 0 to it).
    Record* records() { return run_; }
    std::size_t recordCount() const { return count_; }
    // Once the records were stored: they are no longer this reader's to drop.
    void recordsTaken() { count_ = 0; }
    const std::vector<bool>& inPaper() const { return inPaper_; }
    GroupArena& arena() { return arena_; }
    const char* endsecCodeLine() const { return endsec_; }
    std::size_t groupsBeforeEndsec() const { return groupsBefore_; }

    ~EntitiesAhead() {
        stop();
        dropRecords();
    }

private:
    void stop() {
        if (!thread_.joinable()) return;
        stop_.store(true, std::memory_order_relaxed);
        thread_.join();
    }

    void run() {
        // Records are rarely under 32 bytes of text (a POINT with no more
        // than its layer and place); a section with more than that bound
        // is left to the reader.
        const std::size_t most = text_.size() / 32 + 1;
        runBytes_ = (most + RecordStore::kRunRoom) * sizeof(Record);
        run_ = reinterpret_cast<Record*>(arena_.reserveRun(runBytes_));
        if (!run_) return;
        try {
            // This thread's blocks are made ready on another, as the
            // reader's are: a drawing's groups take about 1.2 times their text.
            GroupArena::Preparation groups(arena_, text_.size());
            jumpTo(text_, 1);
            if (have_ && code_ == 0) readRecords(most);
        } catch (...) {
            // The reader meets the same fault itself, with its line.
        }
        if (!done_) dropRecords();
        arena_.keepRun(reinterpret_cast<char*>(run_), runBytes_, (count_ + RecordStore::kRunRoom) * sizeof(Record));
    }

    void readRecords(std::size_t most) {
        inPaper_.reserve(text_.size() / 160);
        while (have_ && code_ == 0) {
            if (value_ == "ENDSEC") {
                groupsBefore_ = advanced_ - 1;
                endsec_ = codeLineOf(value_.data());
                done_ = true;
                return;
            }
            if (value_ == "SECTION" || value_ == "EOF" || count_ == most || stop_.load(std::memory_order_relaxed))
                return;
            new (run_ + count_) Record(buildRecord(arena_, HandlePolicy::Required));
            ++count_;
            inPaper_.push_back(paper_);
        }
    }

    void dropRecords() {
        for (std::size_t i = 0; i < count_; ++i) run_[i].~Record();
        count_ = 0;
    }

    // The start of the code line before the value line at `value`.
    const char* codeLineOf(const char* value) const {
        const char* p = value - 1;  // the code line's line end
        while (p > text_.data() && p[-1] != '\n') --p;
        return p;
    }

    std::string_view text_;  // from the group 0 it begins at
    const char* startValue_;
    GroupArena arena_;  // the records, their lists and texts, taken over by the drawing
    Record* run_ = nullptr;
    std::size_t runBytes_ = 0;
    std::size_t count_ = 0;
    std::vector<bool> inPaper_;
    const char* endsec_ = nullptr;
    std::size_t groupsBefore_ = 0;
    bool done_ = false;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

class Parser : private GroupCursor {
public:
    Parser(std::string_view text, const std::string& file, Database& db, std::vector<std::string>* warnings,
           ReleaseFn release = nullptr, void* context = nullptr)
        : GroupCursor(text, file, release, context), text_(text), db_(db), warnings_(warnings) {
        db_.reserveRecords(text.size() / 128);
    }

    // Has the ENTITIES section, from about `share` of the text that starts
    // with it, read on a second thread.
    void readAhead(double share) { aheadShare_ = share; }

    // Records taken from the second thread.
    std::size_t takenAhead() const { return takenAhead_; }

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
    bool sectionSeen(const std::string& name) const {
        for (const std::string& s : db_.sectionOrder())
            if (s == name) return true;
        return false;
    }

    bool atZero(std::string_view type) const { return have_ && code_ == 0 && value_ == type; }

    void requireMore(const char* what, std::size_t startLine) const {
        if (!have_)
            failAt(line_, std::string("file ends inside ") + what + " begun at line " + std::to_string(startLine));
    }

    // Reads the record whose group 0 is the current group into a Record of
    // this drawing.
    Record readRecord(HandlePolicy policy) {
        Record r = buildRecord(db_.groupArena(), policy);
        settleHandle(r, policy);
        return r;
    }

    // A handle another record has already is dropped (the first keeps it);
    // records without a handle where one is needed get one once the whole
    // file is read.
    void settleHandle(Record& r, HandlePolicy policy) { settleHandle(r, policy, pendingId()); }
    // The same for the record that has or will have `id`.
    void settleHandle(Record& r, HandlePolicy policy, RecordId id) {
        if (r.handle != 0 && db_.findByHandle(r.handle) != kNoRecord) {
            r.handle = 0;
            pendingHandles_.push_back(id);
        } else if (r.handle == 0 && policy == HandlePolicy::Required) {
            pendingHandles_.push_back(id);
        }
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
                table.entries.push_back(db_.addAsIs(std::move(entry)));
            }
            // Indexed once all are known, in one table of the right size.
            table.byName.reserve(table.entries.size());
            for (RecordId id : table.entries) db_.indexEntry(table, id, false);  // a repeated name keeps the first entry
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
        // Room for the section's entities at one for every 128 bytes left, so
        // that the list of a large drawing is not copied as it grows; pages
        // of it that are not filled cost nothing.
        list.reserve(list.size() + (text_.size() - static_cast<std::size_t>(value_.data() - text_.data())) / 128);
        if (aheadShare_) startAhead(*aheadShare_);
        while (true) {
            requireMore("the ENTITIES section", sectionLine);
            if (code_ != 0) fail("group " + std::to_string(code_) + " outside a record");
            if (value_ == "ENDSEC") {
                stopAhead();  // it began after this section: of no use
                return;
            }
            if (value_ == "SECTION" || value_ == "EOF")
                fail("section ENTITIES begun at line " + std::to_string(sectionLine) + " has no ENDSEC");
            if (value_.data() == aheadStart_ && takeAhead()) continue;
            Record r = readRecord(HandlePolicy::Required);
            bool paper = paper_;
            RecordId id = db_.addAsIs(std::move(r));
            list.push_back(id);
            if (paper) paperEntities_.push_back(id);
        }
    }

    void startAhead(double share) {
        std::string_view rest = text_.substr(static_cast<std::size_t>(value_.data() - text_.data()));
        std::optional<std::size_t> from = recordFrom(rest, share);
        if (!from) return;
        try {
            ahead_ = std::make_unique<EntitiesAhead>(rest.substr(*from), file_, release(), releaseContext());
            aheadStart_ = ahead_->startValue();
        } catch (const std::system_error&) {
            // no thread to be had: all of it is read here
        }
    }

    void stopAhead() {
        ahead_.reset();
        aheadStart_ = nullptr;
    }

    // At the group 0 where the second thread began: its records are stored
    // as if read here, and reading goes on at the section's ENDSEC. False
    // (nothing taken) when that thread did not read to the end of the section.
    bool takeAhead() {
        std::unique_ptr<EntitiesAhead> ahead = std::move(ahead_);
        aheadStart_ = nullptr;
        if (!ahead->join()) return false;
        auto& list = db_.entities();
        const std::vector<bool>& paper = ahead->inPaper();
        const std::size_t count = ahead->recordCount();
        db_.groupArena().adopt(ahead->arena());
        list.reserve(list.size() + count);
        ahead->recordsTaken();  // from here on the drawing's, even if storing them fails part way
        const RecordId first = db_.adoptAsIs(ahead->records(), count, [this](Record& r, RecordId id) {
            settleHandle(r, HandlePolicy::Required, id);
        });
        for (std::size_t i = 0; i < count; ++i) {
            const auto id = static_cast<RecordId>(first + i);
            list.push_back(id);
            if (paper[i]) paperEntities_.push_back(id);
        }
        takenAhead_ = count;
        const char* endsec = ahead->endsecCodeLine();
        jumpTo(text_.substr(static_cast<std::size_t>(endsec - text_.data())),
               line_ + 2 * ahead->groupsBeforeEndsec());
        return true;
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
            section.startsLoose = true;
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

    std::string_view text_;
    Database& db_;
    std::vector<std::string>* warnings_;
    std::unique_ptr<EntitiesAhead> ahead_;
    std::optional<double> aheadShare_;  // where a second thread is to begin in ENTITIES, if at all
    const char* aheadStart_ = nullptr;  // where the records read ahead begin
    std::size_t takenAhead_ = 0;
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

// From this size on, a second thread prepares the arena's memory and another
// reads the later part of ENTITIES: below it, they cost more memory (the
// arenas' part-filled last blocks) than they save time.
constexpr std::size_t kSecondThreadsFrom = std::size_t{32} << 20;

std::unique_ptr<Database> parse(std::string_view text, const std::string& name,
                                std::vector<std::string>* warnings, const ReadMode& mode,
                                ReleaseFn release = nullptr, void* context = nullptr) {
    text = skipBom(text);
    checkContent(text, name);
    auto db = std::make_unique<Database>();
    // A drawing takes 1.6 to 1.8 times its file in arena blocks; asking for
    // a little less leaves nothing prepared in vain.
    std::size_t expected = text.size() >= kSecondThreadsFrom ? text.size() / 2 * 3 : 0;
    if (mode.readAhead) expected = expected / 4 * 3;  // the other thread takes its own groups; all records are stored here
    GroupArena::Preparation ahead(db->groupArena(), expected);
    Parser parser(text, name, *db, warnings, release, context);
    if (mode.readAhead) parser.readAhead(mode.aheadAt);
    parser.run();
    if (mode.takenAhead) *mode.takenAhead = parser.takenAhead();
    return db;
}

ReadMode modeFor(std::size_t size) {
    ReadMode mode;
    mode.readAhead = size >= kSecondThreadsFrom;
    return mode;
}

// Drops whole pages of a consumed region of a mapped file from memory.
void releaseMapped(const char* begin, const char* end, void*) {
    const std::uintptr_t page = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
    std::uintptr_t from = (reinterpret_cast<std::uintptr_t>(begin) + page - 1) & ~(page - 1);
    std::uintptr_t to = reinterpret_cast<std::uintptr_t>(end) & ~(page - 1);
    if (to > from) ::madvise(reinterpret_cast<void*>(from), to - from, MADV_DONTNEED);
}

// Gives back the consumed pages of a large mapped file on a thread of its
// own: dropping them took the reader of a 83 MB drawing 9 ms, which it need
// not wait for. Ranges not yet given back when it stops go with the mapping.
class ReleaseOnAThread {
public:
    ReleaseOnAThread() : thread_([this] { run(); }) {}
    ~ReleaseOnAThread() {
        {
            std::lock_guard<std::mutex> hold(lock_);
            stop_ = true;
        }
        wake_.notify_one();
        thread_.join();
    }
    ReleaseOnAThread(const ReleaseOnAThread&) = delete;
    ReleaseOnAThread& operator=(const ReleaseOnAThread&) = delete;

    static void release(const char* begin, const char* end, void* self) {
        auto* me = static_cast<ReleaseOnAThread*>(self);
        {
            std::lock_guard<std::mutex> hold(me->lock_);
            me->ranges_.emplace_back(begin, end);
        }
        me->wake_.notify_one();
    }

private:
    void run() {
        std::unique_lock<std::mutex> hold(lock_);
        while (true) {
            wake_.wait(hold, [this] { return stop_ || !ranges_.empty(); });
            if (stop_) return;
            auto [begin, end] = ranges_.front();
            ranges_.pop_front();
            hold.unlock();
            releaseMapped(begin, end, nullptr);
            hold.lock();
        }
    }

    std::deque<std::pair<const char*, const char*>> ranges_;
    bool stop_ = false;
    std::mutex lock_;
    std::condition_variable wake_;
    std::thread thread_;  // last: it starts once the members above exist
};

}  // namespace

std::unique_ptr<Database> readText(std::string_view text, const std::string& name,
                                   std::vector<std::string>* warnings) {
    return parse(text, name, warnings, modeFor(text.size()));
}

std::unique_ptr<Database> readTextWith(std::string_view text, const std::string& name,
                                       std::vector<std::string>* warnings, const ReadMode& mode) {
    return parse(text, name, warnings, mode);
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
    const std::string_view text(static_cast<const char*>(map), size);
    const ReadMode mode = modeFor(size);
    if (mode.readAhead) {
        std::optional<ReleaseOnAThread> releaser;
        try {
            releaser.emplace();
        } catch (const std::system_error&) {
            // no thread to be had: the reader gives the pages back itself
        }
        if (releaser) return parse(text, path, warnings, mode, ReleaseOnAThread::release, &*releaser);
    }
    return parse(text, path, warnings, mode, releaseMapped);
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
