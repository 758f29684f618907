#include "tk/common/safe_save.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <vector>

namespace tk::common {
namespace {

constexpr int kMaxLinkHops = 40;
constexpr std::size_t kRandomPart = 6;  // the XXXXXX of mkstemp

std::string directoryOf(const std::string& path) {
    auto slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string baseNameOf(const std::string& path) {
    auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The file the symbolic links starting at `path` end at; it need not exist
// yet (a save through a dangling link creates the file the link names).
std::optional<std::string> followLinks(const std::string& path, std::string& why) {
    std::string current = path;
    for (int hop = 0; hop < kMaxLinkHops; ++hop) {
        struct stat info {};
        if (::lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return current;
        std::vector<char> buffer(static_cast<std::size_t>(info.st_size > 0 ? info.st_size : 255) + 1);
        ssize_t length = ::readlink(current.c_str(), buffer.data(), buffer.size());
        if (length < 0 || static_cast<std::size_t>(length) >= buffer.size()) {
            why = "cannot read the symbolic link " + current;
            return std::nullopt;
        }
        std::string next(buffer.data(), static_cast<std::size_t>(length));
        current = next.front() == '/' ? next : directoryOf(current) + "/" + next;
    }
    why = "too many levels of symbolic links";
    return std::nullopt;
}

const char* kindOf(mode_t mode) {
    if (S_ISDIR(mode)) return "a directory";
    if (S_ISCHR(mode)) return "a character device";
    if (S_ISBLK(mode)) return "a block device";
    if (S_ISFIFO(mode)) return "a FIFO";
    if (S_ISSOCK(mode)) return "a socket";
    return "not a regular file";
}

// Whether the user may write the file, as an editor decides it: the
// superuser passes every access check, so for it a file without any write
// permission bit counts as read-only.
bool userMayWrite(const std::string& file, const struct stat& info) {
    if (::geteuid() == 0) return (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0;
    return ::faccessat(AT_FDCWD, file.c_str(), W_OK, AT_EACCESS) == 0;
}

// The permission bits a new file gets. The process mask can only be read by
// setting it; the programs that save are single-threaded while they do.
mode_t newFileMode() {
    mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// Removes temporary files of earlier saves of the same file whose writer is
// gone: a writer holds a lock on its temporary file until the rename.
void removeLeftovers(const std::string& directory, const std::string& prefix, const std::string& own) {
    DIR* dir = ::opendir(directory.c_str());
    if (dir == nullptr) return;
    const int dirFd = ::dirfd(dir);
    while (const dirent* entry = ::readdir(dir)) {
        std::string_view name(entry->d_name);
        if (name.size() != prefix.size() + kRandomPart || name.substr(0, prefix.size()) != prefix || name == own)
            continue;
        int fd = ::openat(dirFd, entry->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) continue;
        struct stat info {};
        if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_uid == ::geteuid() &&
            ::flock(fd, LOCK_EX | LOCK_NB) == 0)
            ::unlinkat(dirFd, entry->d_name, 0);
        ::close(fd);
    }
    ::closedir(dir);
}

void syncDirectory(const std::string& directory) {
    int fd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);  // some file systems refuse this for directories; the rename is done either way
    ::close(fd);
}

}  // namespace

std::string temporaryPrefix(const std::string& target) { return "." + baseNameOf(target) + ".zan-save-"; }

SafeSave::~SafeSave() { abandon(); }

bool SafeSave::fail(std::string why) {
    reason_ = std::move(why);
    failed_ = true;
    abandon();
    return false;
}

bool SafeSave::failErrno(const std::string& what) { return fail(what + ": " + std::strerror(errno)); }

void SafeSave::abandon() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (!temporary_.empty()) {
        ::unlink(temporary_.c_str());
        temporary_.clear();
    }
}

bool SafeSave::begin(const std::string& path) {
    abandon();
    path_ = path;
    failed_ = false;
    reason_.clear();
    if (path.empty() || path.back() == '/') return fail("not a file name");
    std::string why;
    std::optional<std::string> target = followLinks(path, why);
    if (!target) return fail(why);
    target_ = *target;
    const std::string linkNote = target_ == path ? "" : " (the link's target " + target_ + ")";

    struct stat existing {};
    const bool exists = ::stat(target_.c_str(), &existing) == 0;
    if (!exists && errno != ENOENT) return failErrno("cannot inspect the file" + linkNote);
    if (exists && !S_ISREG(existing.st_mode))
        return fail(std::string("not a regular file but ") + kindOf(existing.st_mode) + linkNote +
                    "; it was left as it is");
    if (exists && !userMayWrite(target_, existing))
        return fail("the file is read-only for this user" + linkNote + "; it was left as it is");

    const std::string directory = directoryOf(target_);
    const std::string prefix = temporaryPrefix(target_);
    std::string pattern = directory + "/" + prefix + "XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    fd_ = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd_ < 0) return failErrno("cannot create a file in " + directory);
    temporary_ = name.data();
    ::flock(fd_, LOCK_EX | LOCK_NB);  // marks the temporary file as in use
    removeLeftovers(directory, prefix, baseNameOf(temporary_));

    if (exists) {
        struct stat fresh {};
        if (::fstat(fd_, &fresh) != 0) return failErrno("cannot inspect a new file in " + directory);
        if ((fresh.st_uid != existing.st_uid || fresh.st_gid != existing.st_gid) &&
            ::fchown(fd_, existing.st_uid, existing.st_gid) != 0)
            return fail("the file belongs to another user or group, which a new copy could not keep" + linkNote +
                        "; it was left as it is");
        if (::fchmod(fd_, existing.st_mode & 07777) != 0) return failErrno("cannot keep the file's permissions");
    } else if (::fchmod(fd_, newFileMode()) != 0) {
        return failErrno("cannot set the new file's permissions");
    }
    return true;
}

bool SafeSave::write(const void* data, std::size_t size) {
    if (failed_ || fd_ < 0) return false;
    const char* bytes = static_cast<const char*>(data);
    while (size > 0) {
        ssize_t written = ::write(fd_, bytes, size);
        if (written < 0) {
            if (errno == EINTR) continue;
            return failErrno("cannot write");
        }
        bytes += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

tk::SaveResult SafeSave::commit() {
    if (failed_ || fd_ < 0) {
        if (reason_.empty()) reason_ = "nothing to save";
        abandon();
        return tk::SaveResult::failure(message());
    }
    if (::fsync(fd_) != 0) {
        failErrno("cannot write");
        return tk::SaveResult::failure(message());
    }
    // The lock stays until the rename is done, so no other save takes the
    // temporary file for a leftover.
    if (::rename(temporary_.c_str(), target_.c_str()) != 0) {
        failErrno("cannot replace the file");
        return tk::SaveResult::failure(message());
    }
    temporary_.clear();
    ::close(fd_);  // the data are on disk already (fsync); a late close error changes nothing
    fd_ = -1;
    syncDirectory(directoryOf(target_));
    return tk::SaveResult::success();
}

tk::SaveResult saveFile(const std::string& path, std::string_view content) {
    SafeSave save;
    if (!save.begin(path) || !save.write(content)) return tk::SaveResult::failure(save.message());
    return save.commit();
}

}  // namespace tk::common
