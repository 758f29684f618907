// Writing a file so that a failure never destroys the previous content: the
// new content goes to a temporary file beside the target, which is flushed
// to disk and then renamed over the target.
#pragma once

#include <string>
#include <string_view>

namespace tk::headless {

// False, with `error` set (when given) and the target untouched, on any failure.
bool writeFileAtomically(const std::string& path, std::string_view content, std::string* error = nullptr);

}  // namespace tk::headless
