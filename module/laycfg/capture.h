// Deriving a configuration's rules from a freeze state: the four rule lists
// of the editor with their adding rules, and the capture analysis that turns
// frozen and thawed layer names into level and layer rules.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "laycfg/name_list.h"
#include "levels/level.h"
#include "text/text_hash.h"

namespace zan {

// The editor's right-hand lists: included and excluded levels (by name) and
// included and excluded layer names or patterns. A text is in a list at
// most once; add() never puts it in both lists of a pair.
class RuleLists {
public:
    enum Which { ModifiersIncluded = 0, ModifiersExcluded = 1, LayersIncluded = 2, LayersExcluded = 3 };
    enum Result { Added, AlreadyListed, Conflict };
    struct Line {
        std::string text;
        Level* level = nullptr;  // the level a modifier line stands for, if any
    };

    // The list that holds the opposite rule for the same text.
    static Which opposite(Which list) { return static_cast<Which>(list ^ 1); }
    // The message shown when adding to `list` conflicts with its opposite.
    static std::string conflictMessage(Which list, std::string_view text);

    // Adds unless `list` holds the text already (AlreadyListed) or its
    // opposite does (Conflict); the lists are then unchanged.
    Result add(Which list, std::string_view text, Level* level = nullptr);
    // The same with the text's hash (hashOf) known.
    Result add(Which list, std::string_view text, Level* level, std::size_t h);
    static std::size_t hashOf(std::string_view text) { return ascii::hashText(text); }
    // Adds a text (of hash `h`) that neither `list` nor its opposite holds,
    // as the caller knows: add() without its lookups.
    void append(Which list, std::size_t h, std::string_view text, Level* level);
    // Asks memory early for what an add of a text of hash `h` to `list`
    // reads, so that many adds in a row need not wait for each in turn.
    void prefetch(Which list, std::size_t h) const {
        index_[list].prefetch(h);
        index_[opposite(list)].prefetch(h);
    }
    // Adds unless `list` holds the text already, whatever the opposite list
    // holds (to show a configuration as it was stored); true when added.
    bool insert(Which list, std::string_view text, Level* level = nullptr);
    bool remove(Which list, std::string_view text);
    void clear(Which list);
    // Room for `count` lines in `list` in all, made once before many adds.
    void reserve(Which list, std::size_t count);
    bool contains(Which list, std::string_view text) const;
    // The lines in the order they were added.
    const std::vector<Line>& lines(Which list) const { return lines_[list]; }

private:
    // The lines of one list by text: open addressing over line numbers, so
    // that a capture of many names allocates nothing per name and hashes
    // each text once for both lists of a pair.
    class TextIndex {
    public:
        // The line holding `text` (hash `h`), or -1.
        long find(std::size_t h, std::string_view text, const std::vector<Line>& lines) const;
        void insert(std::size_t h, std::uint32_t line);
        void rebuild(const std::vector<Line>& lines);
        void clear();
        // Room for `count` lines in all without growing.
        void reserve(std::size_t count);
        void prefetch(std::size_t h) const {
            if (!slots_.empty()) __builtin_prefetch(&slots_[tagOf(h) & (slots_.size() - 1)]);
        }

    private:
        // A line and the low half of its text's hash side by side, so that
        // a probe reads one place and the slots can be laid out again
        // without hashing the texts again (a table never has 2^32 slots).
        struct Slot {
            std::uint32_t line = 0;  // 0: empty, else line + 1
            std::uint32_t tag = 0;
        };
        static std::uint32_t tagOf(std::size_t h) { return static_cast<std::uint32_t>(h); }
        void rehash(std::size_t size);
        std::vector<Slot> slots_;
        std::size_t count_ = 0;
    };

    bool contains(Which list, std::size_t h, std::string_view text) const;

    std::vector<Line> lines_[4];
    TextIndex index_[4];
};

// Receives the rules a capture derives, in order.
class CaptureSink {
public:
    virtual ~CaptureSink() = default;
    virtual void includeLevel(Level& level) = 0;
    virtual void excludeLevel(Level& level) = 0;
    virtual void includeLayer(std::string_view name) = 0;
    virtual void excludeLayer(std::string_view name) = 0;
    // Before the rules: at most how many level rules (both kinds together),
    // included and excluded layers will follow.
    virtual void expect(std::size_t /*levelRules*/, std::size_t /*includedLayers*/, std::size_t /*excludedLayers*/) {}
};

// The modifier part of a layer name without copying it: the text before the
// first separator less everything up to the last "|"; empty when the name
// holds no separator (or there is no separator).
std::string_view modifierPart(std::string_view layerName, char separator);

// The capture analysis. For each level in list order, the frozen (F) and
// thawed (T) names whose modifier part equals the level's modifier are
// taken; then, with q = |F| / |T| in integer arithmetic:
//   T empty -> exclude the level; F empty -> include it;
//   q = 0 -> include the level and exclude each name of F;
//   q = 1 or 2 -> include each name of T and exclude each name of F;
//   q >= 3 -> exclude the level and include each name of T.
// Names of no level follow: the frozen ones excluded, the thawed included.
// Both inputs are in layer-table order; so is every list of names passed on.
void analyseCapture(const std::vector<std::string>& frozen, const std::vector<std::string>& thawed,
                    const LevelList& levels, char separator, CaptureSink& sink);
void analyseCapture(const NameList& frozen, const NameList& thawed, const LevelList& levels, char separator,
                    CaptureSink& sink);

// Some names of a NameList, by index, in the order of the indices.
class NameSelection {
public:
    NameSelection(const NameList& names, const std::vector<std::uint32_t>& indices)
        : names_(&names), indices_(&indices) {}
    std::size_t size() const { return indices_->size(); }
    std::string_view operator[](std::size_t i) const { return (*names_)[(*indices_)[i]]; }

private:
    const NameList* names_;
    const std::vector<std::uint32_t>* indices_;
};
void analyseCapture(const NameSelection& frozen, const NameSelection& thawed, const LevelList& levels,
                    char separator, CaptureSink& sink);

// The layer table as one walk found it: every layer in table order and
// whether it was frozen, with the drawing's revision at the time. While the
// host reports the same revision nothing in the drawing has changed, so the
// walk need not be made again; a host that reports none gets a new walk
// each time.
class LayerTableSnapshot {
public:
    void read();
    const NameList& names() const { return names_; }
    // Whether the drawing is unchanged since read().
    bool current() const;
    // The layers split by their frozen bit, each part in table order; valid
    // until the next read() or split().
    std::pair<NameSelection, NameSelection> split();
    // The layers in the order of the editor's sorted layer list, kept with
    // the snapshot so that the list of unchanged names is not sorted again;
    // emptied by a read() that finds other names, filled by whoever sorts
    // first.
    std::vector<std::uint32_t>& sortedOrder() { return sortedOrder_; }
    // Whether the sort that made sortedOrder() found no two names equal
    // without case; dropped with it.
    bool& namesDiffer() { return namesDiffer_; }

private:
    NameList names_, previousNames_;
    std::vector<std::uint32_t> sortedOrder_;
    bool namesDiffer_ = false;
    std::vector<bool> frozen_;
    std::string revision_;  // empty: the host reports none
    std::vector<std::uint32_t> frozenLayers_, thawedLayers_;
};
// The snapshot the editor reads into. One for the module, so that its
// buffers are reused from one editor to the next instead of being made
// afresh for every table of many layers; whoever reads it last leaves it
// matching the revision it holds, so sharing it changes no result.
LayerTableSnapshot& layerTableSnapshot();
// The drawing's revision as the host reports it, or empty.
std::string drawingRevision();

}  // namespace zan
