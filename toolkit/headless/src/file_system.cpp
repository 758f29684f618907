#include "file_system.h"

#include <algorithm>
#include <filesystem>

#include "shared.h"

namespace tk::headless {

namespace fs = std::filesystem;

std::vector<std::string> driveEntries() { return {"[-/-]"}; }

std::optional<tk::DirectoryListing> directoryEntries(std::string_view path) {
    std::string given(path);
    std::replace(given.begin(), given.end(), '\\', '/');
    std::error_code ec;
    fs::path directory = given.empty() ? fs::current_path(ec) : fs::absolute(fs::path(given), ec);
    if (ec) return std::nullopt;
    directory = directory.lexically_normal();
    std::string shown = directory.string();
    while (shown.size() > 1 && shown.back() == '/') shown.pop_back();
    if (!fs::is_directory(shown, ec)) return std::nullopt;

    fs::directory_iterator it(shown, fs::directory_options::skip_permission_denied, ec);
    if (ec) return std::nullopt;
    std::vector<std::string> names;
    for (; it != fs::directory_iterator(); it.increment(ec)) {
        if (ec) return std::nullopt;
        std::string name = it->path().filename().string();
        std::error_code typeError;
        if (!name.empty() && name.front() != '.' && it->is_directory(typeError)) names.push_back(name);
    }
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        int order = text::compareIgnoreCase(a, b);
        return order != 0 ? order < 0 : a < b;
    });
    tk::DirectoryListing listing;
    listing.directory = shown;
    if (shown != "/") listing.entries.push_back("[..]");
    for (const auto& name : names) listing.entries.push_back("[" + name + "]");
    return listing;
}

}  // namespace tk::headless
