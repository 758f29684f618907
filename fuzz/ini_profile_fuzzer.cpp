// The INI profile reader on arbitrary text: parsing and writing back must
// be stable (a rewrite of a rewrite changes nothing), and a value set must
// read back.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "tk/common/ini_profile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    tk::common::IniDocument doc = tk::common::IniDocument::parse(text);
    const std::string once = doc.serialize();
    tk::common::IniDocument again = tk::common::IniDocument::parse(once);
    if (again.serialize() != once) std::abort();
    if (again.set("Fuzz Section", "Key", "  value ")) {
        auto value = tk::common::IniDocument::parse(again.serialize()).get("fuzz section", "KEY");
        if (!value || *value != "  value ") std::abort();
    }
    return 0;
}
