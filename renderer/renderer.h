// Draws a drawing onto a QPainter: model space through a window on it, or a
// paper-space layout with its viewports, each showing model space through
// its own view, clipped to its frame and without the layers frozen in it.
//
// What shows: entities on layers that are on and thawed (a block
// reference's layer hides what it holds when frozen; what it holds on layer
// 0 follows the reference's layer); colours by index, true colour, by layer
// and by block; linetypes of the LTYPE table scaled by LTSCALE and the
// entity's own scale; polyline widths; texts in a real font; solids and
// solid-filled hatches filled, other hatches by their boundaries;
// highlighted entities drawn thicker and dashed.
//
// Everything is drawn in device coordinates through the painter's identity
// transform, clipped by the renderer itself, so that every paint device
// (an image, a PDF, an SVG) receives the same strokes and fills.
#pragma once

#include <QPainter>
#include <QRectF>

#include "colors.h"
#include "drawing_source.h"
#include "geometry/shape.h"
#include "layouts.h"

namespace zan::render {

struct Style {
    ColorScheme colors;
    double lineWidth = 1.0;     // device units
    bool showDefpoints = false;  // the layer of dimension definition points (never plotted)
};

// The transform showing `window` (drawing units, Y up) as large as it fits
// in `target` (device units, Y down), centred.
QTransform fitWindow(const host::Box& window, const QRectF& target);

class Renderer {
public:
    explicit Renderer(const DrawingSource& source, Style style = {});

    // Fills `target` with the background and draws the layout's `window`
    // into it (model space: drawing units; a layout: paper units).
    void draw(QPainter& painter, const QRectF& target, const Layout& layout, const host::Box& window) const;

    const Style& style() const { return style_; }

private:
    const DrawingSource& source_;
    Style style_;
};

}  // namespace zan::render
