#include "tk/common/ini_profile.h"

#include <pwd.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <filesystem>

#include "tk/common/file_reading.h"
#include "tk/common/safe_save.h"
#include "tk/common/text.h"

namespace tk::common {
namespace {

std::string_view trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

bool holdsLineBreak(std::string_view s) { return s.find_first_of(std::string_view("\r\n\0", 3)) != s.npos; }

// A value written between quotes when reading it back unquoted would change it.
std::string encodeValue(std::string_view value) {
    bool needsQuotes = value != trim(value) || (value.size() >= 2 && value.front() == '"' && value.back() == '"');
    return needsQuotes ? "\"" + std::string(value) + "\"" : std::string(value);
}

}  // namespace

IniDocument::Line IniDocument::parseLine(std::string_view raw, std::string ending) {
    Line line;
    line.raw = std::string(raw);
    line.ending = std::move(ending);
    if (raw.size() > kMaxIniLineLength) return line;
    std::string_view text = trim(raw);
    if (text.empty() || text.front() == ';' || text.front() == '#') return line;
    if (text.front() == '[') {
        auto close = text.find(']');
        if (close == text.npos) return line;
        line.kind = Kind::Section;
        line.name = std::string(trim(text.substr(1, close - 1)));
        return line;
    }
    auto equals = text.find('=');
    if (equals == text.npos) return line;
    line.kind = Kind::Entry;
    line.name = std::string(trim(text.substr(0, equals)));
    std::string_view value = trim(text.substr(equals + 1));
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
    line.value = std::string(value);
    return line;
}

IniDocument IniDocument::parse(std::string_view text) {
    IniDocument doc;
    while (!text.empty()) {
        auto end = text.find('\n');
        std::string_view raw = text.substr(0, end);
        std::size_t content = raw.size();
        while (content > 0 && raw[content - 1] == '\r') --content;
        std::string ending(raw.substr(content));
        if (end != text.npos) ending += '\n';
        doc.lines_.push_back(parseLine(raw.substr(0, content), std::move(ending)));
        if (end == text.npos) break;
        text.remove_prefix(end + 1);
    }
    return doc;
}

std::string IniDocument::serialize() const {
    std::string out;
    for (const auto& line : lines_) {
        out += line.raw;
        out += line.ending;
        if (line.ending.empty() || line.ending.back() != '\n') out += '\n';  // a last line gets its line end
    }
    return out;
}

std::string IniDocument::lineEndingLike(std::size_t index) const {
    if (index >= lines_.size()) return "\n";
    const std::string& ending = lines_[index].ending;
    return ending.size() >= 2 && ending[ending.size() - 2] == '\r' ? "\r\n" : "\n";
}

std::size_t IniDocument::findSection(std::string_view section) const {
    for (std::size_t i = 0; i < lines_.size(); ++i)
        if (lines_[i].kind == Kind::Section && text::equalsIgnoreCase(lines_[i].name, section)) return i;
    return lines_.size();
}

std::optional<std::string> IniDocument::get(std::string_view section, std::string_view key) const {
    for (std::size_t i = findSection(section) + 1; i < lines_.size(); ++i) {
        if (lines_[i].kind == Kind::Section) break;
        if (lines_[i].kind == Kind::Entry && text::equalsIgnoreCase(lines_[i].name, key)) return lines_[i].value;
    }
    return std::nullopt;
}

bool IniDocument::set(std::string_view section, std::string_view key, std::string_view value) {
    if (section.empty() || section != trim(section) || holdsLineBreak(section) || section.find(']') != section.npos)
        return false;
    if (key.empty() || key != trim(key) || holdsLineBreak(key) || key.find('=') != key.npos || key.front() == '[' ||
        key.front() == ';' || key.front() == '#')
        return false;
    if (holdsLineBreak(value)) return false;
    std::string raw = std::string(key) + "=" + encodeValue(value);
    if (raw.size() > kMaxIniLineLength || section.size() + 2 > kMaxIniLineLength) return false;

    std::size_t start = findSection(section);
    if (start == lines_.size()) {
        const std::string ending = lines_.empty() ? "\n" : lineEndingLike(lines_.size() - 1);
        if (!lines_.empty() && !trim(lines_.back().raw).empty()) lines_.push_back(parseLine("", ending));
        lines_.push_back(parseLine("[" + std::string(section) + "]", ending));
        lines_.push_back(parseLine(raw, ending));
        return true;
    }
    std::size_t insertAt = start + 1;
    for (std::size_t i = start + 1; i < lines_.size(); ++i) {
        if (lines_[i].kind == Kind::Section) break;
        if (lines_[i].kind == Kind::Entry && text::equalsIgnoreCase(lines_[i].name, key)) {
            lines_[i] = parseLine(lines_[i].name + "=" + encodeValue(value), lines_[i].ending);
            return true;
        }
        if (!trim(lines_[i].raw).empty()) insertAt = i + 1;
    }
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insertAt), parseLine(raw, lineEndingLike(insertAt - 1)));
    return true;
}

int profileInteger(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1) value = static_cast<long long>(INT_MAX) + 1;
    }
    if (negative) value = -value;
    if (value > INT_MAX) value = INT_MAX;
    return static_cast<int>(value);
}

IniDocument IniProfile::load(bool& complete) const {
    FileContent file = readFileBounded(path_, kMaxIniFileSize);
    complete = file.status == FileContent::Status::Missing ||
               (file.status == FileContent::Status::Read && !file.truncated);
    if (file.status != FileContent::Status::Read) return {};
    // Of a file read in part, only whole lines count.
    if (file.truncated) file.bytes.resize(file.bytes.rfind('\n') == std::string::npos ? 0 : file.bytes.rfind('\n') + 1);
    return IniDocument::parse(file.bytes);
}

int IniProfile::getInt(std::string_view section, std::string_view key, int fallback) {
    bool complete = false;
    auto value = load(complete).get(section, key);
    return value ? profileInteger(*value) : fallback;
}

std::string IniProfile::getString(std::string_view section, std::string_view key, std::string_view fallback) {
    bool complete = false;
    auto value = load(complete).get(section, key);
    return value ? *value : std::string(fallback);
}

bool IniProfile::writeInt(std::string_view section, std::string_view key, int value) {
    return writeString(section, key, std::to_string(value));
}

bool IniProfile::writeString(std::string_view section, std::string_view key, std::string_view value) {
    bool complete = false;
    IniDocument doc = load(complete);
    if (!complete) {
        lastError_ = path_ + " is too large or unreadable; it is left as it is";
        return false;
    }
    if (!doc.set(section, key, value)) {
        lastError_ = "the profile cannot hold this section, key or value";
        return false;
    }
    std::error_code ec;
    std::filesystem::path parent = std::filesystem::path(path_).parent_path();
    if (!parent.empty()) std::filesystem::create_directories(parent, ec);
    if (ec) {
        lastError_ = "cannot create " + parent.string() + ": " + ec.message();
        return false;
    }
    tk::SaveResult saved = saveFile(path_, doc.serialize());
    if (!saved) lastError_ = saved.message;
    return saved.saved;
}

std::string defaultProfileDirectory(std::string_view folder) {
    if (const char* dir = std::getenv("ZAN_PROFILE_DIR"); dir != nullptr && *dir != '\0') return dir;
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config != nullptr && config[0] == '/')
        return std::string(config) + "/" + std::string(folder);
    std::string home;
    if (const char* h = std::getenv("HOME"); h != nullptr && *h != '\0') {
        home = h;
    } else if (const passwd* entry = ::getpwuid(::getuid()); entry != nullptr && entry->pw_dir != nullptr) {
        home = entry->pw_dir;
    } else {
        home = ".";
    }
    return home + "/.config/" + std::string(folder);
}

std::string profileFileName(std::string_view applicationName) {
    std::string name;
    for (char c : applicationName) {
        bool keep = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
                    c == '-' || c == '_';
        name += keep ? c : '_';
    }
    if (name.empty() || name.find_first_not_of('.') == name.npos) name = "profile";
    return name + ".ini";
}

}  // namespace tk::common
