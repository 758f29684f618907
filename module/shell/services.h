// Small services of the shell used throughout the module.
#pragma once

#include <string_view>

namespace zan {

inline constexpr const char* kApplicationTitle = "TUV Windows Application";

// Hands text to the host's command line as if typed (a copy-data message
// to the host's main window, identifier 1, the terminating zero included).
bool sendCommandText(std::string_view text);
// Gives keyboard focus back to the host's main window.
void returnFocusToHost();
// A modal message box with the application title; returns the answer.
int messageBox(std::string_view text, unsigned style);

}  // namespace zan
