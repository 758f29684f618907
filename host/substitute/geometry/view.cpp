#include "geometry/view.h"

#include "geometry/group_points.h"

namespace host {

void applySavedView(Database& db) {
    RecordId active = db.findEntry("VPORT", "*ACTIVE");
    if (active == kNoRecord) return;
    const Record& vport = db.at(active);
    double height = vport.real(40).value_or(0);
    if (height <= 0) return;
    Point3 centre = pointOf(vport, 12).value_or(Point3{});
    db.variables().setReal("VIEWSIZE", height);
    db.variables().setPoint("VIEWCTR", {centre.x, centre.y, 0});
}

Box viewportPaperBox(const Record& vp) {
    Point3 c = pointOf(vp, 10).value_or(Point3{});
    double w = vp.real(40).value_or(0) / 2, h = vp.real(41).value_or(0) / 2;
    return Box::of({c.x - w, c.y - h, 0}, {c.x + w, c.y + h, 0});
}

namespace {

double modelPerPaper(const Record& vp) {
    double paperHeight = vp.real(41).value_or(0), viewHeight = vp.real(45).value_or(0);
    return paperHeight > 0 && viewHeight > 0 ? viewHeight / paperHeight : 1;
}

// The model point at the view's centre: its target plus the centre, which
// is kept relative to the target.
Point3 viewCentre(const Record& vp) {
    Point3 centre = pointOf(vp, 12).value_or(Point3{});
    Point3 target = pointOf(vp, 17).value_or(Point3{});
    return {target.x + centre.x, target.y + centre.y, 0};
}

}  // namespace

Box viewportModelBox(const Record& vp) {
    Box paper = viewportPaperBox(vp);
    Matrix m = paperToModel(vp);
    return Box::of(m.apply({paper.minX, paper.minY, 0}), m.apply({paper.maxX, paper.maxY, 0}));
}

Matrix paperToModel(const Record& vp) {
    Point3 paper = pointOf(vp, 10).value_or(Point3{});
    double s = modelPerPaper(vp);
    return Matrix::translation(viewCentre(vp)) * Matrix::scaling(s, s, 1) *
           Matrix::translation(-paper.x, -paper.y, 0);
}

}  // namespace host
