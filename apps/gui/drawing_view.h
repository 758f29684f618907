// The drawing view of the desktop application: model space or a layout
// drawn by the renderer (the same pixels as a plot). The wheel zooms about
// the cursor, the middle button pans, a left click gives the drawing
// coordinates under the cursor, a right click stands for Enter.
#pragma once

#include <QPointF>
#include <QWidget>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "drawing_source.h"
#include "layouts.h"

namespace zan::gui {

class DrawingView final : public QWidget {
public:
    explicit DrawingView(const render::DrawingSource& source, QWidget* parent = nullptr);

    // A click: the drawing coordinates under the cursor (units of the layout
    // shown) and the button.
    std::function<void(double x, double y, Qt::MouseButton button)> onClick;

    // What the view shows changed: the layout, the area it shows (drawing
    // units of that layout) and the view's size in pixels.
    std::function<void(const render::Layout& layout, const host::Box& shown, int width, int height)> onDisplay;

    // Takes what changed in the drawing: its layouts, and the layout the
    // drawing shows when that changed (TILEMODE, the active layout).
    void refresh();
    const std::vector<render::Layout>& layouts() const { return layouts_; }
    const std::string& layoutName() const { return layout_; }
    // Shows a layout by name (case-insensitive); false when there is none.
    bool showLayout(const std::string& name);

    void zoomExtents();
    // Zooms by `factor` (> 1: closer) keeping the drawing point under `pixel` in place.
    void zoomAt(QPointF pixel, double factor);
    void setWindow(const host::Box& window);
    host::Box window() const { return window_; }

    QPointF toDrawing(QPointF pixel) const;
    QPointF toPixel(double x, double y) const;

protected:
    void paintEvent(QPaintEvent*) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    const render::Layout* current() const;
    void tellDisplay();
    const render::DrawingSource& source_;
    std::vector<render::Layout> layouts_;
    std::uint64_t revision_ = ~std::uint64_t(0);
    std::string layout_;        // shown
    std::string drawingLayout_;  // the one the drawing showed when last looked
    host::Box window_;
    std::map<std::string, host::Box> windows_;  // each layout's last window, by name
    bool fitted_ = false;  // showing the extents, until the user zooms or pans
    bool panning_ = false;
    QPointF panFrom_;
};

}  // namespace zan::gui
