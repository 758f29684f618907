// The drive and directory listing facility of directory choosers. Entries
// are written the platform's way: a drive as "[-x-]" (this platform has one,
// the file-system root, "[-/-]"), a directory as "[name]", the parent
// directory as "[..]".
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tk {

struct DirectoryListing {
    std::string directory;             // the directory listed, absolute, without a trailing "/" (except "/")
    std::vector<std::string> entries;  // "[..]" (except at the root) and one "[name]" per subdirectory
};

// The root directory of a drive entry: "[-/-]" gives "/", "[-c-]" gives "c:/".
inline std::optional<std::string> driveRootOf(std::string_view entry) {
    if (entry.size() < 5 || entry.substr(0, 2) != "[-" || entry.substr(entry.size() - 2) != "-]") return std::nullopt;
    std::string inner(entry.substr(2, entry.size() - 4));
    if (inner == "/") return inner;
    return inner + ":/";
}

// The directory name of a directory entry: "[name]" gives "name".
inline std::optional<std::string> directoryNameOf(std::string_view entry) {
    if (entry.size() < 3 || entry.front() != '[' || entry.back() != ']') return std::nullopt;
    return std::string(entry.substr(1, entry.size() - 2));
}

}  // namespace tk
