// Reading a whole file with an upper bound on what is read. Only regular
// files are read: a FIFO or a device named where a file is expected would
// otherwise block the program or feed it without end.
#pragma once

#include <cstddef>
#include <string>

namespace tk::common {

struct FileContent {
    enum class Status { Read, Missing, Failed };
    Status status = Status::Failed;
    std::string bytes;       // at most the limit
    bool truncated = false;  // the file holds more than the limit
    std::string error;       // Failed: names the file and says why
};

FileContent readFileBounded(const std::string& path, std::size_t limit);

}  // namespace tk::common
