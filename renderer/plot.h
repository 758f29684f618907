// Plots: a drawing's model space or one of its layouts drawn into a PNG,
// PDF or SVG file, saved through the safe save. No display is needed: when
// the process has no GUI application yet, one is made on Qt's offscreen
// platform (fonts need one). This header names no Qt type, so that code
// that sees the host's programming interface (whose macros clash with Qt's
// headers) can plot.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "drawing_source.h"
#include "geometry/shape.h"
#include "layouts.h"

namespace zan::render {

enum class PlotFormat { Png, Pdf, Svg };

// The format a file name asks for by its extension (.png, .pdf, .svg, in
// any case), or nothing.
std::optional<PlotFormat> plotFormatOf(std::string_view path);

// Picture sizes: whole device units (pixels; points for a PDF page), each
// side at most this, both together at most kMaxPlotArea.
constexpr int kMaxPlotSide = 16384;
constexpr long long kMaxPlotArea = 64LL * 1024 * 1024;
// "WxH" (also "W,H"); false for anything else or a size out of bounds.
bool parsePlotSize(std::string_view text, int& width, int& height);

struct PlotRequest {
    std::string path;
    std::string layout;  // "Model", a layout's name, or empty: what the drawing shows now
    int width = 1600, height = 1200;
    // Model space: its extents, the current display (VIEWCTR, VIEWSIZE) or
    // a named view. A layout always shows its whole sheet.
    enum class Area { Extents, Display, View } area = Area::Extents;
    std::string view;
};

// The area a plot shows, in the layout's units; false with a message for a
// view the drawing does not have.
bool plotWindow(const host::Database& db, const Layout& layout, const PlotRequest& request, host::Box& window,
                std::string& message);

// Draws the plot into `out` in `format`; false with a message.
bool renderPlot(const DrawingSource& source, const PlotRequest& request, PlotFormat format, std::string& out,
                std::string& message);
// Draws the plot and saves it to request.path; false with a message that
// names the file.
bool plotDrawing(const DrawingSource& source, const PlotRequest& request, std::string& message);

// Makes sure the process has a GUI application (on the offscreen platform
// when it has none); false when another kind of application object exists.
bool ensureGuiApplication();

}  // namespace zan::render
