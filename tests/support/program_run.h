// Runs a program as a user's shell does and keeps what it printed and its
// exit status, for tests of the zan program.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace zan::test {

struct ProgramRun {
    int status = -1;     // the exit status; -1 when it did not exit (a signal) or could not start
    std::string output;  // standard output with standard error
};

// Runs `command` (a shell command line, quoted by the caller) in
// `directory`. Standard input is `input` when given (through a temporary
// file), otherwise /dev/null.
ProgramRun runProgram(const std::filesystem::path& directory, const std::string& command,
                      const std::optional<std::string>& input = std::nullopt);

// A file's whole content ("" when it cannot be read).
std::string readFile(const std::filesystem::path& path);

// `text` quoted for the shell.
std::string shellQuoted(const std::string& text);

}  // namespace zan::test
