#include "viewport_choice.h"

#include <map>
#include <set>
#include <utility>

#include "db/group.h"
#include "db/record.h"
#include "layouts.h"

namespace zan::app {

namespace {

// Viewport numbers are 16-bit integers in a drawing; the layout's own paper
// space viewport is number 1.
constexpr long long kMaxViewportNumber = 32767;
// How many of a layout's viewports a message lists.
constexpr std::size_t kMaxListed = 12;

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

bool parseNumber(std::string_view digits, long long& number) {
    if (digits.empty() || digits.size() > 5) return false;
    number = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return false;
        number = number * 10 + (c - '0');
    }
    return number <= kMaxViewportNumber;
}

bool parseItem(std::string_view item, ViewportName& name, std::string& error) {
    name.text = std::string(item);
    if (item.front() == '#') {
        name.byHandle = true;
        // The drawing's own handle reading; 0 is no handle.
        if (auto handle = host::parseHandle(item.substr(1)); handle && *handle != 0) {
            name.handle = *handle;
            return true;
        }
        error = "\"" + name.text + "\": a handle is # and 1 to 16 hexadecimal digits, not 0";
        return false;
    }
    // Layout names cannot hold a colon in CAD programs; the last one is taken
    // as the separator all the same.
    const std::size_t colon = item.rfind(':');
    if (colon == std::string_view::npos) {
        error = "\"" + name.text + "\" is neither LAYOUT:NUMBER nor #HANDLE";
        return false;
    }
    name.layout = std::string(trimmed(item.substr(0, colon)));
    if (name.layout.empty()) {
        error = "\"" + name.text + "\" names no layout before the colon";
        return false;
    }
    if (!parseNumber(trimmed(item.substr(colon + 1)), name.number) || name.number < 1) {
        error = "\"" + name.text + "\": a viewport number is a whole number from 2 to " +
                std::to_string(kMaxViewportNumber);
        return false;
    }
    if (name.number == 1) {
        error = "\"" + name.text + "\" is the layout's own paper space viewport; floating viewports are numbered from 2";
        return false;
    }
    return true;
}

std::string describe(const host::Record& viewport, const std::string& layout) {
    return layout + ":" + std::to_string(viewport.integer(69)) + " (#" + host::formatHandle(viewport.handle) + ")";
}

}  // namespace

bool parseViewportChoice(std::string_view text, ViewportChoice& choice, std::string& error) {
    choice = {};
    if (host::namesEqual(trimmed(text), "all")) {
        choice.all = true;
        return true;
    }
    std::set<std::string> seen;
    while (true) {
        const std::size_t comma = text.find(',');
        const std::string_view item = trimmed(text.substr(0, comma));
        if (item.empty()) {
            error = "an empty viewport in the list (viewports are separated by single commas)";
            return false;
        }
        if (host::namesEqual(item, "all")) {
            error = "\"all\" stands alone, not in a list of viewports";
            return false;
        }
        ViewportName name;
        if (!parseItem(item, name, error)) return false;
        const std::string key = name.byHandle ? "#" + std::to_string(name.handle)
                                              : host::upperName(name.layout) + ":" + std::to_string(name.number);
        if (seen.insert(key).second) choice.named.push_back(std::move(name));
        if (comma == std::string_view::npos) break;
        text.remove_prefix(comma + 1);
    }
    return true;
}

bool resolveViewports(const host::Database& db, const ViewportChoice& choice, std::vector<ChosenViewport>& out,
                      std::string& error) {
    out.clear();
    error.clear();
    // Every viewport of every layout, by the layout it stands on.
    std::map<host::RecordId, std::string> layoutOf;
    std::map<std::pair<std::string, long long>, std::vector<host::RecordId>> byNumber;
    std::set<std::string> layouts;
    for (const render::Layout& layout : render::drawingLayouts(db)) {
        if (layout.model) continue;
        layouts.insert(host::upperName(layout.name));
        for (host::RecordId id : layout.entities) {
            const host::Record& r = db.at(id);
            if (r.type != "VIEWPORT" || r.erased || layoutOf.count(id)) continue;
            layoutOf[id] = layout.name;
            byNumber[{host::upperName(layout.name), r.integer(69)}].push_back(id);
        }
    }

    std::set<host::RecordId> taken;
    auto take = [&](host::RecordId id) {
        if (taken.insert(id).second) out.push_back({id, describe(db.at(id), layoutOf[id])});
    };
    std::vector<std::string> problems;
    if (choice.all) {
        // What a selection of everything in the current layout's paper space holds.
        for (host::RecordId id : db.entities()) {
            const host::Record& r = db.at(id);
            if (r.type == "VIEWPORT" && !r.erased && r.integer(67) == 1 && !render::isPaperSheetViewport(r) &&
                layoutOf.count(id))
                take(id);
        }
        if (out.empty()) problems.push_back("the current layout has no floating viewports");
    }
    for (const ViewportName& name : choice.named) {
        if (name.byHandle) {
            const host::RecordId id = db.findByHandle(name.handle);
            if (id == host::kNoRecord || db.at(id).erased) {
                problems.push_back("no entity has the handle " + name.text);
            } else if (const std::string& type = db.at(id).type; type != "VIEWPORT" || !layoutOf.count(id)) {
                problems.push_back(name.text + " is " + (type.empty() ? "not an entity" : "a " + type) +
                                   ", not a viewport of a layout");
            } else if (render::isPaperSheetViewport(db.at(id))) {
                problems.push_back(name.text + " is the paper space viewport of layout " + layoutOf[id] +
                                   ", not a floating one");
            } else {
                take(id);
            }
            continue;
        }
        const std::string layout = host::upperName(name.layout);
        auto found = byNumber.find({layout, name.number});
        if (found == byNumber.end()) {
            if (!layouts.count(layout)) {
                problems.push_back("the drawing has no layout " + name.layout);
                continue;
            }
            // The viewports the layout does have (the first few), so that the
            // user can pick one.
            std::string there;
            std::size_t listed = 0;
            for (auto it = byNumber.lower_bound({layout, 2}); it != byNumber.end() && it->first.first == layout; ++it)
                for (host::RecordId id : it->second) {
                    if (++listed > kMaxListed) continue;
                    there += (there.empty() ? "" : ", ") + describe(db.at(id), layoutOf[id]);
                }
            if (listed > kMaxListed) there += " and " + std::to_string(listed - kMaxListed) + " more";
            problems.push_back("layout " + name.layout + " has no viewport " + std::to_string(name.number) +
                               (there.empty() ? " (it has no floating viewports)" : " (it has " + there + ")"));
        } else if (found->second.size() > 1) {
            std::string handles;
            for (host::RecordId id : found->second)
                handles += (handles.empty() ? "#" : ", #") + host::formatHandle(db.at(id).handle);
            problems.push_back(name.text + " names " + std::to_string(found->second.size()) +
                               " viewports; name one by its handle (" + handles + ")");
        } else {
            take(found->second.front());
        }
    }
    for (const std::string& p : problems) error += (error.empty() ? "" : "; ") + p;
    return problems.empty();
}

}  // namespace zan::app
