#include "shell/drawing_paths.h"

#include <optional>

#include "shell/host_values.h"

namespace zan {

bool isAbsolutePath(std::string_view path) {
    if (path.empty()) return false;
    if (path[0] == '/' || path[0] == '\\') return true;
    // A path written on Windows with its drive: nothing to put before it.
    const char c = path[0];
    return path.size() >= 2 && path[1] == ':' && ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'));
}

std::string drawingFolder() {
    std::optional<std::string> prefix = textVariable("DWGPREFIX");
    if (!prefix || prefix->empty()) return {};
    if (prefix->back() != '/' && prefix->back() != '\\') *prefix += '/';
    return *prefix;
}

std::string resolveDrawingPath(std::string_view recorded) {
    if (recorded.empty() || isAbsolutePath(recorded)) return std::string(recorded);
    std::string folder = drawingFolder();
    if (folder.empty()) return std::string(recorded);
    while (recorded.size() >= 2 && recorded[0] == '.' && (recorded[1] == '/' || recorded[1] == '\\'))
        recorded.remove_prefix(2);
    return folder + std::string(recorded);
}

}  // namespace zan
