// What the module's own readers need around them in a fuzz target: a
// session of the host (no module loaded: the module's code is linked in)
// for the host functions and the toolkit, and the module started in it.
#pragma once

#include <string_view>

#include "session/session.h"
#include "shell/lifecycle.h"

namespace zan::fuzz {

inline void startModuleOnce() {
    static app::Session* session = [] {
        auto* s = new app::Session(app::SessionOptions{}, [](std::string_view) {});
        onInitApplication(nullptr);
        return s;
    }();
    (void)session;
}

}  // namespace zan::fuzz
