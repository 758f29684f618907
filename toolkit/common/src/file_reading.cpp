#include "tk/common/file_reading.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace tk::common {

FileContent readFileBounded(const std::string& path, std::size_t limit) {
    FileContent result;
    // Non-blocking, so that opening a FIFO does not wait for a writer.
    int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT) {
            result.status = FileContent::Status::Missing;
        } else {
            result.error = path + ": cannot open: " + std::strerror(errno);
        }
        return result;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        result.error = path + ": not a regular file";
        ::close(fd);
        return result;
    }
    const std::size_t expected = static_cast<std::size_t>(info.st_size);
    result.bytes.resize((expected < limit ? expected : limit) + 1);
    std::size_t filled = 0;
    while (true) {
        if (filled == result.bytes.size()) {
            if (filled > limit) break;
            result.bytes.resize(std::min(limit + 1, filled * 2 + 1));  // the file grew while it was read
        }
        ssize_t got = ::read(fd, result.bytes.data() + filled, result.bytes.size() - filled);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            result.error = path + ": cannot read: " + std::strerror(errno);
            ::close(fd);
            return result;
        }
        if (got == 0) break;
        filled += static_cast<std::size_t>(got);
    }
    ::close(fd);
    result.truncated = filled > limit;
    result.bytes.resize(result.truncated ? limit : filled);
    result.status = FileContent::Status::Read;
    return result;
}

}  // namespace tk::common
