// Reporting of internal failures of host calls: the source module's name
// and the line of the reporting site, printed on the command line.
#pragma once

#include "ads/adslib.h"

#define ZAN_ERROR_AT(module) ads_printf("Error at %s, %d.\n", module, __LINE__)
#define ZAN_FILTER_FINDS_NOTHING(module) ads_printf("Filter finds no entities, %s, %d.\n", module, __LINE__)
#define ZAN_UNABLE_TO_BUILD(module) ads_printf("Unable to build list %s, %d.\n", module, __LINE__)
#define ZAN_UNABLE_TO_MAKE(module) ads_printf("Unable to make entity %s, %d.\n", module, __LINE__)
#define ZAN_ERROR_IN(module) ads_printf("ERROR: in %s, at %d.\n", module, __LINE__)

namespace zan {
// Module names used in failure reports.
inline constexpr const char* kModuleShell = "tuv";
inline constexpr const char* kModuleMacros = "macros";
inline constexpr const char* kModuleLayers = "layers";
}  // namespace zan
