// Saving a file so that a failure never destroys what was there before.
//
// The new content goes to a temporary file beside the target, named
// ".<name>.zan-save-XXXXXX", which is flushed to disk and then renamed over
// the target; the directory is flushed after the rename. Before anything is
// written the target is checked:
//   - a symbolic link is followed: its final target is replaced, the link stays;
//   - a path that exists but is not a regular file (device, FIFO, socket,
//     directory) is refused and never replaced;
//   - a file the user may not write is refused, also for the superuser when
//     the file has no write permission bit at all (as editors do);
//   - a replaced file keeps its owner, group and permission bits; when they
//     cannot be kept, the save is refused.
// Temporary files of saves that died (their writer no longer holds the lock
// on them) are removed by the next save of the same file.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "tk/file_save.h"

namespace tk::common {

class SafeSave {
public:
    SafeSave() = default;
    SafeSave(const SafeSave&) = delete;
    SafeSave& operator=(const SafeSave&) = delete;
    // Abandons an uncommitted save: the temporary file is removed.
    ~SafeSave();

    // Checks the target and creates the temporary file. False (see reason())
    // when the target must not or cannot be replaced.
    bool begin(const std::string& path);
    // Appends to the temporary file. False once any write has failed.
    bool write(const void* data, std::size_t size);
    bool write(std::string_view text) { return write(text.data(), text.size()); }
    // Flushes the temporary file, renames it over the target and flushes the
    // directory. Anything but success leaves the target as it was.
    tk::SaveResult commit();

    // Why the save failed, without the file's name ("not a regular file ...").
    const std::string& reason() const { return reason_; }
    // "<path>: <reason>".
    std::string message() const { return path_ + ": " + reason_; }
    // The file that is replaced (the path with its symbolic links followed).
    const std::string& target() const { return target_; }

private:
    bool fail(std::string why);
    bool failErrno(const std::string& what);
    void abandon();

    std::string path_;
    std::string target_;
    std::string temporary_;
    std::string reason_;
    int fd_ = -1;
    bool failed_ = false;
};

// Saves `content` to `path` in one go.
tk::SaveResult saveFile(const std::string& path, std::string_view content);

// The file name prefix and marker of this program's temporary save files
// for `target` (".<name>.zan-save-").
std::string temporaryPrefix(const std::string& target);

}  // namespace tk::common
