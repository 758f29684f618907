#include "geometry/placement.h"

#include <algorithm>
#include <cmath>

#include "geometry/entity_shape.h"
#include "geometry/group_points.h"
#include "geometry/transform.h"

namespace host {

namespace {

// References nested deeper than this are taken for a runaway structure.
constexpr std::size_t kMaxDepth = 512;

}  // namespace

bool isSubEntity(const Record& r) { return r.type == "VERTEX" || r.type == "SEQEND" || r.type == "ATTRIB"; }

Matrix referenceMatrix(const Record& insert, const Point3& base, int column, int row) {
    Point3 at = pointOf(insert, 10).value_or(Point3{});
    double sx = insert.real(41).value_or(1), sy = insert.real(42).value_or(1), sz = insert.real(43).value_or(1);
    double rotation = radians(insert.real(50).value_or(0));
    double dx = insert.real(44).value_or(0) * column, dy = insert.real(45).value_or(0) * row;
    Ocs ocs(normalOf(insert));
    Matrix m = Matrix::translation(at) * Matrix::rotationZ(rotation) * Matrix::translation(dx, dy, 0) *
               Matrix::scaling(sx, sy, sz) * Matrix::translation(-base);
    return ocs.isWorld() ? m : ocs.toWorldMatrix() * m;
}

std::vector<Matrix> referenceMatrices(const Database& db, const Record& insert) {
    std::vector<Matrix> out;
    const BlockDefinition* block = db.block(insert.text(2));
    if (!block) return out;
    Point3 base = db.valid(block->begin) ? pointOf(db.at(block->begin), 10).value_or(Point3{}) : Point3{};
    long long columns = std::max(1LL, insert.integer(70, 1)), rows = std::max(1LL, insert.integer(71, 1));
    // A runaway array is not laid out cell by cell.
    if (columns * rows > 100000) columns = rows = 1;
    for (long long r = 0; r < rows; ++r)
        for (long long c = 0; c < columns; ++c)
            out.push_back(referenceMatrix(insert, base, static_cast<int>(c), static_cast<int>(r)));
    return out;
}

Matrix dimensionMatrix(const Record& dimension) {
    Ocs ocs(normalOf(dimension));
    Matrix m = Matrix::translation(pointOf(dimension, 12).value_or(Point3{}));
    return ocs.isWorld() ? m : ocs.toWorldMatrix() * m;
}

std::vector<const Record*> vertexRecords(const Database& db, RecordId polyline) {
    std::vector<const Record*> out;
    for (RecordId id : subEntities(db, polyline))
        if (db.at(id).type == "VERTEX") out.push_back(&db.at(id));
    return out;
}

namespace {

struct Walker {
    const Database& db;
    const LeafVisitor& visit;
    std::vector<RecordId> chain;
    std::vector<RecordId> open;  // BLOCK records being walked
    bool stopped = false;

    void entity(RecordId id, const Matrix& m, std::string_view inherited) {
        if (stopped) return;
        const Record& r = db.at(id);
        if (r.erased) return;
        std::string_view layer = r.text(8, "0");
        if (layer == "0" && !inherited.empty()) layer = inherited;
        if (r.type == "INSERT" || r.type == "DIMENSION") {
            const BlockDefinition* block = db.block(r.text(2));
            bool enter = block && chain.size() < kMaxDepth &&
                         std::find(open.begin(), open.end(), block->begin) == open.end();
            if (enter) {
                std::vector<Matrix> cells;
                if (r.type == "INSERT")
                    cells = referenceMatrices(db, r);
                else
                    cells.push_back(dimensionMatrix(r));
                chain.push_back(id);
                open.push_back(block->begin);
                for (const Matrix& cell : cells) {
                    Matrix inner = m * cell;
                    for (RecordId member : block->entities) {
                        const Record& e = db.at(member);
                        // Attribute definitions show through the attributes
                        // of each reference, not in the block.
                        if (isSubEntity(e) || e.type == "ATTDEF") continue;
                        entity(member, inner, layer);
                        if (stopped) break;
                    }
                    if (stopped) break;
                }
                open.pop_back();
                chain.pop_back();
            }
            // The attributes stand in the reference's own space.
            for (RecordId sub : subEntities(db, id)) {
                if (stopped) return;
                const Record& a = db.at(sub);
                if (a.type != "ATTRIB" || a.erased || (a.integer(70) & 1)) continue;  // invisible attributes
                std::string_view attribLayer = a.text(8, "0");
                if (attribLayer == "0" && !inherited.empty()) attribLayer = inherited;
                if (!visit(Leaf{sub, m, chain, attribLayer})) stopped = true;
            }
            return;
        }
        if (!visit(Leaf{id, m, chain, layer})) stopped = true;
    }
};

}  // namespace

void walkLeaves(const Database& db, RecordId entity, const Matrix& toSpace, const LeafVisitor& visit) {
    if (!db.valid(entity)) return;
    Walker w{db, visit, {}, {}};
    w.entity(entity, toSpace, {});
}

Shape leafShape(const Database& db, RecordId entity) {
    const Record& r = db.at(entity);
    if (r.type == "POLYLINE") return entityShape(r, vertexRecords(db, entity));
    return entityShape(r);
}

Shape shapeOf(const Database& db, RecordId entity) {
    if (!db.valid(entity)) return {};
    const Record& r = db.at(entity);
    if (r.type != "INSERT" && r.type != "DIMENSION") return leafShape(db, entity);
    Shape all;
    walkLeaves(db, entity, Matrix(), [&](const Leaf& leaf) {
        Shape s = leafShape(db, leaf.entity);
        if (!leaf.toSpace.isIdentity(0)) s.transform(leaf.toSpace);
        all.add(s);
        return true;
    });
    return all;
}

}  // namespace host
