#include "linetypes.h"

#include <cmath>

namespace zan::render {

DashPattern linetypePattern(const host::Database& db, std::string_view name) {
    if (name.empty() || host::namesEqual(name, "CONTINUOUS")) return {};
    host::RecordId id = db.findEntry("LTYPE", name);
    if (id == host::kNoRecord) return {};
    DashPattern pattern;
    bool drawsSomething = false;
    for (const host::Group& g : db.at(id).groups) {
        if (g.code != 49) continue;
        double v = g.real().value_or(0);
        if (!std::isfinite(v)) return {};
        pattern.push_back(v);
        if (v >= 0) drawsSomething = true;
    }
    double repeat = 0;
    for (double v : pattern) repeat += std::abs(v);
    if (!drawsSomething || repeat <= 0) return {};
    return pattern;
}

std::vector<std::vector<QPointF>> dashPolyline(const std::vector<QPointF>& points, const DashPattern& pattern,
                                               double scale, double dotLength, std::size_t maxPieces) {
    std::vector<std::vector<QPointF>> out;
    double repeat = 0;
    for (double v : pattern) repeat += std::abs(v) * scale;
    if (pattern.empty() || !(repeat > 0) || points.size() < 2) {
        out.push_back(points);
        return out;
    }
    double total = 0;
    for (std::size_t i = 1; i < points.size(); ++i) total += std::hypot(points[i].x() - points[i - 1].x(),
                                                                        points[i].y() - points[i - 1].y());
    if (!std::isfinite(total) || total / repeat * static_cast<double>(pattern.size()) > static_cast<double>(maxPieces)) {
        out.push_back(points);
        return out;
    }
    // Dots take no room in the pattern; each is drawn as a short piece.
    std::size_t element = 0;
    auto length = [&](std::size_t e) { return std::abs(pattern[e]) * scale; };
    double left = length(0);  // of the current element
    bool drawing = pattern[0] > 0;
    std::vector<QPointF> piece;
    if (drawing) piece.push_back(points[0]);
    if (pattern[0] == 0 && points[1] != points[0]) {
        QPointF d = points[1] - points[0];
        out.push_back({points[0], points[0] + d / std::hypot(d.x(), d.y()) * dotLength});
    }
    for (std::size_t i = 1; i < points.size(); ++i) {
        QPointF a = points[i - 1], b = points[i];
        double segment = std::hypot(b.x() - a.x(), b.y() - a.y()), done = 0;
        if (!(segment > 0)) continue;
        QPointF unit = (b - a) / segment;
        while (segment - done > left) {
            done += left;
            QPointF at = a + unit * done;
            if (drawing) {
                piece.push_back(at);
                out.push_back(std::move(piece));
            }
            piece.clear();
            element = (element + 1) % pattern.size();
            left = length(element);
            drawing = pattern[element] > 0;
            if (pattern[element] == 0) out.push_back({at, at + unit * dotLength});
            if (drawing) piece.push_back(at);
        }
        left -= segment - done;
        if (drawing) piece.push_back(b);
    }
    if (drawing && piece.size() >= 2) out.push_back(std::move(piece));
    return out;
}

}  // namespace zan::render
