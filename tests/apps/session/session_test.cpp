// The session runs on a backend chosen by name.
#include "session/session.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "session/backend_factory.h"

TEST(Session, RunsOnTheDefaultBackendAndRefusesAnUnknownOne) {
    std::string shown;
    auto output = [&](std::string_view text) { shown += text; };
    EXPECT_EQ(zan::app::availableBackends().front(), "headless");
    {
        zan::app::Session session({}, output);
        zan::app::Script script("@tools\nQUIT\n");
        EXPECT_EQ(session.run(script), 0) << shown;
        EXPECT_NE(shown.find("[tools] none"), std::string::npos) << shown;
    }
    zan::app::SessionOptions options;
    options.backend = "nosuch";
    EXPECT_THROW(zan::app::Session(options, output), std::invalid_argument);
}
