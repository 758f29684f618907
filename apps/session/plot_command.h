// PLOT: the drawing as it is now, written to a PNG, PDF or SVG file.
//
//   Layout to plot (Model, a layout's name, or ? to list them) <current>:
//   Plot area [Display/Extents/View] <Extents>:     (model space only)
//   View name:                                       (after View)
//   Size in pixels <1600x1200>:
//   File name (.png, .pdf or .svg):
#pragma once

#include "core/host.h"

namespace zan::app {

void registerPlotCommand(host::Host& host);

}  // namespace zan::app
