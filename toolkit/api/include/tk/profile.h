// The per-application profile: integers and texts by section and key, kept
// by the platform between sessions. Section and key names match without
// regard to the case of ASCII letters.
#pragma once

#include <string>
#include <string_view>

namespace tk {

class Profile {
public:
    virtual ~Profile() = default;

    // A stored integer: its leading digits (after optional blanks and sign),
    // 0 when it has none; `fallback` when the key is not stored.
    virtual int getInt(std::string_view section, std::string_view key, int fallback) = 0;
    // A stored text, or `fallback` when the key is not stored.
    virtual std::string getString(std::string_view section, std::string_view key, std::string_view fallback) = 0;

    // Store a value at once. False when it could not be stored (a name or
    // value the profile cannot hold, or a failed write); the values stored
    // before are then kept.
    virtual bool writeInt(std::string_view section, std::string_view key, int value) = 0;
    virtual bool writeString(std::string_view section, std::string_view key, std::string_view value) = 0;
};

}  // namespace tk
