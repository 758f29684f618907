#include "laycfg/restore_report.h"

#include <algorithm>
#include <functional>
#include <string_view>
#include <unordered_map>

#include "shell/host_lists.h"

namespace zan {

LayerStates LayerStates::read() {
    LayerStates out;
    for (ResbufList entry(ads_tblnext("LAYER", 1)); entry; entry.reset(ads_tblnext("LAYER", 0))) {
        resbuf* name = findGroup(entry.get(), 2);
        if (!name || !name->resval.rstring) continue;
        resbuf* flags = findGroup(entry.get(), 70);
        resbuf* color = findGroup(entry.get(), 62);
        out.layers_.push_back({std::hash<std::string_view>()(name->resval.rstring), flags != nullptr && (flags->resval.rint & 1) != 0,
                               color == nullptr || color->resval.rint >= 0});
    }
    return out;
}

RestoreCounts LayerStates::changesSince(const LayerStates& before) const {
    RestoreCounts counts;
    auto count = [&counts](const Layer& was, const Layer& now) {
        if (!was.frozen && now.frozen) ++counts.frozen;
        if (was.frozen && !now.frozen) ++counts.thawed;
        if (!was.on && now.on) ++counts.turnedOn;
    };
    // A restore makes no layers, so the table order matches; by name otherwise.
    std::unordered_map<std::size_t, const Layer*> byName;
    bool sameOrder = before.layers_.size() == layers_.size();
    for (std::size_t i = 0; i < layers_.size(); ++i) {
        if (sameOrder && before.layers_[i].name == layers_[i].name) {
            count(before.layers_[i], layers_[i]);
            continue;
        }
        if (sameOrder) {
            sameOrder = false;
            for (const Layer& layer : before.layers_) byName.emplace(layer.name, &layer);
        }
        if (auto found = byName.find(layers_[i].name); found != byName.end()) count(*found->second, layers_[i]);
        else count(Layer{layers_[i].name, false, true}, layers_[i]);
    }
    return counts;
}

ViewportFreezes ViewportFreezes::read(const int64_t* viewports) {
    ViewportFreezes out;
    long length = 0;
    if (ads_sslength(viewports, &length) != RTNORM) return out;
    ResbufList applications(ads_buildlist(RTSTR, "ACAD", 0));
    for (long i = 0; i < length; ++i) {
        std::vector<std::string>& names = out.frozen_.emplace_back();
        ads_name viewport;
        if (!applications || ads_ssname(viewports, i, viewport) != RTNORM) continue;
        ResbufList data(ads_entgetx(viewport, applications.get()));
        for (resbuf* item = findGroup(data.get(), 1003); item != nullptr && item->restype != 1002; item = item->rbnext)
            if (item->restype == 1003 && item->resval.rstring != nullptr) names.emplace_back(item->resval.rstring);
        std::sort(names.begin(), names.end());
    }
    return out;
}

void ViewportFreezes::addChangesSince(const ViewportFreezes& before, RestoreCounts& counts) const {
    for (std::size_t v = 0; v < frozen_.size(); ++v) {
        static const std::vector<std::string> none;
        const std::vector<std::string>& was = v < before.frozen_.size() ? before.frozen_[v] : none;
        const std::vector<std::string>& now = frozen_[v];
        std::vector<std::string> difference;
        std::set_difference(now.begin(), now.end(), was.begin(), was.end(), std::back_inserter(difference));
        counts.frozen += static_cast<long>(difference.size());
        difference.clear();
        std::set_difference(was.begin(), was.end(), now.begin(), now.end(), std::back_inserter(difference));
        counts.thawed += static_cast<long>(difference.size());
    }
}

void printRestoreReport(const std::string& name, const std::string& where, const RestoreCounts& counts) {
    ads_printf("Layer configuration \"%s\" restored%s: %ld layer%s frozen, %ld thawed, %ld turned on.\n", name.c_str(),
               where.c_str(), counts.frozen, counts.frozen == 1 ? "" : "s", counts.thawed, counts.turnedOn);
}

}  // namespace zan
