// LAYER (also typed -LAYER or _.LAYER): the command-line form of the layer
// manager. Options: ?, Make, Set, New, ON, OFF, Color, Ltype, Freeze, Thaw,
// LOck, Unlock; name lists take the host's wildcards and ignore case.
//
// The switching options (Freeze, Thaw, ON, OFF, LOck, Unlock) are collected
// and carried out together, one pass over the layer table for the whole run
// of them, before any other option, at the end of the command and when it is
// cancelled; for each layer the last option that names it decides. This keeps
// a long command of many name lists (a layer configuration being restored)
// linear in the number of layers.
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "commands/core_commands.h"
#include "commands/layer_name_lists.h"
#include "db/layers.h"
#include "core/host.h"

namespace host {

namespace {

enum class Attribute { Frozen, Off, Locked };

struct Switch {
    Attribute attribute;
    bool value;
    std::string list;
};

const char* const kNamedColors[] = {"", "RED", "YELLOW", "GREEN", "CYAN", "BLUE", "MAGENTA", "WHITE"};

bool validLayerName(std::string_view name) {
    if (name.empty() || name.size() > 255) return false;
    for (char c : name)
        if (std::string_view("<>/\\\":;?*|,=`").find(c) != std::string_view::npos) return false;
    return name.front() != ' ' && name.back() != ' ';
}

std::optional<int> parseColor(std::string_view text) {
    if (auto n = parseInt(text); n && *n >= 1 && *n <= 255) return static_cast<int>(*n);
    for (int i = 1; i <= 7; ++i)
        if (namesEqual(text, kNamedColors[i])) return i;
    return std::nullopt;
}

// A flags or colour value: short digit runs ("0", "-7", "  64") read here,
// anything else by the general parser, so that the result is the same. A
// restore reads one or two of them for every layer of the table.
long long integerOf(const Group& g, long long fallback) {
    std::string_view text = g.value;
    // A single digit, as most flags and colours are.
    if (text.size() == 1 && text[0] >= '0' && text[0] <= '9') return text[0] - '0';
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    const bool negative = i < text.size() && text[i] == '-';
    if (negative) ++i;
    const std::size_t digits = text.size() - i;
    if (digits == 0 || digits > 9) return parseInt(g.value).value_or(fallback);
    long long value = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c < '0' || c > '9') return parseInt(g.value).value_or(fallback);
        value = value * 10 + (c - '0');
    }
    return negative ? -value : value;
}

// The first name (2), flags (70) and colour (62) groups of a layer record,
// found in one walk that stops once all three are found (they come early in
// a layer's groups, before its line type and the rest).
template <class G>
struct LayerGroups {
    G* name = nullptr;
    G* flags = nullptr;
    G* color = nullptr;

    template <class Groups>
    explicit LayerGroups(Groups& groups) {
        for (G& g : groups) {
            if (g.code == 2) {
                if (!name) name = &g;
            } else if (g.code == 70) {
                if (!flags) flags = &g;
            } else if (g.code == 62) {
                if (!color) color = &g;
            } else {
                continue;
            }
            if (name && flags && color) break;
        }
    }
};

// A layer's flags and colour values, and what the switches make of them.
struct LayerValues {
    long long flags = 0;
    long long color = 7;

    void apply(Attribute attribute, bool value) {
        if (attribute == Attribute::Off) {
            long long wanted = value ? -std::llabs(color) : std::llabs(color);
            if (wanted == 0) wanted = value ? -7 : 7;
            color = wanted;
            return;
        }
        long long bit = attribute == Attribute::Frozen ? kLayerFrozen : kLayerLocked;
        flags = value ? (flags | bit) : (flags & ~bit);
    }
};

class LayerCommand {
public:
    explicit LayerCommand(CommandContext& c) : c_(c), db_(c.host().db()) {}

    void run() {
        try {
            loop();
        } catch (const CommandCancelled&) {
            flush();  // what was entered before the cancel stands
            throw;
        }
        flush();
    }

private:
    void loop() {
        static const std::vector<std::string> keywords = {"?",  "Make",  "Set",   "New",  "ON",   "OFF",
                                                          "Color", "Ltype", "Freeze", "Thaw", "LOck", "Unlock"};
        while (true) {
            std::string option = c_.keyword(
                "Enter an option [?/Make/Set/New/ON/OFF/Color/Ltype/Freeze/Thaw/LOck/Unlock]: ", keywords);
            if (option.empty()) return;
            if (option == "Freeze") queue(Attribute::Frozen, true, "Enter name list of layer(s) to freeze: ");
            else if (option == "Thaw") queue(Attribute::Frozen, false, "Enter name list of layer(s) to thaw: ");
            else if (option == "ON") queue(Attribute::Off, false, "Enter name list of layer(s) to turn On: ");
            else if (option == "OFF") queue(Attribute::Off, true, "Enter name list of layer(s) to turn Off: ");
            else if (option == "LOck") queue(Attribute::Locked, true, "Enter name list of layer(s) to lock: ");
            else if (option == "Unlock") queue(Attribute::Locked, false, "Enter name list of layer(s) to unlock: ");
            else {
                flush();
                if (option == "Set") set();
                else if (option == "Make") make();
                else if (option == "New") create();
                else if (option == "Color") color();
                else if (option == "Ltype") linetype();
                else if (option == "?") list();
            }
        }
    }

    std::string currentLayer() const { return std::string(db_.variables().text("CLAYER")); }

    void queue(Attribute attribute, bool value, const char* prompt) {
        std::string names = c_.text(prompt);
        if (names.empty()) return;
        pending_.push_back(Switch{attribute, value, std::move(names)});
    }

    // Carries out the collected switches: every layer is matched once
    // against all their lists.
    void flush() {
        if (pending_.empty()) return;
        std::vector<Switch> switches;
        switches.swap(pending_);
        NameListMatcher matcher;
        for (const Switch& s : switches) matcher.addList(s.list);
        std::vector<char> patternMatched(matcher.patterns().size(), 0);
        std::vector<char> currentRefused(switches.size(), 0);
        std::string current = currentLayer();

        const SymbolTable* table = db_.table("LAYER");
        RecordId currentId = findLayer(db_, current);
        // Matches one layer against every list; the last list that names
        // it decides each of its states.
        if (table)
            for (std::size_t i = 0; i < table->entries.size(); ++i) {
                // Each record's groups live in a block of their own: ask for
                // the blocks of the next records early, so that the walk is
                // not held up by one memory fetch per layer.
                if (i + 16 < table->entries.size()) {
                    const Record& ahead = db_.at(table->entries[i + 16]);
                    if (!ahead.groups.empty()) {
                        __builtin_prefetch(ahead.groups.data());
                        __builtin_prefetch(reinterpret_cast<const char*>(ahead.groups.data()) + 128);
                        __builtin_prefetch(reinterpret_cast<const char*>(ahead.groups.data()) + 256);
                    }
                }
                RecordId id = table->entries[i];
                const Record& layer = db_.at(id);
                if (layer.erased) continue;
                const LayerGroups<const Group> groups(layer.groups);
                const Group* name = groups.name;
                if (!name) continue;
                int last[3] = {-1, -1, -1};
                bool isCurrent = id == currentId;
                matcher.match(name->value, [&](std::size_t list, std::size_t pattern) {
                    patternMatched[pattern] = 1;
                    const Switch& s = switches[list];
                    if (isCurrent && s.attribute == Attribute::Frozen && s.value) {
                        currentRefused[list] = 1;
                        return;
                    }
                    int& slot = last[static_cast<int>(s.attribute)];
                    if (static_cast<int>(list) > slot) slot = static_cast<int>(list);
                });
                if (last[0] < 0 && last[1] < 0 && last[2] < 0) continue;
                // The new values are worked out first: a layer already as
                // the switches want it is left alone, not stamped as changed.
                // Only the values a switch changes are read.
                LayerValues before;
                if (groups.flags && (last[0] >= 0 || last[2] >= 0)) before.flags = integerOf(*groups.flags, 0);
                if (groups.color && last[1] >= 0) before.color = integerOf(*groups.color, 7);
                LayerValues after = before;
                for (int a = 0; a < 3; ++a)
                    if (last[a] >= 0) after.apply(switches[last[a]].attribute, switches[last[a]].value);
                if (after.flags == before.flags && after.color == before.color) continue;
                db_.modify(id, [&](Record& changed) { store(changed, before, after); });
            }
        for (std::size_t i = 0; i < switches.size(); ++i)
            if (currentRefused[i])
                c_.error("Cannot freeze layer \"" + current + "\".  It is the CURRENT layer.\n");
        for (std::size_t p = 0; p < matcher.patterns().size(); ++p) {
            const NameListMatcher::Pattern& pattern = matcher.patterns()[p];
            if (!patternMatched[p] && !pattern.wildcard) c_.error("Cannot find layer \"" + pattern.text + "\".\n");
        }
    }

    // Writes a layer's changed values: into its groups where it has them,
    // then as new groups (appending may move the groups, so it comes last).
    static void store(Record& layer, const LayerValues& before, const LayerValues& after) {
        const LayerGroups<Group> groups(layer.groups);
        const bool newFlags = after.flags != before.flags;
        const bool newColor = after.color != before.color;
        if (newFlags && groups.flags) groups.flags->value = formatInt(after.flags);
        if (newColor && groups.color) groups.color->value = formatInt(after.color);
        if (newFlags && !groups.flags) layer.setInt(70, after.flags);
        if (newColor && !groups.color) layer.setInt(62, after.color);
    }

    // The layers a list names, in table order.
    std::vector<RecordId> matching(std::string_view names) {
        std::vector<RecordId> out;
        NameListMatcher matcher;
        matcher.addList(names);
        std::vector<char> matched(matcher.patterns().size(), 0);
        if (const SymbolTable* table = db_.table("LAYER"))
            for (RecordId id : table->entries) {
                if (db_.at(id).erased) continue;
                bool hit = false;
                matcher.match(db_.at(id).text(2), [&](std::size_t, std::size_t p) {
                    matched[p] = 1;
                    hit = true;
                });
                if (hit) out.push_back(id);
            }
        for (std::size_t p = 0; p < matched.size(); ++p)
            if (!matched[p] && !matcher.patterns()[p].wildcard)
                c_.error("Cannot find layer \"" + matcher.patterns()[p].text + "\".\n");
        return out;
    }

    void makeCurrent(const std::string& name) {
        RecordId id = findLayer(db_, name);
        if (id == kNoRecord) {
            c_.error("Cannot find layer \"" + name + "\".\n");
        } else if (layerFrozen(db_.at(id))) {
            c_.error("Cannot set current layer to a frozen layer.\n");
        } else {
            setCurrentLayer(c_.host().db(), name);
        }
    }

    void set() {
        std::string name = c_.text("Enter layer name to make current: ");
        if (name.empty()) return;
        makeCurrent(name);
    }

    void make() {
        std::string name = c_.text("Enter name for new layer (becomes the current layer) <" + currentLayer() + ">: ");
        if (name.empty()) return;
        if (findLayer(db_, name) == kNoRecord) {
            if (!validLayerName(name)) {
                c_.error("Invalid layer name.\n");
                return;
            }
            ensureLayer(db_, name);
        }
        makeCurrent(name);
    }

    void create() {
        std::string names = c_.text("Enter name list for new layer(s): ");
        for (std::string_view name : splitNameList(names)) {
            if (name.empty()) continue;
            if (!validLayerName(name)) {
                c_.error("Invalid layer name \"" + std::string(name) + "\".\n");
                continue;
            }
            ensureLayer(db_, name);
        }
    }

    std::string namesOrCurrent(const std::string& prompt) {
        std::string names = c_.text(prompt + " <" + currentLayer() + ">: ");
        return names.empty() ? currentLayer() : names;
    }

    void color() {
        std::string typed = c_.text("New color [Truecolor/COlorbook]: ");
        if (typed.empty()) return;
        std::optional<int> color = parseColor(typed);
        if (!color) {
            c_.error("Invalid color.\n");
            return;
        }
        std::string names = namesOrCurrent("Enter name list of layer(s) for color " + std::to_string(*color));
        for (RecordId id : matching(names)) {
            db_.modify(id, [&](Record& layer) { layer.setInt(62, layerOff(layer) ? -*color : *color); });
        }
    }

    void linetype() {
        std::string typed = c_.text("Enter a loaded linetype name or [?] <Continuous>: ");
        if (typed.empty()) typed = "Continuous";
        RecordId ltype = db_.findEntry("LTYPE", typed);
        if (ltype == kNoRecord) {
            c_.error("Linetype \"" + typed + "\" not found.  Use the LINETYPE command to load it.\n");
            return;
        }
        std::string ltypeName(db_.at(ltype).text(2));
        std::string names = namesOrCurrent("Enter name list of layer(s) for linetype \"" + ltypeName + "\"");
        for (RecordId id : matching(names)) db_.modify(id, [&](Record& layer) { layer.set(6, ltypeName); });
    }

    void list() {
        std::string names = c_.text("Enter layer name(s) to list <*>: ");
        if (names.empty()) names = "*";
        std::string current = currentLayer();
        std::string out = "\nLayer name                       State          Color   Linetype\n";
        for (RecordId id : matching(names)) {
            const Record& layer = db_.at(id);
            std::string name(layer.text(2));
            std::string state = layerOff(layer) ? "Off" : "On";
            if (layerFrozen(layer)) state += " Frozen";
            if (layer.integer(70, 0) & kLayerLocked) state += " Locked";
            char line[400];
            std::snprintf(line, sizeof line, "%-32.255s %-14s %-7lld %s\n", name.c_str(), state.c_str(),
                          std::llabs(layer.integer(62, 7)), std::string(layer.text(6, "Continuous")).c_str());
            out += line;
        }
        out += "\nCurrent layer: " + current + "\n";
        c_.print(out);
    }

    CommandContext& c_;
    Database& db_;
    std::vector<Switch> pending_;
};

}  // namespace

void registerLayerCommands(Host& host) {
    host.commands().define("LAYER", [](CommandContext& c) { LayerCommand(c).run(); });
}

}  // namespace host
