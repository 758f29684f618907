#include "laycfg/editor_dialog.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <unordered_set>

#include "ads/adslib.h"
#include "levels/level_index.h"
#include "levels/levels.h"
#include "resources/dialog_templates.h"
#include "shell/host_lists.h"
#include "shell/services.h"
#include "shell/state.h"
#include "text/ascii_upper.h"
#include "text/text_hash.h"

namespace zan {

namespace {

constexpr const char* kModule = "lycfgdlg";

char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Bytes from..from+8 of `text`, letters in lower case, as a number whose
// order is the order of those bytes (a missing byte counts as 0, so that a
// shorter text comes first, as in the list order below).
std::uint64_t prefixKey(std::string_view text, std::size_t from) {
    if (text.size() >= from + 8) {
        std::uint64_t word;
        std::memcpy(&word, text.data() + from, 8);
        return __builtin_bswap64(ascii::lowerWord(word));
    }
    std::uint64_t key = 0;
    for (std::size_t k = from; k < from + 8; ++k)
        key = key << 8 | (k < text.size() ? static_cast<unsigned char>(lowerAscii(text[k])) : 0u);
    return key;
}
constexpr std::size_t kKeyBytes = 16;

// The order of sorted lists: letters compared without case, byte by byte,
// a text before every longer one it begins. A three-way comparison
// (negative: a first) of texts whose first `skip` bytes are known to match;
// where a text is shorter than that, its key held zeros that matched real
// bytes of the other one, and the comparison starts at the shorter length.
int compareFrom(std::string_view a, std::string_view b, std::size_t skip) {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = std::min(skip, n); i < n; ++i) {
        auto x = static_cast<unsigned char>(lowerAscii(a[i]));
        auto y = static_cast<unsigned char>(lowerAscii(b[i]));
        if (x != y) return x < y ? -1 : 1;
    }
    return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

std::vector<std::string> tableNames(const char* table) {
    std::vector<std::string> names;
    for (resbuf* entry = ads_tblnext(table, 1); entry != nullptr; entry = ads_tblnext(table, 0)) {
        ResbufList owned(entry);
        if (resbuf* name = findGroup(entry, 2); name != nullptr && name->resval.rstring != nullptr)
            names.emplace_back(name->resval.rstring);
    }
    return names;
}

tk::ItemData dataOf(Level* level) { return reinterpret_cast<tk::ItemData>(level); }

// The indices of `count` lines (the text of line i from `textOf`) in the
// order the sorted lists keep them: equal texts in the order they came.
// True when no two texts are equal without case.
template <typename TextOf>
bool sortLines(std::size_t count, TextOf textOf, std::vector<std::uint32_t>& sorted) {
    // Each line's first sixteen bytes (letters in lower case) as two
    // numbers that order as compareFrom does; only lines whose numbers are
    // equal need their texts compared, from the seventeenth byte on.
    struct Entry {
        std::uint64_t key;
        std::uint64_t key2;
        std::uint32_t line;
    };
    std::vector<Entry> order(count);
    for (std::size_t i = 0; i < count; ++i) {
        const std::string_view text = textOf(i);
        order[i] = Entry{prefixKey(text, 0), prefixKey(text, 8), static_cast<std::uint32_t>(i)};
    }
    // The line number decides last, so that an in-place sort (no buffer of
    // its own) gives the stable order.
    auto before = [&](const Entry& a, const Entry& b) {
        if (a.key != b.key) return a.key < b.key;
        if (a.key2 != b.key2) return a.key2 < b.key2;
        if (const int c = compareFrom(textOf(a.line), textOf(b.line), kKeyBytes); c != 0) return c < 0;
        return a.line < b.line;
    };
    // A table kept in order (as many are) needs no sorting.
    if (!std::is_sorted(order.begin(), order.end(), before)) std::sort(order.begin(), order.end(), before);
    sorted.resize(count);
    for (std::size_t i = 0; i < count; ++i) sorted[i] = order[i].line;
    // Texts equal without case lie next to each other now.
    for (std::size_t i = 1; i < count; ++i) {
        const Entry& a = order[i - 1];
        const Entry& b = order[i];
        if (a.key == b.key && a.key2 == b.key2 && compareFrom(textOf(a.line), textOf(b.line), kKeyBytes) == 0)
            return false;
    }
    return true;
}

// Adds the lines in the order `sorted` gives (from sortLines), so that each
// one lands at the end of the sorted list: the lines are ordered by index,
// not moved, and the list makes room for them once. The lines are read in
// no order of memory: fetch(line, step) asks for what reading a line takes
// ahead of time, step 0 for what step 1 needs to find the rest.
template <typename TextOf, typename DataOf, typename Fetch>
void addInOrder(tk::Dialog& dialog, int listId, const std::vector<std::uint32_t>& sorted, TextOf textOf,
                DataOf dataOf, Fetch fetch) {
    constexpr std::size_t kAhead = 16;
    const std::size_t count = sorted.size();
    for (std::size_t i = 0; i < count && i < 2 * kAhead; ++i) fetch(sorted[i], 0);
    for (std::size_t i = 0; i < count && i < kAhead; ++i) fetch(sorted[i], 1);
    dialog.listAddLines(listId, count, [&](std::size_t i) {
        if (i + 2 * kAhead < count) fetch(sorted[i + 2 * kAhead], 0);
        if (i + kAhead < count) fetch(sorted[i + kAhead], 1);
        return tk::ListLine{textOf(sorted[i]), dataOf(sorted[i])};
    });
}

// What a line of a vector takes to read: the element (a text of a few bytes
// is kept inside its string).
template <typename Lines>
auto fetchElement(const Lines& lines) {
    return [&lines](std::size_t line, int step) {
        if (step == 0) __builtin_prefetch(&lines[line]);
    };
}

template <typename TextOf, typename DataOf, typename Fetch>
void addSorted(tk::Dialog& dialog, int listId, std::size_t count, TextOf textOf, DataOf dataOf, Fetch fetch) {
    std::vector<std::uint32_t> sorted;
    sortLines(count, textOf, sorted);
    addInOrder(dialog, listId, sorted, textOf, dataOf, fetch);
}

}  // namespace

void addLinesSorted(tk::Dialog& dialog, int listId, std::vector<std::pair<std::string, tk::ItemData>> lines) {
    addSorted(
        dialog, listId, lines.size(), [&](std::size_t i) -> std::string_view { return lines[i].first; },
        [&](std::size_t i) { return lines[i].second; }, fetchElement(lines));
}

LayerConfigurationEditor::LayerConfigurationEditor(EditorOwner& owner, LayerConfiguration* configuration)
    : tk::Dialog(resources::layerConfigurationEditorTemplate()), owner_(owner), configuration_(configuration) {
    if (configuration_ != nullptr) {
        ucsName_ = configuration_->ucsName;
        viewName_ = configuration_->viewName;
        option_ = configuration_->undefinedLayerOption;
    }
}

bool LayerConfigurationEditor::open() { return openModeless(state().hostMainWindow); }

int LayerConfigurationEditor::listOf(RuleLists::Which which) {
    static const int kLists[4] = {kIncludedLevels, kExcludedLevels, kIncludedLayers, kExcludedLayers};
    return kLists[which];
}

bool LayerConfigurationEditor::onInit() {
    std::vector<std::pair<std::string, tk::ItemData>> lines;
    for (const auto& level : state().levelList) lines.emplace_back(level->name, dataOf(level.get()));
    addLinesSorted(*this, kLevels, std::move(lines));

    // The layer list of a drawing unchanged since the last one was shown
    // is the same: the table is then neither read nor sorted again.
    if (!layers_.current()) layers_.read();
    const NameList& names = layers_.names();
    std::vector<std::uint32_t>& sorted = layers_.sortedOrder();
    if (sorted.size() != names.size())
        layers_.namesDiffer() = sortLines(names.size(), [&](std::size_t i) { return names[i]; }, sorted);
    addInOrder(
        *this, kLayers, sorted, [&](std::size_t i) { return names[i]; }, [](std::size_t) { return tk::ItemData{0}; },
        [&](std::size_t i, int step) { names.prefetch(i, step); });

    for (const std::string& name : tableNames("VIEW")) listAdd(kViewList, name);
    for (const std::string& name : tableNames("UCS")) listAdd(kUcsList, name);

    if (configuration_ != nullptr) fillFromConfiguration(*configuration_);
    // An option outside the three leaves every button clear; OK then keeps it.
    if (option_ >= 0 && option_ <= 2) checkRadioButton(kNoAction, kThaw, kNoAction + option_);
    return true;
}

void LayerConfigurationEditor::fillFromConfiguration(const LayerConfiguration& c) {
    // The configuration's lists are shown as they are, without the adding
    // rules: a file may name the same entry on both sides.
    auto show = [&](RuleLists::Which which, const std::string& text, Level* level) {
        if (rules_.insert(which, text, level)) dirty_[which] = true;
    };
    for (Level* level : c.includedModifiers) show(RuleLists::ModifiersIncluded, level->name, level);
    for (const std::string& name : c.unresolvedIncludedModifiers) show(RuleLists::ModifiersIncluded, name, nullptr);
    for (Level* level : c.excludedModifiers) show(RuleLists::ModifiersExcluded, level->name, level);
    for (const std::string& name : c.unresolvedExcludedModifiers) show(RuleLists::ModifiersExcluded, name, nullptr);
    for (const std::string& name : c.includedLayers) show(RuleLists::LayersIncluded, name, nullptr);
    for (const std::string& name : c.excludedLayers) show(RuleLists::LayersExcluded, name, nullptr);
    for (int which = 0; which < 4; ++which)
        if (dirty_[which]) syncList(static_cast<RuleLists::Which>(which));

    setItemText(kName, c.name);
    if (int line = listFind(kUcsList, ucsName_); line >= 0) listSetCurrent(kUcsList, line);
    if (int line = listFind(kViewList, viewName_); line >= 0) listSetCurrent(kViewList, line);
}

void LayerConfigurationEditor::addRule(RuleLists::Which which, std::string_view text, Level* level, bool display) {
    report(rules_.add(which, text, level), which, text, level, display);
}

void LayerConfigurationEditor::report(RuleLists::Result result, RuleLists::Which which, std::string_view text,
                                      Level* level, bool display) {
    switch (result) {
        case RuleLists::Added:
            if (display)
                listAdd(listOf(which), text, dataOf(level));
            else
                dirty_[which] = true;
            break;
        case RuleLists::Conflict: messageBox(RuleLists::conflictMessage(which, text), tk::MB_OK); break;
        case RuleLists::AlreadyListed: break;
    }
}

void LayerConfigurationEditor::addHighlightedLevels(RuleLists::Which which) {
    const LevelIndex index(state().levelList);
    for (int line : listSelection(kLevels)) {
        // The level is found by the line's name, so that a line never
        // stands for a level that has gone meanwhile.
        if (Level* level = index.find(listText(kLevels, line))) addRule(which, level->name, level);
    }
}

void LayerConfigurationEditor::addHighlightedLayers(RuleLists::Which which, const char* prefix) {
    for (int line : listSelection(kLayers)) addRule(which, prefix + listText(kLayers, line), nullptr);
}

void LayerConfigurationEditor::removeHighlighted(RuleLists::Which which) {
    const int list = listOf(which);
    int line = listCurrent(list);
    if (line < 0) return;
    rules_.remove(which, listText(list, line));
    listDelete(list, line);
}

void LayerConfigurationEditor::syncList(RuleLists::Which which) {
    const int list = listOf(which);
    int current = listCurrent(list);
    std::string selected = current >= 0 ? listText(list, current) : std::string();
    const std::vector<RuleLists::Line>& lines = rules_.lines(which);
    listClear(list);
    addSorted(
        *this, list, lines.size(), [&](std::size_t i) -> std::string_view { return lines[i].text; },
        [&](std::size_t i) { return dataOf(lines[i].level); }, fetchElement(lines));
    if (current >= 0)
        if (int again = listFind(list, selected); again >= 0) listSetCurrent(list, again);
    dirty_[which] = false;
}

void LayerConfigurationEditor::onCommand(int controlId, int notification) {
    if (notification != tk::BN_CLICKED) return;
    switch (controlId) {
        case kIncludeLevels: addHighlightedLevels(RuleLists::ModifiersIncluded); break;
        case kExcludeLevels: addHighlightedLevels(RuleLists::ModifiersExcluded); break;
        case kIncludeLayers: addHighlightedLayers(RuleLists::LayersIncluded, ""); break;
        case kExcludeLayers: addHighlightedLayers(RuleLists::LayersExcluded, ""); break;
        case kIncludeLayerPatterns: addHighlightedLayers(RuleLists::LayersIncluded, "*"); break;
        case kExcludeLayerPatterns: addHighlightedLayers(RuleLists::LayersExcluded, "*"); break;
        case kRemoveIncludedLevel: removeHighlighted(RuleLists::ModifiersIncluded); break;
        case kRemoveExcludedLevel: removeHighlighted(RuleLists::ModifiersExcluded); break;
        case kRemoveIncludedLayer: removeHighlighted(RuleLists::LayersIncluded); break;
        case kRemoveExcludedLayer: removeHighlighted(RuleLists::LayersExcluded); break;
        case kClearAll:
            for (int which = 0; which < 4; ++which) {
                rules_.clear(static_cast<RuleLists::Which>(which));
                listClear(listOf(static_cast<RuleLists::Which>(which)));
                dirty_[which] = false;
            }
            break;
        case kCaptureGlobal: captureGlobal(); break;
        case kCaptureViewport: owner_.viewportCaptureRequested(); break;
        default: break;
    }
}

// ---- Captures ----------------------------------------------------------------

void LayerConfigurationEditor::includeLevel(Level& level) { queueRule(RuleLists::ModifiersIncluded, level.name, &level); }
void LayerConfigurationEditor::excludeLevel(Level& level) { queueRule(RuleLists::ModifiersExcluded, level.name, &level); }
void LayerConfigurationEditor::includeLayer(std::string_view name) { queueRule(RuleLists::LayersIncluded, name, nullptr); }
void LayerConfigurationEditor::excludeLayer(std::string_view name) { queueRule(RuleLists::LayersExcluded, name, nullptr); }

void LayerConfigurationEditor::addQueued(const QueuedRule& rule) {
    if (uncheckedLayers_ && (rule.which == RuleLists::LayersIncluded || rule.which == RuleLists::LayersExcluded)) {
        rules_.append(rule.which, rule.hash, rule.text, rule.level);
        report(RuleLists::Added, rule.which, rule.text, rule.level, false);
        return;
    }
    report(rules_.add(rule.which, rule.text, rule.level, rule.hash), rule.which, rule.text, rule.level, false);
}

void LayerConfigurationEditor::queueRule(RuleLists::Which which, std::string_view text, Level* level) {
    if (queueCount_ == kQueueLength) {
        addQueued(queued_[queueHead_]);
        queueHead_ = (queueHead_ + 1) % kQueueLength;
        --queueCount_;
    }
    const std::size_t h = RuleLists::hashOf(text);
    rules_.prefetch(which, h);
    queued_[(queueHead_ + queueCount_) % kQueueLength] = QueuedRule{which, text, level, h};
    ++queueCount_;
}

void LayerConfigurationEditor::flushQueuedRules() {
    for (; queueCount_ > 0; --queueCount_) {
        addQueued(queued_[queueHead_]);
        queueHead_ = (queueHead_ + 1) % kQueueLength;
    }
    queueHead_ = 0;
}

void LayerConfigurationEditor::expect(std::size_t levelRules, std::size_t includedLayers, std::size_t excludedLayers) {
    auto room = [&](RuleLists::Which which, std::size_t more) { rules_.reserve(which, rules_.lines(which).size() + more); };
    room(RuleLists::ModifiersIncluded, levelRules);
    room(RuleLists::ModifiersExcluded, levelRules);
    room(RuleLists::LayersIncluded, includedLayers);
    room(RuleLists::LayersExcluded, excludedLayers);
}

template <typename Names>
void LayerConfigurationEditor::runCapture(const Names& frozen, const Names& thawed) {
    // The queue starts empty even if an earlier capture was cut short: it
    // never holds names of another reading.
    queueHead_ = queueCount_ = 0;
    analyseCapture(frozen, thawed, state().levelList, state().modifierSeparator, *this);
    flushQueuedRules();
    for (int which = 0; which < 4; ++which)
        if (dirty_[which]) syncList(static_cast<RuleLists::Which>(which));
}

void LayerConfigurationEditor::captureGlobal() {
    // The editor is modeless: the drawing may have changed since the table
    // was read, and then it is read again.
    if (!layers_.current()) layers_.read();
    const auto [frozen, thawed] = layers_.split();
    // Layer names that all differ (as the sort of the layer list found
    // them) go each to one list of a pair, once: into empty layer lists
    // they are added without being looked up there.
    uncheckedLayers_ = layers_.sortedOrder().size() == layers_.names().size() && layers_.namesDiffer() &&
                       rules_.lines(RuleLists::LayersIncluded).empty() &&
                       rules_.lines(RuleLists::LayersExcluded).empty();
    runCapture(frozen, thawed);
    uncheckedLayers_ = false;
}

void LayerConfigurationEditor::captureFromViewport() {
    show(tk::SW_HIDE);
    tk::platform().bringWindowToTop(state().hostMainWindow);

    resbuf tileMode{};
    if (ads_getvar("TILEMODE", &tileMode) != RTNORM || tileMode.resval.rint != 0) {
        ads_printf("You must be in Paperspace in order to capture layers from Viewports.");
        return;
    }
    returnFocusToHost();
    ads_command(RTSTR, "PSPACE", 0);

    ads_name viewport;
    ads_point picked;
    ResbufList data;
    while (true) {
        int status = ads_entsel("Select viewport entity:\n", viewport, picked);
        if (status == RTCAN) {
            ads_printf("Function Canceled.\n");
            return;
        }
        if (status != RTNORM) {
            // A pick that hits nothing asks again; Enter ends the capture
            // as a cancel does.
            resbuf errorNumber{};
            if (ads_getvar("ERRNO", &errorNumber) == RTNORM && errorNumber.resval.rint == 52) {
                ads_printf("Function Canceled.\n");
                return;
            }
            continue;
        }
        data.reset(ads_entget(viewport));
        // The reported positions are fixed numbers that users quote.
        if (!data) {
            ads_printf("Bad Entity, %s, %d.\n", kModule, 837);
            return;
        }
        resbuf* type = findGroup(data.get(), 0);
        if (type == nullptr || type->resval.rstring == nullptr) {
            ads_printf("Error, Function Canceled %s, %d.\n", kModule, 843);
            return;
        }
        if (std::string_view(type->resval.rstring) == "VIEWPORT") break;
        ads_printf("Entity is not a viewport.\n");
    }
    if (findGroup(data.get(), 5) == nullptr) {
        ads_printf("Handle not found, Make sure handles are ON.\n");
        return;
    }

    ResbufList applications(ads_buildlist(RTSTR, "ACAD", 0));
    if (!applications) {
        ads_printf("Error at %s, %d.\n", kModule, 870);
        return;
    }
    ResbufList extended(ads_entgetx(viewport, applications.get()));
    if (!extended) {
        ads_printf("Error at %s, %d.\n", kModule, 878);
        return;
    }
    NameList frozen;
    resbuf* item = findGroup(extended.get(), 1003);
    if (item == nullptr) ads_printf("No layers are frozen in selected Viewport.\n");
    for (; item != nullptr && item->restype != 1002; item = item->rbnext)
        if (item->restype == 1003 && item->resval.rstring != nullptr) frozen.add(item->resval.rstring);

    std::unordered_set<std::string_view, ascii::TextHash> frozenNames;
    for (std::size_t i = 0; i < frozen.size(); ++i) frozenNames.insert(frozen[i]);
    if (!layers_.current()) layers_.read();
    const NameList& layers = layers_.names();
    NameList thawed;
    for (std::size_t i = 0; i < layers.size(); ++i)
        if (frozenNames.find(layers[i]) == frozenNames.end()) thawed.add(layers[i]);
    runCapture(frozen, thawed);
}

void LayerConfigurationEditor::bringForward() {
    show(tk::SW_SHOWNORMAL);
    bringToFront();
}

// ---- OK and commit --------------------------------------------------------------

void LayerConfigurationEditor::takeControls() {
    Taken t;
    t.name = itemText(kName);
    int checked = checkedRadioButton(kNoAction, kThaw);
    t.option = checked != 0 ? checked - kNoAction : option_;
    const LevelIndex index(state().levelList);
    auto takeLevels = [&](int list, std::vector<Level*>& levels, std::vector<std::string>& unresolved) {
        for (std::string& text : listTexts(list)) {
            if (Level* level = index.find(text))
                levels.push_back(level);
            else if (!text.empty())
                unresolved.push_back(std::move(text));
        }
    };
    takeLevels(kIncludedLevels, t.includedLevels, t.unresolvedIncluded);
    takeLevels(kExcludedLevels, t.excludedLevels, t.unresolvedExcluded);
    t.includedLayers = listTexts(kIncludedLayers);
    t.excludedLayers = listTexts(kExcludedLayers);
    if (int line = listCurrent(kUcsList); line >= 0) ucsName_ = listText(kUcsList, line);
    if (int line = listCurrent(kViewList); line >= 0) viewName_ = listText(kViewList, line);
    taken_ = std::move(t);
}

void LayerConfigurationEditor::onOK() {
    takeControls();
    owner_.editorCommitted(*this);
    endDialog(tk::IDOK);
}

void LayerConfigurationEditor::commitInto(LayerConfiguration& target) const {
    target.setName(taken_.name.empty() ? std::string_view("Untitled") : std::string_view(taken_.name));
    target.clearIncludedLayers();
    target.clearExcludedLayers();
    target.addIncludedLayers(taken_.includedLayers);
    target.addExcludedLayers(taken_.excludedLayers);
    target.clearIncludedModifiers();
    target.clearExcludedModifiers();
    target.addIncludedModifiers(taken_.includedLevels);
    target.addExcludedModifiers(taken_.excludedLevels);
    target.clearUnresolvedIncludedModifiers();
    target.clearUnresolvedExcludedModifiers();
    target.addUnresolvedIncludedModifiers(taken_.unresolvedIncluded);
    target.addUnresolvedExcludedModifiers(taken_.unresolvedExcluded);
    target.ucsName = ucsName_;
    target.viewName = viewName_;
    target.undefinedLayerOption = taken_.option;
}

void LayerConfigurationEditor::onDestroyed(int) { owner_.editorClosed(*this); }

}  // namespace zan
