// The viewports a layer configuration is restored to, as named on the
// command line: "all" (every floating viewport of the current layout) or a
// comma list of viewports, each "LAYOUT:N" (the layout's name and the
// viewport's number, as the preview lists them) or "#HANDLE" (the viewport
// entity's handle, hexadecimal).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "db/database.h"

namespace zan::app {

struct ViewportName {
    std::string text;         // as the user wrote it, for messages
    std::string layout;       // with a number
    long long number = 0;     // the viewport's number in its layout
    std::uint64_t handle = 0;  // when named by handle
    bool byHandle = false;
};

struct ViewportChoice {
    bool all = false;
    std::vector<ViewportName> named;
    bool any() const { return all || !named.empty(); }
};

// Reads the argument of --viewports; false with the reason in `error` for a
// malformed list.
bool parseViewportChoice(std::string_view text, ViewportChoice& choice, std::string& error);

// A floating viewport of the drawing and how the user can name it.
struct ChosenViewport {
    host::RecordId id = host::kNoRecord;
    std::string name;  // "Layout1:2 (#1A3)"
};

// The viewports of a drawing the choice names, in the order named (each
// once); false with the reason in `error` when one is missing, names more
// than one viewport, or is a layout's own paper space viewport.
bool resolveViewports(const host::Database& db, const ViewportChoice& choice, std::vector<ChosenViewport>& out,
                      std::string& error);

}  // namespace zan::app
