// The renderer's tests run with a GUI application on the offscreen platform
// (texts need one), made before any test as a plot makes it.
#include <gtest/gtest.h>

#include "plot.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (!zan::render::ensureGuiApplication()) return 1;
    return RUN_ALL_TESTS();
}
