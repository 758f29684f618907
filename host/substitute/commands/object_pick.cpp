#include "commands/object_pick.h"

#include <algorithm>

#include "core/host.h"
#include "core/selection_sets.h"

namespace host {

ObjectPick pickObject(CommandContext& c, std::string_view prompt, const std::vector<std::string>& keywords) {
    Host& h = c.host();
    while (true) {
        CommandInput in = c.input(prompt);
        ObjectPick result;
        std::optional<Coord3> p;
        if (in.kind == CommandInput::Kind::Entity) {
            if (h.db().valid(in.entity) && !h.db().at(in.entity).erased) {
                result.entity = headerOf(h.db(), in.entity);
                result.point = pointGroup(h.db().at(result.entity), 10);
                return result;
            }
        } else if (in.kind == CommandInput::Kind::SelectionSet) {
            if (!in.members.empty()) {
                result.entity = headerOf(h.db(), in.members.front());
                result.point = pointGroup(h.db().at(result.entity), 10);
                return result;
            }
        } else if (in.kind == CommandInput::Kind::Point) {
            p = in.point;
        } else if (in.text.empty()) {
            result.enter = true;
            return result;
        } else if (std::string k = matchKeyword(in.text, keywords); !k.empty()) {
            result.keyword = k;
            return result;
        } else {
            Coord3 last = h.db().variables().point("LASTPOINT");
            p = parsePointText(in.text, &last);
            if (!p) {
                c.print(keywords.empty() ? "Invalid point.\n" : "Invalid option keyword.\n");
                continue;
            }
        }
        if (p) {
            RecordId id = pickEntity(h.db(), h.paperSpaceCurrent(), (*p)[0], (*p)[1], nullptr);
            if (id != kNoRecord) {
                result.entity = headerOf(h.db(), id);
                result.point = *p;
                return result;
            }
        }
        c.print("0 found\n");
    }
}

PointOrKeyword pointOrKeyword(CommandContext& c, std::string_view prompt, const std::vector<std::string>& keywords) {
    Host& h = c.host();
    while (true) {
        CommandInput in = c.input(prompt);
        if (in.kind == CommandInput::Kind::Point) {
            h.db().variables().setPoint("LASTPOINT", in.point);
            return {in.point, {}};
        }
        if (in.kind != CommandInput::Kind::Text) {
            c.error("Invalid point.\n");
            continue;
        }
        if (in.text.empty()) return {};
        if (std::string k = matchKeyword(in.text, keywords); !k.empty()) return {std::nullopt, k};
        Coord3 last = h.db().variables().point("LASTPOINT");
        if (auto p = parsePointText(in.text, &last)) {
            h.db().variables().setPoint("LASTPOINT", *p);
            return {p, {}};
        }
        c.print(keywords.empty() ? "Invalid point.\n" : "Point or option keyword required.\n");
    }
}

}  // namespace host
