// LINE: a chain of line segments, each a LINE entity on the current layer in
// the current space. Enter ends; Close joins the last point to the first;
// Undo takes back the last segment.
#include "commands/core_commands.h"
#include "commands/entity_records.h"
#include "core/host.h"

#include <cctype>

namespace host {

namespace {

GroupList lineData(const Coord3& a, const Coord3& b) {
    return {{10, formatReal(a[0])}, {20, formatReal(a[1])}, {30, formatReal(a[2])},
            {11, formatReal(b[0])}, {21, formatReal(b[1])}, {31, formatReal(b[2])}};
}

void line(CommandContext& c) {
    Host& h = c.host();
    auto first = c.point("Specify first point: ");
    if (!first) return;
    std::vector<Coord3> points{*first};
    std::vector<RecordId> segments;
    while (true) {
        std::string prompt = segments.size() >= 2 ? "Specify next point or [Close/Undo]: " : "Specify next point or [Undo]: ";
        CommandInput in = c.input(prompt);
        std::string word = in.kind == CommandInput::Kind::Text ? upperName(in.text) : std::string();
        if (in.kind == CommandInput::Kind::Text && in.text.empty()) return;
        if (word == "U" || word == "UNDO") {
            if (segments.empty()) {
                c.print("All segments already undone.\n");
                continue;
            }
            h.db().erase(segments.back());
            segments.pop_back();
            points.pop_back();
            h.db().variables().setPoint("LASTPOINT", points.back());
            continue;
        }
        if ((word == "C" || word == "CLOSE") && segments.size() >= 2) {
            segments.push_back(addNewEntity(h, "LINE", lineData(points.back(), points.front())));
            h.db().variables().setPoint("LASTPOINT", points.front());
            return;
        }
        std::optional<Coord3> p;
        if (in.kind == CommandInput::Kind::Point) {
            p = in.point;
        } else {
            Coord3 last = points.back();
            p = parsePointText(in.text, &last);
        }
        if (!p) {
            c.print(word.size() > 0 && std::isalpha(static_cast<unsigned char>(word[0]))
                        ? "Invalid option keyword.\n"
                        : "Invalid point.\n");
            continue;
        }
        segments.push_back(addNewEntity(h, "LINE", lineData(points.back(), *p)));
        points.push_back(*p);
        h.db().variables().setPoint("LASTPOINT", *p);
    }
}

}  // namespace

void registerDrawCommands(Host& host) { host.commands().define("LINE", line); }

}  // namespace host
