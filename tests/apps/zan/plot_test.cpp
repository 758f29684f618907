// Plots made by the zan program: the demo drawing before and after a
// layer configuration is restored, a layout whose viewports hide their own
// frozen layers, PDF and SVG files read by other programs, the PLOT
// command, and arguments that are refused.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QImage>

#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>

#include "dxf/dxf.h"
#include "geometry/extents.h"
#include "geometry/placement.h"
#include "geometry/view.h"
#include "layouts.h"
#include "plot.h"
#include "renderer.h"
#include "support/program_run.h"

namespace fs = std::filesystem;

namespace {

constexpr int kWidth = 1200, kHeight = 800;

using zan::test::ProgramRun;

// A copy of the demo kit in a fresh directory, where zan runs.
class PlotRun : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("zan-plot-" + std::to_string(getpid()) + "-" +
                                           ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
        fs::copy(fs::path(ZAN_SOURCE_DIR) / "samples", dir / "samples", fs::copy_options::recursive);
    }
    void TearDown() override { fs::remove_all(dir); }

    ProgramRun zan(const std::string& arguments, const std::string& script = "") {
        std::ofstream(dir / "run.scr") << script;
        return zan::test::runProgram(dir, "'" ZAN_BINARY "' --profile-dir '" + (dir / "profile").string() +
                                              "' -s run.scr " + arguments);
    }
    // Plots the demo drawing after the script; the picture read back.
    QImage plot(const std::string& name, const std::string& layout, const std::string& script = "") {
        ProgramRun run = zan("--plot " + name + " --layout " + layout + " --size " + std::to_string(kWidth) + "x" +
                                 std::to_string(kHeight) + " samples/demo/demo.dxf",
                             script);
        EXPECT_EQ(run.status, 0) << run.output;
        QImage image((dir / name).string().c_str());
        EXPECT_EQ(image.size(), QSize(kWidth, kHeight)) << run.output;
        return image.convertToFormat(QImage::Format_RGB32);
    }
    std::unique_ptr<host::Database> demo() {
        std::string error;
        auto db = host::dxf::loadDrawing((dir / "samples/demo/demo.dxf").string(), &error);
        EXPECT_TRUE(db) << error;
        return db;
    }

    fs::path dir;
};

// Where a box of the layout's units lands on the plot, a little widened for
// the pen and antialiasing.
QRect onPlot(const host::Database& db, const std::string& layoutName, const host::Box& box) {
    auto layouts = zan::render::drawingLayouts(db);
    zan::render::PlotRequest request;
    request.width = kWidth;
    request.height = kHeight;
    host::Box window;
    std::string message;
    zan::render::plotWindow(db, *zan::render::findLayout(layouts, layoutName), request, window, message);
    QTransform t = zan::render::fitWindow(window, QRectF(0, 0, kWidth, kHeight));
    return t.mapRect(QRectF(QPointF(box.minX, box.minY), QPointF(box.maxX, box.maxY))).toAlignedRect().adjusted(-3, -3, 3, 3);
}

int ink(const QImage& image, const QRect& r) {
    int n = 0;
    QRect in = r.intersected(image.rect());
    for (int y = in.top(); y <= in.bottom(); ++y)
        for (int x = in.left(); x <= in.right(); ++x) n += image.pixel(x, y) != qRgb(255, 255, 255);
    return n;
}

// Pixels that differ outside the given rectangles; `where` gets the box
// around them.
int changedOutside(const QImage& a, const QImage& b, const std::vector<QRect>& except, QRect* where = nullptr) {
    int n = 0;
    QRect box;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            if (a.pixel(x, y) == b.pixel(x, y)) continue;
            bool excepted = false;
            for (const QRect& r : except) excepted = excepted || r.contains(x, y);
            if (excepted) continue;
            ++n;
            box |= QRect(x, y, 1, 1);
        }
    if (where) *where = box;
    return n;
}

bool have(const char* tool) { return std::system((std::string("command -v ") + tool + " > /dev/null 2>&1").c_str()) == 0; }

// The layers a "LAYER ? *" listing shows frozen.
std::set<std::string> frozenLayers(const std::string& transcript) {
    std::set<std::string> out;
    std::size_t at = transcript.rfind("Layer name");
    std::istringstream lines(transcript.substr(at == std::string::npos ? transcript.size() : at));
    std::string line;
    while (std::getline(lines, line) && !line.empty())
        if (line.find(" Frozen") != std::string::npos) out.insert(line.substr(0, line.find(' ')));
    return out;
}

TEST_F(PlotRun, ARestoredConfigurationTakesItsFrozenLayersOffThePlotAndNothingElse) {
    QImage before = plot("before.png", "Model");
    // "Level 1 plan" freezes levels 2, 3 and S, and the layers it does not
    // name (those of the tables' insides among them).
    ProgramRun listing = zan("samples/demo/demo.dxf",
                             "dlconfig\n@select 1036 \"Level 1 plan\"\n@click 1043\n@escape\nLAYER ? *\n\n");
    std::set<std::string> frozen = frozenLayers(listing.output);
    ASSERT_TRUE(frozen.count("2-WALL") && frozen.count("3-DOOR") && frozen.count("S-WALL")) << listing.output;
    ASSERT_FALSE(frozen.count("1-WALL"));
    QImage after = plot("after.png", "Model", "dlconfig\n@select 1036 \"Level 1 plan\"\n@click 1043\n@escape\n");

    // Where each level is, and where anything on a frozen layer draws.
    auto db = demo();
    std::map<std::string, host::Box> levels;
    std::vector<QRect> gone;
    for (const zan::render::Layout& l : zan::render::drawingLayouts(*db))
        if (l.model)
            for (host::RecordId id : l.entities) {
                std::string_view layer = db->at(id).text(8);
                if (layer.size() > 2 && layer[1] == '-') levels[std::string(layer.substr(0, 1))].add(host::entityExtents(*db, id));
                host::walkLeaves(*db, id, host::Matrix(), [&](const host::Leaf& leaf) {
                    bool hidden = frozen.count(std::string(leaf.layer)) > 0;
                    for (host::RecordId holder : leaf.chain) hidden = hidden || frozen.count(std::string(db->at(holder).text(8)));
                    host::Shape shape = host::leafShape(*db, leaf.entity);
                    shape.transform(leaf.toSpace);
                    if (hidden) gone.push_back(onPlot(*db, "Model", shape.extents()));
                    return true;
                });
            }
    ASSERT_EQ(levels.size(), 4u);
    for (const char* level : {"2", "3", "S"}) {
        QRect r = onPlot(*db, "Model", levels[level]);
        EXPECT_GT(ink(before, r), 500) << "level " << level;
        EXPECT_EQ(ink(after, r), 0) << "level " << level;
    }
    QRect first = onPlot(*db, "Model", levels["1"]);
    EXPECT_GT(ink(before, first), 1000);
    EXPECT_GT(ink(after, first), ink(before, first) * 3 / 4);  // its walls, doors, windows and texts stay
    QRect changed;
    EXPECT_EQ(changedOutside(before, after, gone, &changed), 0) << changed.x() << "," << changed.y() << " "
                                                                << changed.width() << "x" << changed.height();
}

TEST_F(PlotRun, EachViewportOfALayoutHidesItsOwnFrozenLayers) {
    QImage before = plot("before.png", "Layout1");
    // Level 1's layers frozen in the left viewport only (picked on its frame).
    QImage after = plot("after.png", "Layout1", "TILEMODE 0\nVPLAYER F 1-* S 15,150\n\n\n");
    auto db = demo();
    std::vector<QRect> frames;  // the insides of the frames
    for (host::RecordId id : db->entities()) {
        const host::Record& r = db->at(id);
        if (r.type == "VIEWPORT" && !zan::render::isPaperSheetViewport(r))
            frames.push_back(onPlot(*db, "Layout1", host::viewportPaperBox(r)).adjusted(6, 6, -6, -6));
    }
    ASSERT_EQ(frames.size(), 2u);
    if (frames[0].left() > frames[1].left()) std::swap(frames[0], frames[1]);
    // What was clipped at the left frame's edge leaves the pixels it shared with the edge.
    QRect left = frames[0].adjusted(-9, -9, 9, 9);
    EXPECT_GT(ink(before, frames[0]), 1000);
    EXPECT_GT(ink(before, frames[1]), 1000);
    EXPECT_EQ(ink(after, frames[0]), 0);
    EXPECT_EQ(after.copy(frames[1]), before.copy(frames[1]));
    QRect changed;
    EXPECT_EQ(changedOutside(before, after, {left}, &changed), 0)  // the other frame and the title as they were
        << changed.x() << "," << changed.y() << " " << changed.width() << "x" << changed.height() << " left frame "
        << frames[0].x() << "," << frames[0].y() << " " << frames[0].width() << "x" << frames[0].height();
}

TEST_F(PlotRun, PdfAndSvgPlotsOpenInOtherReaders) {
    ProgramRun pdf = zan("--plot plot.pdf --layout Layout1 --size 842x595 samples/demo/demo.dxf");
    ASSERT_EQ(pdf.status, 0) << pdf.output;
    ProgramRun svg = zan("--plot plot.svg --layout Model samples/demo/demo.dxf");
    ASSERT_EQ(svg.status, 0) << svg.output;
    if (!have("pdftoppm")) GTEST_SKIP() << "pdftoppm (poppler-utils) is not installed";
    ASSERT_EQ(std::system(("pdftoppm -png -r 36 -singlefile '" + (dir / "plot.pdf").string() + "' '" +
                           (dir / "page").string() + "'").c_str()),
              0);
    QImage page((dir / "page.png").string().c_str());
    EXPECT_EQ(page.size(), QSize(421, 298));  // 842 x 595 points at half their resolution
    EXPECT_GT(ink(page.convertToFormat(QImage::Format_RGB32), page.rect()), 500);
    std::string count = (dir / "count.txt").string();
    ASSERT_EQ(std::system(("/usr/bin/python3 -c \"import sys, xml.etree.ElementTree as E; r = E.parse(sys.argv[1]).getroot(); "
                           "print(r.tag, sum(1 for e in r.iter() if e.tag.endswith(('path', 'polyline'))))\" '" +
                           (dir / "plot.svg").string() + "' > '" + count + "'").c_str()),
              0);
    std::string tag;
    int shapes = 0;
    std::ifstream(count) >> tag >> shapes;
    EXPECT_EQ(tag, "{http://www.w3.org/2000/svg}svg");
    EXPECT_GT(shapes, 100);
}

TEST_F(PlotRun, ThePlotCommandAsksWhatToPlot) {
    ProgramRun run = zan("samples/demo/demo.dxf", "PLOT\n?\nNope\nmodel\nView\nNOVIEW\nLEVEL-2\n0x1\n400x300\nplot.txt\n" +
                                                      (dir / "view.png").string() + "\nQUIT\n");
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_NE(run.output.find("  Model\n  Layout1\n"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("Layout \"Nope\" not found."), std::string::npos);
    EXPECT_NE(run.output.find("View \"NOVIEW\" not found."), std::string::npos);
    EXPECT_NE(run.output.find("Give the size as WIDTHxHEIGHT"), std::string::npos);
    EXPECT_NE(run.output.find("A plot is written as .png, .pdf or .svg."), std::string::npos);
    EXPECT_NE(run.output.find("Plotted model to"), std::string::npos) << run.output;
    QImage view((dir / "view.png").string().c_str());
    EXPECT_EQ(view.size(), QSize(400, 300));
    EXPECT_GT(ink(view.convertToFormat(QImage::Format_RGB32), view.rect()), 1000);
}

TEST_F(PlotRun, BadPlotArgumentsAreRefusedAndNothingIsReplaced) {
    EXPECT_EQ(zan("--plot plot.dxf").status, 64);
    EXPECT_EQ(zan("--plot plot.png --size 0x10").status, 64);
    EXPECT_EQ(zan("--plot plot.png --size 20000x20000").status, 64);
    ProgramRun missing = zan("--plot plot.png --layout Nope samples/demo/demo.dxf");
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.output.find("Layout \"Nope\" not found."), std::string::npos);
    EXPECT_FALSE(fs::exists(dir / "plot.png"));
    fs::create_directories(dir / "folder.png");
    ProgramRun folder = zan("--plot folder.png samples/demo/demo.dxf");
    EXPECT_EQ(folder.status, 1);
    EXPECT_NE(folder.output.find("folder.png: "), std::string::npos) << folder.output;
    EXPECT_TRUE(fs::is_directory(dir / "folder.png"));
}

// A drawing with a second layout, its entities kept in a block of their own.
TEST_F(PlotRun, EveryLayoutOfADrawingPlots) {
    std::ofstream(dir / "two.py") << R"(import sys, ezdxf
doc = ezdxf.new("R2013", setup=True)
doc.modelspace().add_circle((50, 50), 20, dxfattribs={"color": 3})
doc.layouts.get("Layout1").add_text("FIRST", dxfattribs={"height": 5, "insert": (10, 270)})
second = doc.layouts.new("Second")
second.add_text("SECOND", dxfattribs={"height": 5, "insert": (10, 270)})
second.add_viewport(center=(210, 140), size=(200, 200), view_center_point=(50, 50), view_height=120).dxf.status = 2
doc.saveas(sys.argv[1])
)";
    ASSERT_EQ(std::system((std::string(ZAN_DEBIAN_PYTHON) + " '" + (dir / "two.py").string() + "' '" +
                           (dir / "two.dxf").string() + "'").c_str()),
              0);
    auto green = [](const QImage& image) {
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                QRgb p = image.pixel(x, y);
                n += qGreen(p) > 200 && qRed(p) < 160 && qBlue(p) < 160;
            }
        return n;
    };
    for (const char* layout : {"Second", "Layout1"}) {
        ProgramRun run = zan(std::string("--no-module --plot plot.png --size 600x420 --layout ") + layout + " two.dxf");
        ASSERT_EQ(run.status, 0) << run.output;
        QImage image = QImage((dir / "plot.png").string().c_str()).convertToFormat(QImage::Format_RGB32);
        if (std::string(layout) == "Second") EXPECT_GT(green(image), 100);  // the circle, through its viewport
        else EXPECT_EQ(green(image), 0);
        EXPECT_GT(ink(image, image.rect()), 50);  // its own title
    }
}

}  // namespace
