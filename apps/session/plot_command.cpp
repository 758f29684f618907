#include "session/plot_command.h"

#include "ads/ads_context.h"
#include "layouts.h"
#include "plot.h"
#include "session/host_drawing.h"

namespace zan::app {

bool HostDrawing::highlighted(host::RecordId entity) const { return host::ads::highlighted(host_.db(), entity); }

namespace {

void plot(host::CommandContext& c) {
    host::Host& h = c.host();
    render::PlotRequest request;
    std::string current = render::currentLayoutName(h.db());
    for (;;) {
        request.layout = c.text("Layout to plot (Model, a layout's name, or ? to list them) <" + current + ">: ", true);
        std::vector<render::Layout> layouts = render::drawingLayouts(h.db());
        if (request.layout == "?") {
            for (const render::Layout& l : layouts) c.print("  " + l.name + "\n");
            continue;
        }
        if (request.layout.empty()) request.layout = current;
        if (render::findLayout(layouts, request.layout)) break;
        c.print("Layout \"" + request.layout + "\" not found.\n");
    }
    if (host::namesEqual(request.layout, "Model")) {
        std::string area = c.keyword("Plot area [Display/Extents/View] <Extents>: ", {"Display", "Extents", "View"});
        if (area == "Display") request.area = render::PlotRequest::Area::Display;
        if (area == "View") {
            request.area = render::PlotRequest::Area::View;
            for (;;) {
                request.view = c.text("View name: ", true);
                if (!request.view.empty() && h.db().findEntry("VIEW", request.view) != host::kNoRecord) break;
                c.print("View \"" + request.view + "\" not found.\n");
            }
        }
    }
    for (;;) {
        std::string size = c.text("Size in pixels <" + std::to_string(request.width) + "x" +
                                  std::to_string(request.height) + ">: ");
        if (size.empty() || render::parsePlotSize(size, request.width, request.height)) break;
        c.print("Give the size as WIDTHxHEIGHT, each from 1 to " + std::to_string(render::kMaxPlotSide) + ".\n");
    }
    for (;;) {
        request.path = c.text("File name (.png, .pdf or .svg): ", true);
        if (render::plotFormatOf(request.path)) break;
        c.print("A plot is written as .png, .pdf or .svg.\n");
    }
    HostDrawing drawing(h);
    std::string message;
    if (render::plotDrawing(drawing, request, message))
        c.print("Plotted " + request.layout + " to " + request.path + "\n");
    else
        c.print("Plot not written: " + message + "\n");
}

}  // namespace

void registerPlotCommand(host::Host& host) { host.commands().define("PLOT", plot); }

}  // namespace zan::app
