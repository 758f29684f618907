#include "support/program_run.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

namespace zan::test {

ProgramRun runProgram(const std::filesystem::path& directory, const std::string& command,
                      const std::optional<std::string>& input) {
    ProgramRun run;
    std::string inputFile = "/dev/null";
    if (input) {
        char name[] = "/tmp/zan-test-input-XXXXXX";
        const int fd = mkstemp(name);
        if (fd < 0) return run;
        close(fd);
        inputFile = name;
        std::ofstream(inputFile, std::ios::binary) << *input;
    }
    const std::string line =
        "cd " + shellQuoted(directory.string()) + " && " + command + " < " + shellQuoted(inputFile) + " 2>&1";
    if (FILE* pipe = popen(line.c_str(), "r")) {
        char buffer[4096];
        std::size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) run.output.append(buffer, n);
        const int raw = pclose(pipe);
        run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    }
    if (input) std::remove(inputFile.c_str());
    return run;
}

std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string shellQuoted(const std::string& text) {
    std::string out = "'";
    for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

}  // namespace zan::test
