// The per-application profile as an INI file: "[section]" lines and
// "key=value" lines below them. Comments, lines this reader does not
// understand and every line's own line end (LF, CR LF, or CRs before the LF)
// are kept as they are when the file is rewritten.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tk/profile.h"

namespace tk::common {

// Limits of what is read and written.
inline constexpr std::size_t kMaxIniLineLength = 4096;     // longer lines are kept but never matched
inline constexpr std::size_t kMaxIniFileSize = 1u << 20;   // a larger file is read in part and never rewritten

// The text of an INI file, parsed line by line.
class IniDocument {
public:
    static IniDocument parse(std::string_view text);
    std::string serialize() const;

    // The value of the first entry `key` of the first section `section`
    // (names compared without regard to ASCII case). One pair of double
    // quotes around a value is removed.
    std::optional<std::string> get(std::string_view section, std::string_view key) const;
    // Replaces or adds the entry. False for names or values a line cannot
    // hold (line breaks, "]" in a section name, "=" in a key, too long).
    bool set(std::string_view section, std::string_view key, std::string_view value);

private:
    enum class Kind { Other, Section, Entry };
    struct Line {
        Kind kind = Kind::Other;
        std::string raw;     // without its line end
        std::string ending;  // the CRs and LF that ended it; empty on a last line without one
        std::string name;   // section name or key
        std::string value;  // entry value, quotes removed
    };
    static Line parseLine(std::string_view raw, std::string ending);
    // The line end for a line added after line `index`: LF, or CR LF when
    // that line ends so.
    std::string lineEndingLike(std::size_t index) const;
    // Index of the first section line named `section`, or lines_.size().
    std::size_t findSection(std::string_view section) const;

    std::vector<Line> lines_;
};

// A profile kept in one INI file; every write rewrites the file atomically.
class IniProfile final : public tk::Profile {
public:
    explicit IniProfile(std::string path) : path_(std::move(path)) {}
    const std::string& path() const { return path_; }

    int getInt(std::string_view section, std::string_view key, int fallback) override;
    std::string getString(std::string_view section, std::string_view key, std::string_view fallback) override;
    bool writeInt(std::string_view section, std::string_view key, int value) override;
    bool writeString(std::string_view section, std::string_view key, std::string_view value) override;

    // Why the last write failed.
    const std::string& lastError() const { return lastError_; }

private:
    // The file's document; `complete` is false when the file was too large
    // or could not be read (a missing file reads as empty and complete).
    IniDocument load(bool& complete) const;

    std::string path_;
    std::string lastError_;
};

// The leading-digit value of a profile text: blanks, an optional sign, then
// digits (none: 0); clamped to the int range.
int profileInteger(std::string_view text);

// Where profiles live: $ZAN_PROFILE_DIR when set, else
// $XDG_CONFIG_HOME/<folder>, else ~/.config/<folder>.
std::string defaultProfileDirectory(std::string_view folder);
// The file name of an application's profile: its name with every byte other
// than letters, digits, '.', '-' and '_' made '_', plus ".ini".
std::string profileFileName(std::string_view applicationName);

}  // namespace tk::common
