// A new, empty drawing with the records every drawing has, so that it can be
// written as a complete DXF file (R2013) at once.
#include "dxf/dxf.h"
#include "dxf/dxf_internal.h"

namespace host::dxf {

std::unique_ptr<Database> newDrawing() {
    auto db = std::make_unique<Database>();
    db->version() = "AC1027";
    if (SystemVariable* v = db->variables().find("ACADVER")) v->value = std::string("AC1027");
    db->header().push_back(HeaderVariable{"$ACADVER", {{1, "AC1027"}}});
    db->header().push_back(HeaderVariable{"$DWGCODEPAGE", {{3, "ANSI_1252"}}});
    db->header().push_back(HeaderVariable{"$HANDSEED", {{5, "1"}}});  // set when written
    completeDrawing(*db);
    // The layer dimensions put their definition points on; DXF readers
    // expect it in every drawing.
    Record defpoints;
    defpoints.type = "LAYER";
    defpoints.groups = {{2, "Defpoints"}, {70, "0"}, {62, "7"}, {6, "Continuous"}, {290, "0"}};
    normalizeTableRecord(defpoints);
    defpoints.groups.insert(defpoints.groups.begin(), Group(330, formatHandle(db->at(db->table("LAYER")->head).handle)));
    db->addEntry("LAYER", std::move(defpoints));
    return db;
}

}  // namespace host::dxf
