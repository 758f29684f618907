#include "plot.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>

#include "geometry/group_points.h"
#include "renderer.h"
#include "tk/common/safe_save.h"

namespace zan::render {

namespace {

std::string lower(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

// A window of the proportions of the picture around a centre.
host::Box centred(double cx, double cy, double height, double aspect) {
    double h = height / 2, w = height * aspect / 2;
    return host::Box::of({cx - w, cy - h, 0}, {cx + w, cy + h, 0});
}

// Room around what a plot of extents shows, so that nothing touches the edge.
host::Box withMargin(host::Box box) {
    double m = std::max(box.maxX - box.minX, box.maxY - box.minY) * 0.02;
    if (!(m > 0)) m = 1;
    box.minX -= m, box.minY -= m, box.maxX += m, box.maxY += m;
    return box;
}

}  // namespace

std::optional<PlotFormat> plotFormatOf(std::string_view path) {
    std::size_t dot = path.rfind('.');
    if (dot == std::string_view::npos) return std::nullopt;
    std::string ext = lower(path.substr(dot + 1));
    if (ext == "png") return PlotFormat::Png;
    if (ext == "pdf") return PlotFormat::Pdf;
    if (ext == "svg") return PlotFormat::Svg;
    return std::nullopt;
}

bool parsePlotSize(std::string_view text, int& width, int& height) {
    std::size_t x = text.find_first_of("xX,");
    if (x == std::string_view::npos) return false;
    int w = 0, h = 0;
    std::string_view a = text.substr(0, x), b = text.substr(x + 1);
    auto ra = std::from_chars(a.data(), a.data() + a.size(), w);
    auto rb = std::from_chars(b.data(), b.data() + b.size(), h);
    if (ra.ec != std::errc() || ra.ptr != a.data() + a.size() || rb.ec != std::errc() ||
        rb.ptr != b.data() + b.size())
        return false;
    if (w < 1 || h < 1 || w > kMaxPlotSide || h > kMaxPlotSide || static_cast<long long>(w) * h > kMaxPlotArea)
        return false;
    width = w;
    height = h;
    return true;
}

bool plotWindow(const host::Database& db, const Layout& layout, const PlotRequest& request, host::Box& window,
                std::string& message) {
    double aspect = static_cast<double>(request.width) / std::max(1, request.height);
    if (layout.model && request.area == PlotRequest::Area::Display) {
        auto centre = db.variables().point("VIEWCTR");
        double size = db.variables().real("VIEWSIZE", 0);
        if (size > 0) {
            window = centred(centre[0], centre[1], size, aspect);
            return true;
        }
    }
    if (layout.model && request.area == PlotRequest::Area::View) {
        host::RecordId id = db.findEntry("VIEW", request.view);
        if (id == host::kNoRecord || request.view.empty()) {
            message = "View \"" + request.view + "\" not found.";
            return false;
        }
        const host::Record& view = db.at(id);
        host::Point3 centre = host::pointOf(view, 10).value_or(host::Point3{});
        host::Point3 target = host::pointOf(view, 12).value_or(host::Point3{});
        double h = view.real(40).value_or(0), w = view.real(41).value_or(0);
        if (h > 0) {
            window = host::Box::of({target.x + centre.x - w / 2, target.y + centre.y - h / 2, 0},
                                   {target.x + centre.x + w / 2, target.y + centre.y + h / 2, 0});
            return true;
        }
    }
    window = layoutExtents(db, layout);
    if (!window.valid) window = host::Box::of({0, 0, 0}, {12, 9, 0});
    window = withMargin(window);
    return true;
}

bool ensureGuiApplication() {
    if (QCoreApplication::instance()) return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
    // Kept for the life of the process, as Qt requires of its arguments.
    static int argc = 3;
    static char program[] = "zan", option[] = "-platform", platform[] = "offscreen";
    static char* argv[] = {program, option, platform, nullptr};
    // What the platform says while it starts (a missing runtime directory,
    // say) is of no concern to a plot; later messages pass as usual.
    QtMessageHandler previous = qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type == QtCriticalMsg || type == QtFatalMsg) std::fprintf(stderr, "%s\n", qPrintable(text));
    });
    static QGuiApplication* application = new QGuiApplication(argc, argv);
    qInstallMessageHandler(previous);
    return application != nullptr;
}

namespace {

bool draw(const DrawingSource& source, const PlotRequest& request, PlotFormat format, std::string& out,
          std::string& message) {
    if (request.width < 1 || request.height < 1 || request.width > kMaxPlotSide || request.height > kMaxPlotSide ||
        static_cast<long long>(request.width) * request.height > kMaxPlotArea) {
        message = "A plot must be between 1x1 and " + std::to_string(kMaxPlotSide) + "x" +
                  std::to_string(kMaxPlotSide) + " in size.";
        return false;
    }
    if (!ensureGuiApplication()) {
        message = "Plots need a GUI application, and this process has another kind.";
        return false;
    }
    const host::Database& db = source.database();
    std::vector<Layout> layouts = drawingLayouts(db);
    std::string name = request.layout.empty() ? currentLayoutName(db) : request.layout;
    const Layout* layout = findLayout(layouts, name);
    if (!layout) {
        message = "Layout \"" + name + "\" not found.";
        return false;
    }
    host::Box window;
    if (!plotWindow(db, *layout, request, window, message)) return false;

    Renderer renderer(source);
    QRectF target(0, 0, request.width, request.height);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    switch (format) {
        case PlotFormat::Png: {
            QImage image(request.width, request.height, QImage::Format_RGB32);
            if (image.isNull()) {
                message = "Not enough memory for a picture of that size.";
                return false;
            }
            {
                QPainter painter(&image);
                renderer.draw(painter, target, *layout, window);
            }
            if (!image.save(&buffer, "PNG")) {
                message = "The picture could not be encoded as PNG.";
                return false;
            }
            break;
        }
        case PlotFormat::Pdf: {
            QPdfWriter writer(&buffer);
            writer.setResolution(72);
            writer.setPageSize(QPageSize(QSizeF(request.width, request.height), QPageSize::Point));
            writer.setPageMargins(QMarginsF(0, 0, 0, 0));
            writer.setCreator("zan");
            writer.setTitle(QString::fromStdString(layout->name));
            QPainter painter(&writer);
            renderer.draw(painter, QRectF(0, 0, writer.width(), writer.height()), *layout, window);
            break;
        }
        case PlotFormat::Svg: {
            QSvgGenerator generator;
            generator.setOutputDevice(&buffer);
            generator.setSize(QSize(request.width, request.height));
            generator.setViewBox(QRectF(target));
            generator.setTitle(QString::fromStdString(layout->name));
            QPainter painter(&generator);
            renderer.draw(painter, target, *layout, window);
            break;
        }
    }
    buffer.close();
    out.assign(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    return true;
}

}  // namespace

bool renderPlot(const DrawingSource& source, const PlotRequest& request, PlotFormat format, std::string& out,
                std::string& message) {
    // Nothing a drawing holds may end the session: a failure is a message.
    try {
        return draw(source, request, format, out, message);
    } catch (const std::exception& e) {
        message = std::string("The plot could not be drawn: ") + e.what();
    } catch (...) {
        message = "The plot could not be drawn.";
    }
    return false;
}

bool plotDrawing(const DrawingSource& source, const PlotRequest& request, std::string& message) {
    std::optional<PlotFormat> format = plotFormatOf(request.path);
    if (!format) {
        message = request.path + ": a plot is written as .png, .pdf or .svg";
        return false;
    }
    std::string data;
    if (!renderPlot(source, request, *format, data, message)) return false;
    tk::common::SafeSave save;
    if (!save.begin(request.path) || !save.write(data) ||
        !save.commit()) {
        message = save.message();
        return false;
    }
    return true;
}

}  // namespace zan::render
