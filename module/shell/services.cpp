#include "shell/services.h"

#include <string>

#include "shell/state.h"
#include "tk/platform.h"

namespace zan {

bool sendCommandText(std::string_view text) {
    std::string data(text);  // holds the terminating zero
    tk::platform().sendCopyData(state().hostMainWindow, 1, data.c_str(), data.size() + 1);
    return true;
}

void returnFocusToHost() { tk::platform().setFocus(state().hostMainWindow); }

int messageBox(std::string_view text, unsigned style) {
    return tk::platform().messageBox(state().hostMainWindow, text, kApplicationTitle, style);
}

}  // namespace zan
