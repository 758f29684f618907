// zan --preview and zan --apply: a layer configuration of a configuration
// file shown as what restoring it would do in a drawing, or restored in a
// whole set of drawings, each saved to a directory of results.
#pragma once

#include <string>
#include <vector>

#include "session/session.h"
#include "viewport_choice.h"

namespace zan::app {

struct LayerConfigurationRun {
    std::string configuration;   // the configuration's name
    std::string file;            // the .Zly file it comes from
    ViewportChoice viewports;    // restore to these paper space viewports; none: to model space
    std::string saveIn;          // where results are saved (--apply); empty: over the inputs, if allowed
    bool overwrite = false;      // a result may replace its input
    std::vector<std::string> drawings;
};

// Prints the preview of the configuration on one drawing (the demo drawing
// when none is named), after the viewports it is for; 0, or 1 when it
// could not be made. With a plot
// named (plan.png), also the drawing before and after the restore as
// plan-before.png and plan-after.png; the drawing is never saved.
int runPreview(const LayerConfigurationRun& run, const SessionOptions& options, const std::string& demoDrawing,
               const render::PlotRequest& plot);

// Restores the configuration in every drawing and saves each result; one
// line per drawing and a summary on standard output, a progress bar on a
// terminal (standard error). 0 when every drawing was restored in full and
// saved, 1 when any failed, 2 when all were saved but some lacked what the
// configuration names (listed under their lines), 64 for a request that
// cannot be carried out at all.
int runBatch(const LayerConfigurationRun& run, const SessionOptions& options);

}  // namespace zan::app
