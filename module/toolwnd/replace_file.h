// Writing a whole file so that a failure never destroys the previous one.
#pragma once

#include <string>
#include <string_view>

namespace zan {

// Writes `bytes` to a new file beside `path`, flushes it to the disk and
// then puts it in the file's place. False, with the previous file intact,
// when any step fails or when `path` names something other than a regular
// file (a directory, device, FIFO or symbolic link is never replaced). An
// existing file keeps its permissions.
bool replaceFileContent(const std::string& path, std::string_view bytes);

}  // namespace zan
