// Reading and writing values of what the host hands out: text system
// variables and the text items of result-buffer lists.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "ads/adslib.h"

namespace zan {

// The value of a text system variable (CLAYER, ...), or nothing.
std::optional<std::string> textVariable(const char* name);
// The text of the first item with `code` in a list, or null.
const char* groupText(const resbuf* list, int code);
// Stores `text` into a text item of a host list, growing the stored text
// with the host's allocator when the new one is longer.
bool storeItemText(resbuf* item, std::string_view text);

}  // namespace zan
