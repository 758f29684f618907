// A new, empty drawing with the records every drawing has, so that it can be
// written as a complete DXF file (R2013) at once.
#include "db/database.h"
#include "dxf/dxf_internal.h"

namespace host {

std::unique_ptr<Database> Database::createNew() {
    auto db = std::make_unique<Database>();
    db->version() = "AC1027";
    if (SystemVariable* v = db->variables().find("ACADVER")) v->value = std::string("AC1027");
    db->header().push_back(HeaderVariable{"$ACADVER", {{1, "AC1027"}}});
    db->header().push_back(HeaderVariable{"$DWGCODEPAGE", {{3, "ANSI_1252"}}});
    db->header().push_back(HeaderVariable{"$HANDSEED", {{5, "1"}}});  // set when written
    dxf::completeDrawing(*db);
    return db;
}

}  // namespace host
