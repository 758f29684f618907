#include "geometry/pick.h"

#include <cmath>
#include <limits>

#include "db/layers.h"
#include "db/viewport_layers.h"
#include "geometry/entity_shape.h"
#include "geometry/extents.h"
#include "geometry/group_points.h"
#include "geometry/placement.h"
#include "geometry/transform.h"

namespace host {

namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();

double screenHeight(const Database& db) {
    double h = db.variables().point("SCREENSIZE")[1];
    return h > 0 ? h : 800;
}

double pickboxPixels(const Database& db) {
    long long p = db.variables().integer("PICKBOX", 3);
    return static_cast<double>(p > 0 ? p : 3);
}

RecordId viewportNumbered(const Database& db, long long number) {
    for (RecordId id : db.entities()) {
        const Record& r = db.at(id);
        if (!r.erased && r.type == "VIEWPORT" && r.integer(67) == 1 && r.integer(69) == number) return id;
    }
    return kNoRecord;
}

// The height of paper space's view: the paper sheet viewport's, or the
// current view's when the layout has no sheet viewport yet.
double paperViewHeight(const Database& db) {
    if (RecordId sheet = viewportNumbered(db, 1); sheet != kNoRecord)
        if (double h = db.at(sheet).real(45).value_or(0); h > 0) return h;
    return db.variables().real("VIEWSIZE", 1);
}

bool visibleRecord(const Record& r) { return !r.erased && r.integer(60) != 1; }

}  // namespace

bool PickView::layerVisible(std::string_view layer) const {
    return hiddenLayers.empty() || hiddenLayers.count(upperName(layer)) == 0;
}

PickView currentPickView(const Database& db) {
    const SystemVariables& vars = db.variables();
    PickView view;
    double pixels = pickboxPixels(db) / 2;
    if (vars.integer("TILEMODE", 1) == 1) {
        view.aperture = pixels * vars.real("VIEWSIZE", 1) / screenHeight(db);
    } else {
        double paperAperture = pixels * paperViewHeight(db) / screenHeight(db);
        long long current = vars.integer("CVPORT", 1);
        RecordId viewport = current == 1 ? kNoRecord : viewportNumbered(db, current);
        if (viewport == kNoRecord) {
            view.paperSpace = true;
            view.aperture = paperAperture;
        } else {
            const Record& vp = db.at(viewport);
            view.viewport = viewport;
            double paperHeight = vp.real(41).value_or(0), viewHeight = vp.real(45).value_or(0);
            view.aperture = paperHeight > 0 && viewHeight > 0 ? paperAperture * viewHeight / paperHeight : paperAperture;
            for (const std::string& name : viewportFrozenLayers(vp)) view.hiddenLayers.insert(upperName(name));
        }
    }
    if (const SymbolTable* layers = db.table("LAYER"))
        for (RecordId id : layers->entries) {
            const Record& layer = db.at(id);
            if (!layer.erased && (layerFrozen(layer) || layerOff(layer))) view.hiddenLayers.insert(upperName(layer.text(2)));
        }
    return view;
}

std::vector<RecordId> pickableEntities(const Database& db, bool paperSpace) {
    std::vector<RecordId> out;
    for (RecordId id : db.entities()) {
        const Record& r = db.at(id);
        if (r.erased || isSubEntity(r) || (r.integer(67) == 1) != paperSpace) continue;
        if (r.type == "VIEWPORT" && r.integer(69) == 1) continue;
        out.push_back(id);
    }
    return out;
}

namespace {

// The nearest visible part of one entity of the space, down to the leaf.
struct Hit {
    double distance = kInfinity;
    RecordId leaf = kNoRecord;
    Matrix toWorld;
    std::vector<RecordId> chain;  // outermost first
};

Hit nearestPart(const Database& db, const PickView& view, RecordId id, double x, double y, bool keepLeaf) {
    Hit hit;
    walkLeaves(db, id, Matrix(), [&](const Leaf& leaf) {
        const Record& r = db.at(leaf.entity);
        if (!visibleRecord(r) || !view.layerVisible(leaf.layer)) return true;
        Shape s = leafShape(db, leaf.entity);
        if (!leaf.toSpace.isIdentity(0)) s.transform(leaf.toSpace);
        double d = s.distance(x, y);
        if (d < hit.distance || (d == hit.distance && d < kInfinity)) {
            hit.distance = d;
            if (keepLeaf) {
                hit.leaf = leaf.entity;
                hit.toWorld = leaf.toSpace;
                // Attributes stand in the reference's space, not in its block.
                if (r.type == "ATTRIB")
                    hit.chain.clear();
                else
                    hit.chain = leaf.chain;
            }
        }
        return true;
    });
    return hit;
}

// Whether an entity of the drawing can be picked in the view (its box
// aside): in the view's space, visible, not a part of another.
bool pickable(const Record& r, const PickView& view) {
    if (r.erased || isSubEntity(r) || (r.integer(67) == 1) != view.paperSpace || r.integer(60) == 1) return false;
    if (r.type == "VIEWPORT" && r.integer(69) == 1) return false;
    return view.layerVisible(r.text(8, "0"));
}

bool unboundedKind(const Record& r) { return r.type == "XLINE" || r.type == "RAY"; }

template <class Found>
void nearestEntities(const Database& db, const PickView& view, double x, double y, const EntityFilter& filter,
                     bool keepLeaf, Found&& found) {
    double best = view.aperture;
    for (RecordId id : db.entities()) {
        const Record& r = db.at(id);
        if (r.erased) continue;
        // The cached box first: most entities are far from the point.
        if (!unboundedKind(r) && entityExtents(db, id).distance(x, y) > best) continue;
        if (!pickable(r, view) || (filter && !filter(r))) continue;
        Hit hit = nearestPart(db, view, id, x, y, keepLeaf);
        // Equally near: the entity drawn later lies on top.
        if (hit.distance <= best) {
            best = hit.distance;
            found(id, std::move(hit));
        }
    }
}

}  // namespace

RecordId pickNearest(const Database& db, const PickView& view, double x, double y, const EntityFilter& filter) {
    RecordId best = kNoRecord;
    nearestEntities(db, view, x, y, filter, false, [&](RecordId id, Hit&&) { best = id; });
    return best;
}

std::optional<NestedPick> pickNested(const Database& db, const PickView& view, double x, double y) {
    std::optional<NestedPick> out;
    nearestEntities(db, view, x, y, {}, true, [&](RecordId id, Hit&& hit) {
        NestedPick p;
        p.top = id;
        p.entity = hit.leaf;
        p.toWorld = hit.toWorld;
        p.containers.assign(hit.chain.rbegin(), hit.chain.rend());
        out = std::move(p);
    });
    if (out && db.at(out->entity).type == "POLYLINE") out->entity = nearestVertex(db, out->entity, out->toWorld, x, y);
    return out;
}

RecordId nearestVertex(const Database& db, RecordId polyline, const Matrix& toWorld, double x, double y) {
    const Record& head = db.at(polyline);
    long long flags = head.integer(70);
    std::vector<RecordId> vertices;
    for (RecordId id : subEntities(db, polyline))
        if (db.at(id).type == "VERTEX" && !(db.at(id).integer(70) & 16)) vertices.push_back(id);
    if (vertices.empty()) return polyline;
    if (vertices.size() == 1 || (flags & (16 | 64))) return vertices.front();
    Ocs ocs((flags & 8) ? Point3{0, 0, 1} : normalOf(head));
    double elevation = (flags & 8) ? 0 : pointOf(head, 10).value_or(Point3{}).z;
    RecordId best = vertices.front();
    double bestDistance = kInfinity;
    std::size_t count = (flags & 1) ? vertices.size() : vertices.size() - 1;
    for (std::size_t i = 0; i < count; ++i) {
        const Record& a = db.at(vertices[i]);
        const Record& b = db.at(vertices[(i + 1) % vertices.size()]);
        Point3 pa = pointOf(a, 10).value_or(Point3{}), pb = pointOf(b, 10).value_or(Point3{});
        if (!(flags & 8)) pa.z = pb.z = elevation;
        Shape s;
        s.curves.push_back(bulgeSegment(pa, pb, (flags & 8) ? 0 : a.real(42).value_or(0)));
        if (!(flags & 8) && !ocs.isWorld()) s.transform(ocs.toWorldMatrix());
        s.transform(toWorld);
        if (double d = s.distance(x, y); d < bestDistance) {
            bestDistance = d;
            best = vertices[i];
        }
    }
    return best;
}

std::vector<RecordId> selectInBox(const Database& db, const PickView& view, const Box& box, bool crossing,
                                  const EntityFilter& filter) {
    std::vector<RecordId> out;
    for (RecordId id : db.entities()) {
        const Record& r = db.at(id);
        if (r.erased) continue;
        bool unbounded = unboundedKind(r);
        const Box& extents = entityExtents(db, id);
        bool whole = extents.valid && box.contains(extents);
        if (!whole && !(crossing && (unbounded || box.intersects(extents)))) continue;
        if (!pickable(r, view) || (filter && !filter(r))) continue;
        if (whole || shapeOf(db, id).touches(box)) out.push_back(id);
    }
    return out;
}

}  // namespace host
