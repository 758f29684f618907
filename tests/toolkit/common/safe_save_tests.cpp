// The safe save: what it replaces, what it refuses, what it leaves behind.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "temporary_directory.h"
#include "tk/common/safe_save.h"

using tk::common::SafeSave;
using tk::common::saveFile;

namespace {

std::vector<std::string> namesIn(const std::string& directory) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(directory)) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

mode_t modeOf(const std::string& path) {
    struct stat info {};
    ::lstat(path.c_str(), &info);
    return info.st_mode;
}

// A refusal names the file, says why in one line, and leaves the path alone.
void expectRefused(const tk::SaveResult& result, const std::string& path, const std::string& why) {
    EXPECT_FALSE(result);
    EXPECT_EQ(result.message.rfind(path + ": ", 0), 0u) << result.message;
    EXPECT_NE(result.message.find(why), std::string::npos) << result.message;
    EXPECT_EQ(result.message.find('\n'), std::string::npos) << result.message;
}

TEST(SafeSave, ReplacesTheContentKeepingTheModeAndLeavesNothingElse) {
    TemporaryDirectory dir;
    const std::string path = dir / "drawing.dxf";
    writeFile(path, "old");
    ::chmod(path.c_str(), 0640);
    ASSERT_TRUE(saveFile(path, "new content"));
    EXPECT_EQ(readFile(path), "new content");
    EXPECT_EQ(modeOf(path) & 07777, 0640u);
    EXPECT_EQ(namesIn(dir.path()), std::vector<std::string>{"drawing.dxf"});

    // A new file gets the usual permissions, not a temporary file's private ones.
    mode_t mask = ::umask(022);
    ASSERT_TRUE(saveFile(dir / "new.Zly", ""));
    ::umask(mask);
    EXPECT_EQ(modeOf(dir / "new.Zly") & 07777, 0644u);
    EXPECT_EQ(readFile(dir / "new.Zly"), "");
}

TEST(SafeSave, WritesThroughSymbolicLinksAndKeepsThem) {
    TemporaryDirectory dir;
    ::mkdir((dir / "kit").c_str(), 0755);
    writeFile(dir / "kit/demo.Zly", "old");
    ASSERT_EQ(::symlink("kit/demo.Zly", (dir / "link.Zly").c_str()), 0);
    ASSERT_EQ(::symlink("link.Zly", (dir / "chain.Zly").c_str()), 0);
    ASSERT_TRUE(saveFile(dir / "chain.Zly", "new"));
    EXPECT_TRUE(S_ISLNK(modeOf(dir / "chain.Zly")));
    EXPECT_TRUE(S_ISLNK(modeOf(dir / "link.Zly")));
    EXPECT_EQ(readFile(dir / "kit/demo.Zly"), "new");
    EXPECT_EQ(namesIn(dir / "kit"), std::vector<std::string>{"demo.Zly"});

    // A link to a file not there yet creates that file.
    ASSERT_EQ(::symlink("kit/later.dxf", (dir / "dangling.dxf").c_str()), 0);
    ASSERT_TRUE(saveFile(dir / "dangling.dxf", "x"));
    EXPECT_EQ(readFile(dir / "kit/later.dxf"), "x");
    EXPECT_TRUE(S_ISLNK(modeOf(dir / "dangling.dxf")));

    ASSERT_EQ(::symlink("loop", (dir / "loop").c_str()), 0);
    expectRefused(saveFile(dir / "loop", "x"), dir / "loop", "symbolic links");
}

TEST(SafeSave, RefusesWhatIsNotARegularFileAndLeavesItAsItIs) {
    TemporaryDirectory dir;
    ::mkdir((dir / "folder").c_str(), 0755);
    expectRefused(saveFile(dir / "folder", "x"), dir / "folder", "a directory");
    EXPECT_TRUE(S_ISDIR(modeOf(dir / "folder")));

    ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0644), 0);
    expectRefused(saveFile(dir / "pipe", "x"), dir / "pipe", "a FIFO");
    EXPECT_TRUE(S_ISFIFO(modeOf(dir / "pipe")));

    // Through a link, the refusal names the link's target too.
    ASSERT_EQ(::symlink("pipe", (dir / "to-pipe").c_str()), 0);
    expectRefused(saveFile(dir / "to-pipe", "x"), dir / "to-pipe", "pipe");
    expectRefused(saveFile(dir / "none/", "x"), dir / "none/", "not a file name");
    EXPECT_EQ(namesIn(dir.path()), (std::vector<std::string>{"folder", "pipe", "to-pipe"}));
}

TEST(SafeSave, RefusesAReadOnlyFileEvenForTheSuperuser) {
    TemporaryDirectory dir;
    const std::string path = dir / "frozen.dxf";
    writeFile(path, "keep");
    ::chmod(path.c_str(), 0444);
    expectRefused(saveFile(path, "x"), path, "read-only");
    EXPECT_EQ(readFile(path), "keep");
    EXPECT_EQ(modeOf(path) & 07777, 0444u);
}

TEST(SafeSave, KeepsTheOwnerAndGroupOfAReplacedFile) {
    if (::geteuid() != 0) GTEST_SKIP() << "giving a file to another user needs the superuser";
    TemporaryDirectory dir;
    const std::string path = dir / "theirs.dxf";
    writeFile(path, "old");
    ASSERT_EQ(::chown(path.c_str(), 4321, 8765), 0);
    ASSERT_TRUE(saveFile(path, "new"));
    struct stat info {};
    ::stat(path.c_str(), &info);
    EXPECT_EQ(info.st_uid, 4321u);
    EXPECT_EQ(info.st_gid, 8765u);
}

TEST(SafeSave, AnAbandonedOrFailedSaveLeavesThePreviousFile) {
    TemporaryDirectory dir;
    const std::string path = dir / "drawing.dxf";
    writeFile(path, "previous");
    {
        SafeSave save;
        ASSERT_TRUE(save.begin(path));
        ASSERT_TRUE(save.write("half of the new"));
        EXPECT_EQ(namesIn(dir.path()).size(), 2u);  // the temporary file beside it
    }  // never committed
    EXPECT_EQ(readFile(path), "previous");
    EXPECT_EQ(namesIn(dir.path()), std::vector<std::string>{"drawing.dxf"});

    // The target became a directory after the check: the rename fails, and
    // the temporary file goes.
    SafeSave save;
    ASSERT_TRUE(save.begin(dir / "late"));
    ::mkdir((dir / "late").c_str(), 0755);
    writeFile(dir / "late/inside", "");
    ASSERT_TRUE(save.write("x"));
    EXPECT_FALSE(save.commit());
    EXPECT_NE(save.message().find("cannot replace"), std::string::npos) << save.message();
    EXPECT_EQ(namesIn(dir.path()), (std::vector<std::string>{"drawing.dxf", "late"}));
}

TEST(SafeSave, RemovesItsOwnLeftoversButNotThoseStillBeingWritten) {
    TemporaryDirectory dir;
    const std::string path = dir / "demo.Zly";
    const std::string dead = dir / ".demo.Zly.zan-save-Ab12Cd";
    const std::string busy = dir / ".demo.Zly.zan-save-Ef34Gh";
    const std::string foreign = dir / ".demo.Zly.zan-save-notours";
    writeFile(dead, "left by a save that was killed");
    writeFile(busy, "another save writing now");
    writeFile(foreign, "");
    int held = ::open(busy.c_str(), O_RDONLY);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);
    ASSERT_TRUE(saveFile(path, "new"));
    ::close(held);
    EXPECT_EQ(namesIn(dir.path()),
              (std::vector<std::string>{".demo.Zly.zan-save-Ef34Gh", ".demo.Zly.zan-save-notours", "demo.Zly"}));
}

}  // namespace
