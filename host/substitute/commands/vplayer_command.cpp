// VPLAYER: freezes and thaws layers in chosen paper space viewports. Each
// option takes a name list (the host's wildcards, letter case ignored) and
// then the viewports: All, Select (objects, Enter ends) or Current.
#include <string>
#include <unordered_set>
#include <vector>

#include "commands/core_commands.h"
#include "commands/layer_name_lists.h"
#include "db/viewport_layers.h"
#include "db/viewports.h"
#include "core/host.h"

namespace host {

namespace {

bool floatingViewport(const Record& r) { return !r.erased && r.type == "VIEWPORT" && r.integer(69, 2) != 1; }

class VplayerCommand {
public:
    explicit VplayerCommand(CommandContext& c) : c_(c), db_(c.host().db()) {}

    void run() {
        if (db_.variables().integer("TILEMODE", 1) == 1) {
            c_.error("** Command not allowed in Model Tab **\n");
            return;
        }
        static const std::vector<std::string> keywords = {"?", "Freeze", "Thaw", "Reset"};
        while (true) {
            std::string option = c_.keyword("Enter an option [?/Freeze/Thaw/Reset]: ", keywords);
            if (option.empty()) return;
            if (option == "?") {
                listFrozen();
                continue;
            }
            bool freeze = option == "Freeze";
            std::string names = c_.text(freeze ? "Enter layer name(s) to freeze: "
                                               : (option == "Thaw" ? "Enter layer name(s) to thaw: "
                                                                   : "Enter layer name(s) to reset: "));
            if (names.empty()) continue;
            std::vector<RecordId> targets = chooseViewports();
            apply(names, freeze, targets);
        }
    }

private:
    std::vector<RecordId> chooseViewports() {
        static const std::vector<std::string> scope = {"All", "Select", "Current"};
        std::string answer = c_.keyword("Enter an option [All/Select/Current] <Current>: ", scope);
        std::vector<RecordId> out;
        if (answer == "All") {
            for (RecordId id : paperViewports(c_.host().db()))
                if (floatingViewport(db_.at(id))) out.push_back(id);
        } else if (answer == "Select") {
            for (RecordId id : c_.selection())
                if (floatingViewport(db_.at(id))) out.push_back(id);
            if (out.empty()) c_.error("No viewports selected.\n");
        } else {
            for (RecordId id : paperViewports(c_.host().db())) {
                const Record& v = db_.at(id);
                if (v.integer(68, 0) == 1 && floatingViewport(v)) out.push_back(id);
            }
            if (out.empty()) c_.error("The current viewport is paper space.\n");
        }
        return out;
    }

    void apply(const std::string& names, bool freeze, const std::vector<RecordId>& targets) {
        NameListMatcher matcher;
        matcher.addList(names);
        std::vector<char> matched(matcher.patterns().size(), 0);
        // The layers the list names, with the table's spelling.
        std::vector<std::string> named;
        if (const SymbolTable* table = db_.table("LAYER"))
            for (RecordId id : table->entries) {
                const Record& layer = db_.at(id);
                if (layer.erased) continue;
                bool hit = false;
                matcher.match(layer.text(2), [&](std::size_t, std::size_t p) {
                    matched[p] = 1;
                    hit = true;
                });
                if (hit) named.emplace_back(layer.text(2));
            }
        for (std::size_t p = 0; p < matched.size(); ++p)
            if (!matched[p] && !matcher.patterns()[p].wildcard)
                c_.error("Cannot find layer \"" + matcher.patterns()[p].text + "\".\n");
        if (targets.empty()) return;

        for (RecordId id : targets) {
            std::vector<std::string> frozen = viewportFrozenLayers(db_.at(id));
            std::vector<std::string> updated;
            if (freeze) {
                std::unordered_set<std::string> present;
                for (const std::string& name : frozen) present.insert(upperName(name));
                updated = frozen;
                for (const std::string& name : named)
                    if (present.insert(upperName(name)).second) updated.push_back(name);
            } else {
                for (const std::string& name : frozen) {
                    bool hit = false;
                    matcher.match(name, [&](std::size_t, std::size_t) { hit = true; });
                    if (!hit) updated.push_back(name);
                }
            }
            if (updated != frozen) setViewportFrozenLayers(db_, id, updated);
        }
    }

    void listFrozen() {
        std::vector<RecordId> targets = chooseViewports();
        for (RecordId id : targets) {
            std::string out = "Layers currently frozen in viewport " + std::string(db_.at(id).text(69, "?")) + ":\n";
            for (const std::string& name : viewportFrozenLayers(db_.at(id))) out += "   " + name + "\n";
            c_.print(out);
        }
    }

    CommandContext& c_;
    Database& db_;
};

}  // namespace

void registerVplayerCommand(Host& host) {
    host.commands().define("VPLAYER", [](CommandContext& c) { VplayerCommand(c).run(); });
}

}  // namespace host
