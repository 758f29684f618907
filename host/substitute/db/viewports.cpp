#include "db/viewports.h"

namespace host {

std::vector<RecordId> paperViewports(Database& db) {
    std::vector<RecordId> out;
    for (RecordId id : db.entities()) {
        const Record& e = db.at(id);
        if (!e.erased && e.type == "VIEWPORT") out.push_back(id);
    }
    return out;
}

RecordId paperSheetViewport(Database& db) {
    for (RecordId id : paperViewports(db))
        if (db.at(id).integer(69, 0) == 1) return id;
    // A layout shown for the first time gets its sheet viewport.
    Record sheet;
    sheet.type = "VIEWPORT";
    sheet.groups = {{100, "AcDbEntity"}, {67, "1"},     {8, "0"},      {100, "AcDbViewport"},
                    {10, "5.25"},        {20, "4.0"},   {30, "0.0"},   {40, "13.0"},
                    {41, "10.5"},        {68, "1"},     {69, "1"}};
    std::string owner = formatHandle(db.at(db.paperSpace().begin).handle);
    sheet.groups.insert(sheet.groups.begin(), Group(330, owner));
    return db.addEntity(std::move(sheet), true);
}

void activateViewport(Database& db, RecordId active) {
    int stack = 2;
    for (RecordId id : paperViewports(db)) {
        if (id == active) {
            db.modify(id, [](Record& v) { v.setInt(68, 1); });
        } else if (db.at(id).integer(68, 0) > 0) {
            db.modify(id, [&](Record& v) { v.setInt(68, stack++); });
        }
    }
    if (db.valid(active)) db.variables().setInteger("CVPORT", db.at(active).integer(69, 1));
}

bool activateFloatingViewport(Database& db) {
    RecordId chosen = kNoRecord;
    for (RecordId id : paperViewports(db)) {
        const Record& v = db.at(id);
        if (v.integer(69, 0) > 1 && v.integer(68, 0) != 0 && (v.integer(90, 0) & 0x20000) == 0) {
            // Prefer the viewport that was active last (lowest stacking number).
            if (chosen == kNoRecord || v.integer(68, 0) < db.at(chosen).integer(68, 0)) chosen = id;
        }
    }
    if (chosen == kNoRecord) return false;
    activateViewport(db, chosen);
    return true;
}

void setTileMode(Database& db, int value) {
    SystemVariables& vars = db.variables();
    vars.setInteger("TILEMODE", value);
    if (value == 1) {
        vars.setInteger("CVPORT", 2);
        return;
    }
    // Entering the layout shows paper space.
    activateViewport(db, paperSheetViewport(db));
}

}  // namespace host
