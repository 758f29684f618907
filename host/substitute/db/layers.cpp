#include "db/layers.h"

namespace host {

RecordId findLayer(const Database& db, std::string_view name) { return db.findEntry("LAYER", name); }

RecordId ensureLayer(Database& db, std::string_view name) {
    if (RecordId id = findLayer(db, name); id != kNoRecord) return id;
    SymbolTable& table = db.ensureTable("LAYER");
    Record layer;
    layer.type = "LAYER";
    layer.groups = {{330, formatHandle(db.at(table.head).handle)},
                    {100, "AcDbSymbolTableRecord"},
                    {100, "AcDbLayerTableRecord"},
                    {2, std::string(name)},
                    {70, "0"},
                    {62, "7"},
                    {6, "Continuous"},
                    {370, "-3"}};
    return db.addEntry("LAYER", std::move(layer));
}

bool layerFrozen(const Record& layer) { return (layer.integer(70, 0) & kLayerFrozen) != 0; }
bool layerOff(const Record& layer) { return layer.integer(62, 7) < 0; }

bool setCurrentLayer(Database& db, std::string_view name) {
    RecordId id = findLayer(db, name);
    if (id == kNoRecord || layerFrozen(db.at(id))) return false;
    return db.variables().setText("CLAYER", std::string(db.at(id).text(2)));
}

}  // namespace host
