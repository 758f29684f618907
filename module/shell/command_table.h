// The module's commands as registered with the host: the position of an
// entry is its function code.
#pragma once

#include <array>
#include <cstddef>

namespace zan {

using CommandHandler = int (*)();

struct CommandEntry {
    const char* name;  // as registered: "C:name" for commands, a bare name for functions
    CommandHandler handler;
};

inline constexpr std::size_t kCommandCount = 19;
const std::array<CommandEntry, kCommandCount>& commandTable();

}  // namespace zan
