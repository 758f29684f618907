#include "gui/drawing_view.h"

#include <QMouseEvent>
#include <QResizeEvent>
#include <QPainter>
#include <QWheelEvent>

#include <cmath>

#include "plot.h"
#include "renderer.h"

namespace zan::gui {

DrawingView::DrawingView(const render::DrawingSource& source, QWidget* parent) : QWidget(parent), source_(source) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::ClickFocus);
    setMinimumSize(200, 150);
    setCursor(Qt::CrossCursor);
}

void DrawingView::refresh() {
    const host::Database& db = source_.database();
    if (db.revision() != revision_) {
        revision_ = db.revision();
        layouts_ = render::drawingLayouts(db);
        std::string shown = render::currentLayoutName(db);
        if (shown != drawingLayout_) {
            drawingLayout_ = shown;
            showLayout(shown);
        } else if (!current()) {
            showLayout(shown);
        }
    }
    update();
}

const render::Layout* DrawingView::current() const { return render::findLayout(layouts_, layout_); }

bool DrawingView::showLayout(const std::string& name) {
    const render::Layout* layout = render::findLayout(layouts_, name);
    if (!layout) return false;
    if (current()) windows_[layout_] = window_;
    layout_ = layout->name;
    auto kept = windows_.find(layout_);
    if (kept != windows_.end()) setWindow(kept->second);
    else zoomExtents();
    update();
    return true;
}

void DrawingView::zoomExtents() {
    const render::Layout* layout = current();
    if (!layout) return;
    render::PlotRequest request;
    request.width = std::max(1, width());
    request.height = std::max(1, height());
    std::string message;
    host::Box window;
    if (render::plotWindow(source_.database(), *layout, request, window, message)) setWindow(window);
    fitted_ = true;
}

void DrawingView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (fitted_) zoomExtents();
    else tellDisplay();
}

void DrawingView::tellDisplay() {
    const render::Layout* layout = current();
    if (!onDisplay || !layout || !window_.valid || width() <= 0 || height() <= 0) return;
    host::Box shown;
    QPointF a = toDrawing(QPointF(0, 0)), b = toDrawing(QPointF(width(), height()));
    shown.add(a.x(), a.y());
    shown.add(b.x(), b.y());
    onDisplay(*layout, shown, width(), height());
}

void DrawingView::setWindow(const host::Box& window) {
    if (!window.valid || !(window.maxX > window.minX) || !(window.maxY > window.minY)) return;
    window_ = window;
    fitted_ = false;
    tellDisplay();
    update();
}

void DrawingView::zoomAt(QPointF pixel, double factor) {
    if (!(factor > 0) || !window_.valid) return;
    QPointF at = toDrawing(pixel);
    // The window's corners move towards the point in proportion, so the
    // point keeps its place on the screen (the window stays centred in the view).
    double span = std::max(window_.maxX - window_.minX, window_.maxY - window_.minY) / factor;
    if (span < 1e-9 || span > 1e12) return;
    host::Box next = window_;
    next.minX = at.x() - (at.x() - window_.minX) / factor;
    next.maxX = at.x() + (window_.maxX - at.x()) / factor;
    next.minY = at.y() - (at.y() - window_.minY) / factor;
    next.maxY = at.y() + (window_.maxY - at.y()) / factor;
    setWindow(next);
}

QPointF DrawingView::toDrawing(QPointF pixel) const {
    return render::fitWindow(window_, QRectF(rect())).inverted().map(pixel);
}

QPointF DrawingView::toPixel(double x, double y) const {
    return render::fitWindow(window_, QRectF(rect())).map(QPointF(x, y));
}

void DrawingView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const render::Layout* layout = current();
    if (!layout || !window_.valid) {
        painter.fillRect(rect(), Qt::black);
        return;
    }
    // Light lines on a dark screen, as drafters are used to.
    render::Style style;
    style.colors.background = Qt::black;
    style.colors.foreground = Qt::white;
    render::Renderer(source_, style).draw(painter, QRectF(rect()), *layout, window_);
}

void DrawingView::wheelEvent(QWheelEvent* event) {
    double steps = event->angleDelta().y() / 120.0;
    if (steps != 0) zoomAt(event->position(), std::pow(1.25, steps));
    event->accept();
}

void DrawingView::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::MiddleButton) {
        panning_ = true;
        panFrom_ = event->position();
        setCursor(Qt::ClosedHandCursor);
        return;
    }
    if (event->button() != Qt::LeftButton && event->button() != Qt::RightButton) return;
    QPointF at = toDrawing(event->position());
    if (onClick) onClick(at.x(), at.y(), event->button());
}

void DrawingView::mouseMoveEvent(QMouseEvent* event) {
    if (!panning_) return;
    QPointF from = toDrawing(panFrom_), to = toDrawing(event->position());
    panFrom_ = event->position();
    host::Box next = window_;
    double dx = from.x() - to.x(), dy = from.y() - to.y();
    next.minX += dx, next.maxX += dx, next.minY += dy, next.maxY += dy;
    setWindow(next);
}

void DrawingView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::MiddleButton && panning_) {
        panning_ = false;
        setCursor(Qt::CrossCursor);
    }
}

}  // namespace zan::gui
