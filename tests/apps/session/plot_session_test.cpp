// A session's plots show the highlighting applications leave on entities
// (ads_redraw), and the PLOT command is the host's.
#include <gtest/gtest.h>

#include "plot.h"
#include "session/host_drawing.h"
#include "support/session_harness.h"

namespace zan::test {
namespace {

std::string plotBytes(host::Host& h) {
    app::HostDrawing drawing(h);
    render::PlotRequest request;
    request.layout = "Model";
    request.width = 200;
    request.height = 150;
    std::string bytes, message;
    EXPECT_TRUE(render::renderPlot(drawing, request, render::PlotFormat::Png, bytes, message)) << message;
    return bytes;
}

TEST(PlotSession, PlotsShowWhatApplicationsHighlight) {
    SessionHarness h(false);
    ASSERT_EQ(h.run("LINE 0,0 100,0 100,50\n\n"), 0) << h.transcript();
    ads_name last;
    ASSERT_EQ(ads_entlast(last), RTNORM);
    app::HostDrawing drawing(h.host());
    host::RecordId id = h.db().entities().back();
    std::string plain = plotBytes(h.host());
    ASSERT_EQ(ads_redraw(last, 3), RTNORM);
    EXPECT_TRUE(drawing.highlighted(id));
    EXPECT_NE(plotBytes(h.host()), plain);
    ASSERT_EQ(ads_redraw(last, 4), RTNORM);
    EXPECT_FALSE(drawing.highlighted(id));
    EXPECT_EQ(plotBytes(h.host()), plain);
    EXPECT_TRUE(h.host().commands().isCommand("PLOT"));
}

}  // namespace
}  // namespace zan::test
