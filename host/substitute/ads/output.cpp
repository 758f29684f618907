// Text written to the command line, and the text and graphics screens.
#include <cstdarg>
#include <cstdio>
#include <string>

#include "ads/ads_context.h"

using host::ads::theHost;

extern "C" {

int ads_printf(const char* format, ...) {
    if (!theHost() || !format) return RTERROR;
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (length < 0) {
        va_end(args);
        return RTERROR;
    }
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    std::vsnprintf(text.data(), text.size(), format, args);
    va_end(args);
    text.pop_back();
    theHost()->print(text);
    return RTNORM;
}

int ads_prompt(const char* text) {
    if (!theHost()) return RTERROR;
    if (text) theHost()->print(text);
    return RTNORM;
}

int ads_textscr(void) {
    if (!theHost()) return RTERROR;
    theHost()->setTextScreen(true);
    return RTNORM;
}

int ads_graphscr(void) {
    if (!theHost()) return RTERROR;
    theHost()->setTextScreen(false);
    return RTNORM;
}

}  // extern "C"
