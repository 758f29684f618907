#include "laycfg/restore_report.h"

#include "ads/adslib.h"

namespace zan {

void printRestoreReport(const std::string& name, const std::string& where, const RestoreCounts& counts) {
    ads_printf("Layer configuration \"%s\" restored%s: %ld layer%s frozen, %ld thawed, %ld turned on.\n", name.c_str(),
               where.c_str(), counts.frozen, counts.frozen == 1 ? "" : "s", counts.thawed, counts.turnedOn);
}

}  // namespace zan
