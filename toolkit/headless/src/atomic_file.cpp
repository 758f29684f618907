#include "tk/headless/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

namespace tk::headless {
namespace {

bool fail(std::string* error, const std::string& what) {
    if (error != nullptr) *error = what + ": " + std::strerror(errno);
    return false;
}

}  // namespace

bool writeFileAtomically(const std::string& path, std::string_view content, std::string* error) {
    std::string pattern = path + ".XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    int fd = ::mkstemp(name.data());
    if (fd < 0) return fail(error, "cannot create a temporary file beside " + path);
    std::string temporary(name.data());

    const char* data = content.data();
    std::size_t left = content.size();
    while (left > 0) {
        ssize_t written = ::write(fd, data, left);
        if (written < 0) {
            if (errno == EINTR) continue;
            int saved = errno;
            ::close(fd);
            ::unlink(temporary.c_str());
            errno = saved;
            return fail(error, "cannot write " + temporary);
        }
        data += written;
        left -= static_cast<std::size_t>(written);
    }
    if (::fsync(fd) != 0 || ::close(fd) != 0) {
        int saved = errno;
        ::unlink(temporary.c_str());
        errno = saved;
        return fail(error, "cannot flush " + temporary);
    }
    // mkstemp makes the file readable by its owner only; a profile or image
    // gets the usual permissions.
    ::chmod(temporary.c_str(), 0644);
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        int saved = errno;
        ::unlink(temporary.c_str());
        errno = saved;
        return fail(error, "cannot replace " + path);
    }
    return true;
}

}  // namespace tk::headless
