// Dash patterns, text codes and plot arguments.
#include <gtest/gtest.h>

#include <cmath>

#include "dxf/dxf.h"
#include "linetypes.h"
#include "plot.h"
#include "text_outline.h"

namespace {

using zan::render::dashPolyline;

double pieceLength(const std::vector<QPointF>& piece) {
    double total = 0;
    for (std::size_t i = 1; i < piece.size(); ++i)
        total += std::hypot(piece[i].x() - piece[i - 1].x(), piece[i].y() - piece[i - 1].y());
    return total;
}

TEST(Dashes, APatternRunsOnAcrossCornersAndScales) {
    // Dash 2, gap 1, scaled by 2: dashes of 4 with gaps of 2 along an L of 10 + 10.
    auto pieces = dashPolyline({{0, 0}, {10, 0}, {10, 10}}, {2, -1}, 2, 0.1);
    ASSERT_EQ(pieces.size(), 4u);  // 0-4, 6-10 (turning the corner), 12-16, 18-20
    EXPECT_NEAR(pieceLength(pieces[0]), 4, 1e-9);
    EXPECT_NEAR(pieceLength(pieces[1]), 4, 1e-9);
    EXPECT_EQ(pieces[1].size(), 3u);  // the corner is kept inside the dash
    EXPECT_EQ(pieces[1][1], QPointF(10, 0));
    EXPECT_NEAR(pieceLength(pieces[3]), 2, 1e-9);
    // A dot is a short piece; a gap first starts the line with nothing.
    auto dotted = dashPolyline({{0, 0}, {10, 0}}, {-1, 0}, 1, 0.25);
    ASSERT_EQ(dotted.size(), 9u);  // at 1, 2, ... 9: dots take no room
    EXPECT_NEAR(dotted[0].front().x(), 1, 1e-9);
    EXPECT_NEAR(pieceLength(dotted[0]), 0.25, 1e-9);
}

TEST(Dashes, SolidWhenThePatternCannotBeShown) {
    std::vector<QPointF> line{{0, 0}, {1e6, 0}};
    EXPECT_EQ(dashPolyline(line, {}, 1, 0.1).size(), 1u);
    // Far too many dashes: the line is drawn whole instead of cut a billion times.
    EXPECT_EQ(dashPolyline(line, {0.001, -0.001}, 1, 0.1).size(), 1u);
    EXPECT_EQ(dashPolyline(line, {0.0, -0.0}, 1, 0.1).size(), 1u);
}

TEST(Linetypes, PatternsComeFromTheLtypeTable) {
    auto db = host::dxf::newDrawing();
    host::Record lt;
    lt.type = "LTYPE";
    lt.groups = {{2, "DASHDOT"}, {70, "0"}, {73, "3"}, {40, "2.0"}, {49, "1.0"}, {74, "0"}, {49, "-0.5"},
                 {74, "0"}, {49, "0.0"}, {74, "0"}};
    db->addEntry("LTYPE", lt);
    EXPECT_EQ(zan::render::linetypePattern(*db, "dashdot"), (zan::render::DashPattern{1.0, -0.5, 0.0}));
    EXPECT_TRUE(zan::render::linetypePattern(*db, "Continuous").empty());
    EXPECT_TRUE(zan::render::linetypePattern(*db, "NOSUCH").empty());
}

TEST(TextCodes, PercentCodesAndMtextFormatting) {
    using zan::render::textShown;
    EXPECT_EQ(textShown("90%%d %%p0.5 %%c20 100%%% %%uunder%%u"), "90\u00b0 \u00b10.5 \u230020 100% under");
    EXPECT_EQ(textShown("%%065%%66"), "AB");
    EXPECT_EQ(textShown("50%"), "50%");
    EXPECT_EQ(textShown("\\U+0414\\U+0430\\U+0442\\U+0430 1"), "\u0414\u0430\u0442\u0430 1");
    EXPECT_EQ(textShown("C:\\U+00zz \\U+004"), "C:\\U+00zz \\U+004");  // not a character: kept
    auto lines = zan::render::mtextParagraphs("{\\fArial|b1;Title}\\PLine \\H2x;two\\~x\\P\\S1^2;\\\\\\U+00B0");
    EXPECT_EQ(lines, (std::vector<std::string>{"Title", "Line two x", "1/2\\\u00b0"}));
}

TEST(PlotArguments, SizesAndFormats) {
    int w = 0, h = 0;
    EXPECT_TRUE(zan::render::parsePlotSize("800x600", w, h));
    EXPECT_EQ(w, 800);
    EXPECT_EQ(h, 600);
    for (const char* bad : {"800", "0x10", "10x", "x10", "-5x5", "10x10x", "99999x10", "16384x16384", " 8x8"})
        EXPECT_FALSE(zan::render::parsePlotSize(bad, w, h)) << bad;
    EXPECT_EQ(w, 800);
    EXPECT_EQ(zan::render::plotFormatOf("a/b.PNG"), zan::render::PlotFormat::Png);
    EXPECT_EQ(zan::render::plotFormatOf("x.pdf"), zan::render::PlotFormat::Pdf);
    EXPECT_EQ(zan::render::plotFormatOf("x.Svg"), zan::render::PlotFormat::Svg);
    EXPECT_FALSE(zan::render::plotFormatOf("x.dxf"));
    EXPECT_FALSE(zan::render::plotFormatOf("png"));
}

}  // namespace
