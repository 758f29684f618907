// The demo drawing opened from a copy of the demo kit, with readers of what
// the drawing holds after a command.
#pragma once

#include <cmath>
#include <string>
#include <vector>

#include "db/layers.h"
#include "db/viewport_layers.h"
#include "support/demo_kit.h"

namespace zan::test {

class DemoDrawing : public DemoKitTest {
protected:
    DemoDrawing() : DemoKitTest("commands") {}

    const host::Record& record(host::RecordId id) { return h.db().at(id); }

    // The live model-space or paper-space entities of a type on a layer.
    std::vector<host::RecordId> entitiesOn(const std::string& layer, const std::string& type = "") {
        std::vector<host::RecordId> out;
        for (host::RecordId id : h.db().entities()) {
            const host::Record& r = h.db().at(id);
            if (!r.erased && r.text(8) == layer && (type.empty() || r.type == type)) out.push_back(id);
        }
        return out;
    }
    bool layerExists(const std::string& name) { return host::findLayer(h.db(), name) != host::kNoRecord; }
    bool frozen(const std::string& layer) {
        host::RecordId id = host::findLayer(h.db(), layer);
        return id != host::kNoRecord && host::layerFrozen(h.db().at(id));
    }
    double real(host::RecordId id, int code) { return h.db().at(id).real(code).value_or(NAN); }
};

}  // namespace zan::test
