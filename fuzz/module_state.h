// What the module's own readers need around them in a fuzz target: a
// session of the host (no module loaded: the module's code is linked in)
// for the host functions and the toolkit, and the module started in it.
// Both are ended when the process exits, so that the leak check at exit
// sees everything released.
#pragma once

#include <string_view>

#include "session/session.h"
#include "shell/lifecycle.h"

namespace zan::fuzz {

class ModuleInSession {
public:
    ModuleInSession() : session_(app::SessionOptions{}, [](std::string_view) {}) { onInitApplication(nullptr); }
    ~ModuleInSession() { onUnloadApplication(); }

private:
    app::Session session_;
};

inline void startModuleOnce() { static ModuleInSession running; }

}  // namespace zan::fuzz
