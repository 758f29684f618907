#include "laycfg/capture.h"

#include <algorithm>
#include <cstdint>

#include "ads/adslib.h"
#include "shell/host_lists.h"
#include "shell/host_values.h"
#include "text/text_hash.h"
#include "text/text_table.h"

namespace zan {

std::string RuleLists::conflictMessage(Which list, std::string_view text) {
    static const char* const kPatterns[4] = {
        "level %s is already in the Levels Excluded list.  It will not be added.",
        "level %s is already in the Levels Included list.  It will not be added.",
        "layer %s is already in the Layers Excluded list.  It will not be added.",
        "layer %s is already in the Layers Included list.  It will not be added.",
    };
    std::string pattern = kPatterns[list];
    std::size_t at = pattern.find("%s");
    return pattern.replace(at, 2, text);
}

RuleLists::Result RuleLists::add(Which list, std::string_view text, Level* level) {
    return add(list, text, level, hashOf(text));
}

RuleLists::Result RuleLists::add(Which list, std::string_view text, Level* level, std::size_t h) {
    if (contains(list, h, text)) return AlreadyListed;
    if (contains(opposite(list), h, text)) return Conflict;
    append(list, h, text, level);
    return Added;
}

bool RuleLists::insert(Which list, std::string_view text, Level* level) {
    const std::size_t h = hashOf(text);
    if (contains(list, h, text)) return false;
    append(list, h, text, level);
    return true;
}

void RuleLists::append(Which list, std::size_t h, std::string_view text, Level* level) {
    lines_[list].push_back(Line{std::string(text), level});
    index_[list].insert(h, static_cast<std::uint32_t>(lines_[list].size() - 1));
}

bool RuleLists::remove(Which list, std::string_view text) {
    const long line = index_[list].find(hashOf(text), text, lines_[list]);
    if (line < 0) return false;
    lines_[list].erase(lines_[list].begin() + line);
    // The lines after it moved up by one.
    index_[list].rebuild(lines_[list]);
    return true;
}

void RuleLists::clear(Which list) {
    lines_[list].clear();
    index_[list].clear();
}

bool RuleLists::contains(Which list, std::string_view text) const { return contains(list, hashOf(text), text); }

bool RuleLists::contains(Which list, std::size_t h, std::string_view text) const {
    return index_[list].find(h, text, lines_[list]) >= 0;
}

void RuleLists::reserve(Which list, std::size_t count) {
    if (count > lines_[list].max_size()) return;  // a hint only
    lines_[list].reserve(count);
    index_[list].reserve(count);
}

long RuleLists::TextIndex::find(std::size_t h, std::string_view text, const std::vector<Line>& lines) const {
    if (slots_.empty()) return -1;
    const std::size_t mask = slots_.size() - 1;
    const std::uint32_t tag = tagOf(h);
    for (std::size_t i = tag & mask;; i = (i + 1) & mask) {
        const Slot slot = slots_[i];
        if (slot.line == 0) return -1;
        if (slot.tag == tag && lines[slot.line - 1].text == text) return static_cast<long>(slot.line - 1);
    }
}

void RuleLists::TextIndex::insert(std::size_t h, std::uint32_t line) {
    // At most half full, so that every probe ends at an empty slot soon.
    if (2 * (count_ + 1) > slots_.size()) rehash(slots_.empty() ? 16 : slots_.size() * 2);
    const std::size_t mask = slots_.size() - 1;
    std::size_t i = tagOf(h) & mask;
    while (slots_[i].line != 0) i = (i + 1) & mask;
    slots_[i] = Slot{line + 1, tagOf(h)};
    ++count_;
}

void RuleLists::TextIndex::reserve(std::size_t count) {
    std::size_t size = slots_.empty() ? 16 : slots_.size();
    while (size < 2 * count) size *= 2;
    if (size > slots_.size()) rehash(size);
}

void RuleLists::TextIndex::rehash(std::size_t size) {
    std::vector<Slot> slots(size);
    slots.swap(slots_);
    const std::size_t mask = slots_.size() - 1;
    for (const Slot& s : slots) {
        if (s.line == 0) continue;
        std::size_t i = s.tag & mask;
        while (slots_[i].line != 0) i = (i + 1) & mask;
        slots_[i] = s;
    }
}

void RuleLists::TextIndex::rebuild(const std::vector<Line>& lines) {
    clear();
    for (std::size_t line = 0; line < lines.size(); ++line)
        insert(hashOf(lines[line].text), static_cast<std::uint32_t>(line));
}

void RuleLists::TextIndex::clear() {
    slots_.clear();
    count_ = 0;
}

std::string_view modifierPart(std::string_view layerName, char separator) {
    if (separator == '\0') return {};
    std::size_t at = layerName.find(separator);
    if (at == std::string_view::npos) return {};
    std::string_view modifier = layerName.substr(0, at);
    if (std::size_t bar = modifier.rfind('|'); bar != std::string_view::npos) modifier.remove_prefix(bar + 1);
    return modifier;
}

namespace {

constexpr std::uint32_t kNoLevel = UINT32_MAX;

// Groups names by the level that takes them: the first level in list order
// with the name's modifier. `order` receives the name indices level by
// level (each group in input order), `start` the bounds of each group;
// names of no level go to `leftover` in input order.
template <typename Names>
void groupByLevel(const Names& names, const ascii::TextTable<std::uint32_t>& levelOf, char separator, std::size_t levelCount, std::vector<std::uint32_t>& start,
                  std::vector<std::uint32_t>& order, std::vector<std::uint32_t>& leftover) {
    std::vector<std::uint32_t> slot(names.size(), kNoLevel);
    start.assign(levelCount + 1, 0);
    for (std::size_t i = 0; i < names.size(); ++i) {
        const std::uint32_t* found = levelOf.find(modifierPart(names[i], separator));
        if (found == nullptr) {
            leftover.push_back(static_cast<std::uint32_t>(i));
        } else {
            slot[i] = *found;
            ++start[*found + 1];
        }
    }
    for (std::size_t l = 0; l < levelCount; ++l) start[l + 1] += start[l];
    order.resize(start[levelCount]);
    std::vector<std::uint32_t> next(start.begin(), start.end() - 1);
    for (std::size_t i = 0; i < names.size(); ++i)
        if (slot[i] != kNoLevel) order[next[slot[i]]++] = static_cast<std::uint32_t>(i);
}

template <typename Names>
void analyse(const Names& frozen, const Names& thawed, const LevelList& levels, char separator, CaptureSink& sink) {
    // A later level with the modifier of an earlier one finds its names
    // already taken, so only the first one of each modifier matters.
    ascii::TextTable<std::uint32_t> levelOf;
    for (std::size_t l = 0; l < levels.size(); ++l)
        if (levelOf.find(levels[l]->modifier) == nullptr) levelOf[levels[l]->modifier] = static_cast<std::uint32_t>(l);

    std::vector<std::uint32_t> frozenStart, frozenOrder, frozenLeft, thawedStart, thawedOrder, thawedLeft;
    groupByLevel(frozen, levelOf, separator, levels.size(), frozenStart, frozenOrder, frozenLeft);
    groupByLevel(thawed, levelOf, separator, levels.size(), thawedStart, thawedOrder, thawedLeft);

    // What the loop below will hand on, counted first so that the sink can
    // make room once.
    std::size_t levelRules = 0, includes = thawedLeft.size(), excludes = frozenLeft.size();
    for (std::size_t l = 0; l < levels.size(); ++l) {
        const std::uint32_t f = frozenStart[l + 1] - frozenStart[l], t = thawedStart[l + 1] - thawedStart[l];
        if (f == 0 && t == 0) continue;
        if (f == 0 || t == 0) {
            ++levelRules;
        } else if (f / t == 0) {
            ++levelRules;
            excludes += f;
        } else if (f / t <= 2) {
            includes += t;
            excludes += f;
        } else {
            ++levelRules;
            includes += t;
        }
    }
    sink.expect(levelRules, includes, excludes);

    for (std::size_t l = 0; l < levels.size(); ++l) {
        Level& level = *levels[l];
        const std::uint32_t f0 = frozenStart[l], f1 = frozenStart[l + 1];
        const std::uint32_t t0 = thawedStart[l], t1 = thawedStart[l + 1];
        const std::uint32_t f = f1 - f0, t = t1 - t0;
        if (f == 0 && t == 0) continue;
        auto excludeFrozen = [&] {
            for (std::uint32_t i = f0; i < f1; ++i) sink.excludeLayer(frozen[frozenOrder[i]]);
        };
        auto includeThawed = [&] {
            for (std::uint32_t i = t0; i < t1; ++i) sink.includeLayer(thawed[thawedOrder[i]]);
        };
        if (f == 0) {
            sink.includeLevel(level);
        } else if (t == 0) {
            sink.excludeLevel(level);
        } else {
            // The ratio is an integer quotient compared with 0.4 and 2.5:
            // 0 includes the level, 1 and 2 list single layers, 3 and more
            // exclude the level.
            const std::uint32_t q = f / t;
            if (q < 0.4) {
                sink.includeLevel(level);
                excludeFrozen();
            } else if (q <= 2.5) {
                includeThawed();
                excludeFrozen();
            } else {
                sink.excludeLevel(level);
                includeThawed();
            }
        }
    }
    for (std::uint32_t i : frozenLeft) sink.excludeLayer(frozen[i]);
    for (std::uint32_t i : thawedLeft) sink.includeLayer(thawed[i]);
}

}  // namespace

void analyseCapture(const std::vector<std::string>& frozen, const std::vector<std::string>& thawed,
                    const LevelList& levels, char separator, CaptureSink& sink) {
    analyse(frozen, thawed, levels, separator, sink);
}

void analyseCapture(const NameList& frozen, const NameList& thawed, const LevelList& levels, char separator,
                    CaptureSink& sink) {
    analyse(frozen, thawed, levels, separator, sink);
}

void analyseCapture(const NameSelection& frozen, const NameSelection& thawed, const LevelList& levels,
                    char separator, CaptureSink& sink) {
    analyse(frozen, thawed, levels, separator, sink);
}

namespace {

template <typename Each>
void forEachLayer(Each each) {
    for (resbuf* entry = ads_tblnext("LAYER", 1); entry != nullptr; entry = ads_tblnext("LAYER", 0)) {
        ResbufList owned(entry);
        resbuf* name = findGroup(entry, 2);
        if (name == nullptr || name->resval.rstring == nullptr) continue;
        resbuf* flags = findGroup(entry, 70);
        each(name->resval.rstring, flags != nullptr ? flags->resval.rint : 0);
    }
}

}  // namespace

std::string drawingRevision() { return textVariable("DBREVISION").value_or(std::string()); }

void LayerTableSnapshot::read() {
    // The names read last are kept aside (their buffers are reused by the
    // next read): when the walk finds the very same names in the same order,
    // as after a change of layer states, their sorted order still holds.
    names_.swap(previousNames_);
    names_.clear();
    frozen_.clear();
    revision_ = drawingRevision();
    forEachLayer([&](const char* name, int flags) {
        names_.add(name);
        frozen_.push_back((flags & 1) != 0);
    });
    if (names_ != previousNames_) {
        sortedOrder_.clear();
        namesDiffer_ = false;
    }
}

bool LayerTableSnapshot::current() const { return !revision_.empty() && drawingRevision() == revision_; }

std::pair<NameSelection, NameSelection> LayerTableSnapshot::split() {
    frozenLayers_.clear();
    thawedLayers_.clear();
    for (std::size_t i = 0; i < names_.size(); ++i)
        (frozen_[i] ? frozenLayers_ : thawedLayers_).push_back(static_cast<std::uint32_t>(i));
    return {NameSelection(names_, frozenLayers_), NameSelection(names_, thawedLayers_)};
}

LayerTableSnapshot& layerTableSnapshot() {
    static LayerTableSnapshot snapshot;
    return snapshot;
}

}  // namespace zan
