#include "renderer.h"

#include <QPainterPath>
#include <QPen>
#include <QTransform>

#include <algorithm>
#include <cmath>
#include <set>
#include <string>
#include <unordered_map>

#include "db/layers.h"
#include "db/viewport_layers.h"
#include "geometry/extents.h"
#include "geometry/placement.h"
#include "geometry/view.h"
#include "linetypes.h"
#include "text_outline.h"

namespace zan::render {

namespace {

QTransform toTransform(const host::Matrix& m) {
    return QTransform(m(0, 0), m(1, 0), m(0, 1), m(1, 1), m(0, 3), m(1, 3));
}

struct LayerState {
    bool frozen = false, off = false;
    EntityColor color{7, {}};
    std::string linetype = "CONTINUOUS";
};

class LayerTable {
public:
    explicit LayerTable(const host::Database& db) {
        if (const host::SymbolTable* table = db.table("LAYER"))
            for (host::RecordId id : table->entries) {
                const host::Record& r = db.at(id);
                LayerState s;
                s.frozen = host::layerFrozen(r);
                s.off = host::layerOff(r);
                s.color = entityColor(r);
                if (s.color.byLayer() || s.color.byBlock()) s.color.index = 7;
                if (s.color.index < 0) s.color.index = -s.color.index;
                std::string_view lt = r.text(6);
                if (!lt.empty()) s.linetype = std::string(lt);
                states_[host::upperName(r.text(2))] = std::move(s);
            }
    }
    const LayerState& operator[](std::string_view name) const {
        auto it = states_.find(host::upperName(name));
        return it == states_.end() ? unknown_ : it->second;
    }

private:
    std::unordered_map<std::string, LayerState> states_;
    LayerState unknown_;
};

bool finite(const QPointF& p) { return std::isfinite(p.x()) && std::isfinite(p.y()); }

// Where a segment crosses a rectangle (Liang and Barsky); false when it
// misses it.
bool clipSegment(QPointF& a, QPointF& b, const QRectF& r) {
    double t0 = 0, t1 = 1, dx = b.x() - a.x(), dy = b.y() - a.y();
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {a.x() - r.left(), r.right() - a.x(), a.y() - r.top(), r.bottom() - a.y()};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0) return false;
            continue;
        }
        double t = q[i] / p[i];
        if (p[i] < 0) t0 = std::max(t0, t);
        else t1 = std::min(t1, t);
        if (t0 > t1) return false;
    }
    if (!std::isfinite(t0) || !std::isfinite(t1)) return false;
    QPointF start = a + QPointF(dx, dy) * t0, end = a + QPointF(dx, dy) * t1;
    a = start;
    b = end;
    return true;
}

// Device-space painting, clipped to a rectangle.
class Canvas {
public:
    Canvas(QPainter& painter, const QRectF& clip) : painter_(painter), clip_(clip) {
        clipPath_.addRect(clip);
    }

    void stroke(const std::vector<QPointF>& points, const QPen& pen) {
        painter_.setPen(pen);
        painter_.setBrush(Qt::NoBrush);
        std::vector<QPointF> run;
        auto flush = [&] {
            if (run.size() >= 2) painter_.drawPolyline(run.data(), static_cast<int>(run.size()));
            run.clear();
        };
        for (std::size_t i = 1; i < points.size(); ++i) {
            QPointF a = points[i - 1], b = points[i];
            if (!finite(a) || !finite(b) || !clipSegment(a, b, clip_)) {
                flush();
                continue;
            }
            if (run.empty() || run.back() != a) {
                flush();
                run.push_back(a);
            }
            run.push_back(b);
        }
        flush();
    }

    void dot(const QPointF& at, const QColor& color, double size) {
        if (!finite(at) || !clip_.contains(at)) return;
        painter_.fillRect(QRectF(at.x() - size / 2, at.y() - size / 2, size, size), color);
    }

    void fill(QPainterPath path, const QBrush& brush) {
        if (path.isEmpty()) return;
        QRectF bounds = path.boundingRect();
        if (!finite(bounds.topLeft()) || !finite(bounds.bottomRight())) return;  // a drawing's wild numbers
        if (!clip_.contains(path.boundingRect())) path = path.intersected(clipPath_);
        if (!path.isEmpty()) painter_.fillPath(path, brush);
    }

private:
    QPainter& painter_;
    QRectF clip_;
    QPainterPath clipPath_;
};

// One space drawn through one transform: model space on its own or in a
// viewport, or a layout's paper space.
class Pass {
public:
    Pass(const DrawingSource& source, const Style& style, const LayerTable& layers, QPainter& painter,
         const QRectF& clip, const QTransform& toDevice, const host::Box& visible,
         const std::set<std::string>* viewportFrozen)
        : db_(source.database()),
          source_(source),
          style_(style),
          layers_(layers),
          canvas_(painter, clip),
          toDevice_(toDevice),
          visible_(visible),
          viewportFrozen_(viewportFrozen) {
        pixel_ = std::sqrt(std::abs(toDevice.determinant()));
        if (!(pixel_ > 0) || !std::isfinite(pixel_)) pixel_ = 1;
        ltscale_ = db_.variables().real("LTSCALE", 1);
        if (!(ltscale_ > 0)) ltscale_ = 1;
    }

    void entity(host::RecordId id) {
        const host::Record& r = db_.at(id);
        if (r.erased || r.integer(60) == 1) return;
        // A reference on a frozen layer hides all it holds, its attributes too.
        if (r.type == "INSERT" && hiddenLayer(r.text(8, "0"), false)) return;
        host::Box box = host::entityExtents(db_, id);
        if (box.valid && visible_.valid && !box.intersects(visible_)) return;
        bool highlighted = source_.highlighted(id);
        host::walkLeaves(db_, id, host::Matrix(), [&](const host::Leaf& leaf) {
            drawLeaf(leaf, highlighted);
            return true;
        });
    }

private:
    struct Appearance {
        EntityColor color{7, {}};
        std::string linetype = "CONTINUOUS";
    };

    bool hiddenLayer(std::string_view layer, bool offHides) const {
        const LayerState& s = layers_[layer];
        if (s.frozen || (offHides && s.off)) return true;
        if (!style_.showDefpoints && host::namesEqual(layer, "Defpoints")) return true;
        return viewportFrozen_ && viewportFrozen_->count(host::upperName(layer));
    }

    // An entity's colour and linetype, by layer and by block resolved.
    Appearance appearance(const host::Record& r, std::string_view layer, const Appearance& block) const {
        Appearance a;
        EntityColor c = entityColor(r);
        a.color = c.byLayer() ? layers_[layer].color : c.byBlock() ? block.color : c;
        std::string_view lt = r.text(6);
        if (lt.empty() || host::namesEqual(lt, "BYLAYER")) a.linetype = layers_[layer].linetype;
        else if (host::namesEqual(lt, "BYBLOCK")) a.linetype = block.linetype;
        else a.linetype = std::string(lt);
        return a;
    }

    void drawLeaf(const host::Leaf& leaf, bool highlighted) {
        const host::Record& r = db_.at(leaf.entity);
        if (r.integer(60) == 1) return;
        // The references holding it: a frozen or invisible one hides it; its
        // colour and linetype are what "by block" takes.
        Appearance block;
        std::string inherited;
        for (host::RecordId ref : leaf.chain) {
            const host::Record& holder = db_.at(ref);
            std::string layer(holder.text(8, "0"));
            if (layer == "0" && !inherited.empty()) layer = inherited;
            if (holder.integer(60) == 1 || hiddenLayer(layer, false)) return;
            block = appearance(holder, layer, block);
            inherited = layer;
            highlighted = highlighted || source_.highlighted(ref);
        }
        if (hiddenLayer(leaf.layer, true)) return;
        highlighted = highlighted || source_.highlighted(leaf.entity);
        Appearance look = appearance(r, leaf.layer, block);
        QColor color = style_.colors.resolve(look.color);
        QTransform toDevice = toTransform(leaf.toSpace) * toDevice_;

        if (r.type == "TEXT" || r.type == "MTEXT" || r.type == "ATTRIB" || r.type == "ATTDEF") {
            QPainterPath outline = toDevice.map(textOutline(db_, r));
            canvas_.fill(outline, color);
            if (highlighted) canvas_.fill(QPainterPathStroker(highlightPen(color)).createStroke(outline), color);
            return;
        }

        host::Shape shape = host::leafShape(db_, leaf.entity);
        if (!leaf.toSpace.isIdentity(0)) shape.transform(leaf.toSpace);
        QBrush brush = highlighted ? QBrush(color, Qt::Dense4Pattern) : QBrush(color);
        for (const std::vector<host::Point3>& area : shape.areas) {
            QPolygonF polygon;
            for (const host::Point3& p : area) polygon << toDevice_.map(QPointF(p.x, p.y));
            QPainterPath path;
            path.addPolygon(polygon);
            path.closeSubpath();
            canvas_.fill(path, brush);
        }
        if (r.type == "HATCH" && r.integer(70) == 1) canvas_.fill(boundaryPath(shape), brush);

        QPen pen(color, style_.lineWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
        DashPattern pattern = highlighted ? DashPattern{} : linetypePattern(db_, look.linetype);
        double scale = ltscale_ * r.real(48).value_or(1);
        if (!(scale > 0)) scale = 1;
        for (const host::Curve& curve : shape.curves) {
            if (curve.kind == host::Curve::Kind::Point) {
                canvas_.dot(toDevice_.map(QPointF(curve.a.x, curve.a.y)), color, style_.lineWidth * 1.5);
                continue;
            }
            std::vector<QPointF> points = flatten(curve);
            if (points.size() < 2) continue;
            if (highlighted) {
                canvas_.stroke(device(points), highlightPen(color));
                continue;
            }
            for (const std::vector<QPointF>& piece : dashPolyline(points, pattern, scale, 0.5 / pixel_))
                canvas_.stroke(device(piece), pen);
        }
    }

    QPen highlightPen(const QColor& color) const {
        // Dashes of 4 and gaps of 3 device units, whatever the pen's width.
        double width = style_.lineWidth * 2;
        QPen pen(color, width, Qt::CustomDashLine, Qt::FlatCap, Qt::RoundJoin);
        pen.setDashPattern({4 / width, 3 / width});
        return pen;
    }

    // A curve as points in the space's coordinates, fine enough that no
    // chord strays more than a quarter of a device pixel from an arc.
    std::vector<QPointF> flatten(const host::Curve& c) const {
        if (c.kind == host::Curve::Kind::Segment) return {QPointF(c.a.x, c.a.y), QPointF(c.b.x, c.b.y)};
        double radius = std::max(host::length(c.u), host::length(c.v)) * pixel_;
        double sweep = c.t1 - c.t0;
        if (!std::isfinite(radius) || !std::isfinite(sweep) || !std::isfinite(c.a.x) || !std::isfinite(c.a.y))
            return {};
        double step = radius > 0.25 ? 2 * std::acos(1 - 0.25 / radius) : sweep;
        int n = static_cast<int>(std::clamp(std::ceil(sweep / std::max(step, 1e-6)), 2.0, 4096.0));
        std::vector<QPointF> out;
        out.reserve(static_cast<std::size_t>(n) + 1);
        for (int i = 0; i <= n; ++i) {
            host::Point3 p = c.at(c.t0 + sweep * i / n);
            out.emplace_back(p.x, p.y);
        }
        return out;
    }

    std::vector<QPointF> device(const std::vector<QPointF>& points) const {
        std::vector<QPointF> out;
        out.reserve(points.size());
        for (const QPointF& p : points) out.push_back(toDevice_.map(p));
        return out;
    }

    // A hatch's boundary paths as one path of closed loops, in device
    // coordinates, filled by the even-odd rule (islands stay open).
    QPainterPath boundaryPath(const host::Shape& shape) const {
        QPainterPath path;
        path.setFillRule(Qt::OddEvenFill);
        QPointF last;
        bool open = false;
        for (const host::Curve& c : shape.curves) {
            if (c.kind == host::Curve::Kind::Point) continue;
            std::vector<QPointF> points = device(flatten(c));
            if (points.empty()) continue;
            if (!open || std::hypot(points.front().x() - last.x(), points.front().y() - last.y()) > 0.01) {
                if (open) path.closeSubpath();
                path.moveTo(points.front());
                open = true;
            }
            for (std::size_t i = 1; i < points.size(); ++i) path.lineTo(points[i]);
            last = points.back();
        }
        if (open) path.closeSubpath();
        return path;
    }

    const host::Database& db_;
    const DrawingSource& source_;
    const Style& style_;
    const LayerTable& layers_;
    Canvas canvas_;
    QTransform toDevice_;
    host::Box visible_;
    const std::set<std::string>* viewportFrozen_;
    double pixel_ = 1;    // device units per drawing unit
    double ltscale_ = 1;
};

host::Box deviceToSpace(const QTransform& toDevice, const QRectF& rect) {
    QRectF r = toDevice.inverted().mapRect(rect);
    return host::Box::of({r.left(), r.top(), 0}, {r.right(), r.bottom(), 0});
}

}  // namespace

QTransform fitWindow(const host::Box& window, const QRectF& target) {
    double w = window.valid ? window.maxX - window.minX : 0, h = window.valid ? window.maxY - window.minY : 0;
    double sx = w > 0 ? target.width() / w : 0, sy = h > 0 ? target.height() / h : 0;
    double s = sx > 0 && sy > 0 ? std::min(sx, sy) : sx > 0 ? sx : sy > 0 ? sy : 1;
    double cx = window.valid ? (window.minX + window.maxX) / 2 : 0, cy = window.valid ? (window.minY + window.maxY) / 2 : 0;
    QPointF c = target.center();
    return QTransform(s, 0, 0, -s, c.x() - s * cx, c.y() + s * cy);
}

Renderer::Renderer(const DrawingSource& source, Style style) : source_(source), style_(std::move(style)) {}

void Renderer::draw(QPainter& painter, const QRectF& target, const Layout& layout, const host::Box& window) const {
    const host::Database& db = source_.database();
    // The painter is handed back as it came, whatever happens here.
    struct Saved {
        QPainter& p;
        explicit Saved(QPainter& painter) : p(painter) { p.save(); }
        ~Saved() { p.restore(); }
    } saved(painter);
    painter.resetTransform();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(target, style_.colors.background);
    LayerTable layers(db);
    QTransform toDevice = fitWindow(window, target);

    if (!layout.model) {
        std::vector<host::RecordId> model;
        for (host::RecordId id : db.entities()) {
            const host::Record& r = db.at(id);
            if (!r.erased && r.integer(67) != 1 && !host::isSubEntity(r)) model.push_back(id);
        }
        // Each viewport shows model space through its view, in its frame.
        for (host::RecordId id : layout.entities) {
            const host::Record& vp = db.at(id);
            if (vp.type != "VIEWPORT" || vp.erased || isPaperSheetViewport(vp) || vp.integer(68, 1) == 0) continue;
            if (layers[vp.text(8, "0")].frozen) continue;
            host::Box paper = host::viewportPaperBox(vp);
            QRectF frame = toDevice.mapRect(QRectF(QPointF(paper.minX, paper.minY), QPointF(paper.maxX, paper.maxY)));
            frame = frame.normalized().intersected(target);
            if (frame.isEmpty()) continue;
            bool ok = false;
            host::Matrix modelToPaper = host::paperToModel(vp).inverse(&ok);
            if (!ok) continue;
            std::set<std::string> frozen;
            for (const std::string& name : host::viewportFrozenLayers(vp)) frozen.insert(host::upperName(name));
            QTransform modelToDevice = toTransform(modelToPaper) * toDevice;
            Pass pass(source_, style_, layers, painter, frame, modelToDevice, deviceToSpace(modelToDevice, frame),
                      &frozen);
            for (host::RecordId m : model) pass.entity(m);
        }
    }
    // The space itself: model space, or the layout's paper (frames included).
    Pass pass(source_, style_, layers, painter, target, toDevice, deviceToSpace(toDevice, target), nullptr);
    for (host::RecordId id : layout.entities) {
        const host::Record& r = db.at(id);
        if (r.type == "VIEWPORT" && isPaperSheetViewport(r)) continue;
        pass.entity(id);
    }
}

}  // namespace zan::render
