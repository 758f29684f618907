#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "temporary_directory.h"
#include "tk/common/ini_profile.h"

using tk::common::IniDocument;
using tk::common::IniProfile;

namespace {

std::size_t filesIn(const std::string& directory) {
    std::size_t n = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(directory)) ++n;
    return n;
}

}  // namespace

TEST(IniProfile, RoundTripsIntegersAndTextsBySectionAndKey) {
    TemporaryDirectory dir;
    IniProfile profile(dir / "sub/app.ini");
    EXPECT_EQ(profile.getInt("LevelTemplate", "WindowLeft", 100), 100);
    EXPECT_EQ(profile.getString("SymbolTemplate-a.Zsb", "Layername", "none"), "none");

    ASSERT_TRUE(profile.writeInt("LevelTemplate", "WindowLeft", -250));
    ASSERT_TRUE(profile.writeInt("LevelTemplate", "WindowTop", 40));
    ASSERT_TRUE(profile.writeString("SymbolTemplate-a.Zsb", "Layername", "WALL"));
    ASSERT_TRUE(profile.writeInt("LevelTemplate", "WindowLeft", 7));  // replaces

    IniProfile again(dir / "sub/app.ini");
    EXPECT_EQ(again.getInt("LevelTemplate", "WindowLeft", 0), 7);
    EXPECT_EQ(again.getInt("leveltemplate", "WINDOWTOP", 0), 40);  // names ignore case
    EXPECT_EQ(again.getString("SymbolTemplate-a.Zsb", "Layername", ""), "WALL");
    EXPECT_EQ(readFile(dir / "sub/app.ini"),
              "[LevelTemplate]\nWindowLeft=7\nWindowTop=40\n\n[SymbolTemplate-a.Zsb]\nLayername=WALL\n");
}

TEST(IniProfile, KeepsBlanksEmptyValuesAndQuotesOfTexts) {
    TemporaryDirectory dir;
    IniProfile profile(dir / "app.ini");
    for (std::string value : {"  padded  ", "", "\"quoted\"", "a=b;c", "Ünïcode ✓"}) {
        ASSERT_TRUE(profile.writeString("S", "K", value));
        EXPECT_EQ(profile.getString("S", "K", "fallback"), value);
    }
}

TEST(IniProfile, RefusesWhatALineCannotHoldAndKeepsTheFile) {
    TemporaryDirectory dir;
    IniProfile profile(dir / "app.ini");
    ASSERT_TRUE(profile.writeString("S", "K", "kept"));
    const std::string before = readFile(dir / "app.ini");
    EXPECT_FALSE(profile.writeString("S", "K", "two\nlines"));
    EXPECT_FALSE(profile.writeString("S]", "K", "x"));
    EXPECT_FALSE(profile.writeString("S", "a=b", "x"));
    EXPECT_FALSE(profile.writeString("", "K", "x"));
    EXPECT_FALSE(profile.writeString("S", "K", std::string(5000, 'x')));
    EXPECT_EQ(readFile(dir / "app.ini"), before);
}

TEST(IniProfile, ReadsIntegersByTheirLeadingDigits) {
    EXPECT_EQ(tk::common::profileInteger("  -12abc"), -12);
    EXPECT_EQ(tk::common::profileInteger("+7"), 7);
    EXPECT_EQ(tk::common::profileInteger("abc"), 0);
    EXPECT_EQ(tk::common::profileInteger(""), 0);
    EXPECT_EQ(tk::common::profileInteger("99999999999999999999"), 2147483647);
    EXPECT_EQ(tk::common::profileInteger("-99999999999999999999"), -2147483647 - 1);
}

TEST(IniDocument, KeepsCommentsForeignAndOverlongLinesWhenRewritten) {
    const std::string longLine = "Long=" + std::string(tk::common::kMaxIniLineLength + 10, 'v');
    const std::string text = "; comment\r\n[A]\n" + longLine + "\nnot an entry\nKey = value \n\n[B]\nKey=other\n";
    IniDocument doc = IniDocument::parse(text);
    EXPECT_FALSE(doc.get("A", "Long").has_value());  // too long to be matched
    EXPECT_EQ(doc.get("A", "key"), "value");
    EXPECT_EQ(doc.get("B", "Key"), "other");
    EXPECT_FALSE(doc.get("C", "Key").has_value());
    ASSERT_TRUE(doc.set("A", "New", "1"));
    EXPECT_EQ(doc.serialize(),
              "; comment\r\n[A]\n" + longLine + "\nnot an entry\nKey = value \nNew=1\n\n[B]\nKey=other\n");
}

// Each line keeps its own line end, however many CRs it has, so rewriting
// the file changes neither the other lines nor the values read.
TEST(IniProfile, LineEndsSurviveEveryRewrite) {
    TemporaryDirectory dir;
    const std::string path = dir / "app.ini";
    const std::string original = "[S]\r\nA=1\r\r\nB=two\r\r\r\n[T]\nC=3\r";
    writeFile(path, original);
    IniProfile profile(path);
    EXPECT_EQ(profile.getString("S", "A", "-"), "1");
    EXPECT_EQ(profile.getString("S", "B", "-"), "two");
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(profile.writeInt("T", "D", i));
    EXPECT_EQ(readFile(path), "[S]\r\nA=1\r\r\nB=two\r\r\r\n[T]\nC=3\r\nD=2\n");
    EXPECT_EQ(profile.getString("S", "A", "-"), "1");
    EXPECT_EQ(profile.getInt("T", "C", -1), 3);
    ASSERT_TRUE(profile.writeString("S", "A", "x"));
    EXPECT_EQ(readFile(path), "[S]\r\nA=x\r\r\nB=two\r\r\r\n[T]\nC=3\r\nD=2\n");
}

// A FIFO or directory where the profile should be is neither waited on nor
// replaced: reading gives the fallbacks, writing fails and leaves it.
TEST(IniProfile, AProfileThatIsNotAFileIsLeftAlone) {
    TemporaryDirectory dir;
    const std::string path = dir / "app.ini";
    ASSERT_EQ(::mkfifo(path.c_str(), 0644), 0);
    IniProfile profile(path);
    EXPECT_EQ(profile.getInt("S", "K", 7), 7);
    EXPECT_FALSE(profile.writeInt("S", "K", 1));
    EXPECT_NE(profile.lastError().find(path), std::string::npos) << profile.lastError();
    struct stat info {};
    ::stat(path.c_str(), &info);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));
}

TEST(IniDocument, SurvivesBinaryJunk) {
    std::string junk;
    for (int i = 0; i < 4096; ++i) junk += static_cast<char>((i * 7919) & 0xFF);
    IniDocument doc = IniDocument::parse(junk + "\n[S]\nK=v\n");
    EXPECT_EQ(doc.get("S", "K"), "v");
}

TEST(IniProfile, AnOversizedFileIsReadInPartAndNeverRewritten) {
    TemporaryDirectory dir;
    const std::string path = dir / "big.ini";
    std::string content = "[S]\nK=1\n";
    while (content.size() <= tk::common::kMaxIniFileSize) content += "; padding padding padding padding\n";
    writeFile(path, content);
    IniProfile profile(path);
    EXPECT_EQ(profile.getInt("S", "K", 0), 1);
    EXPECT_FALSE(profile.writeInt("S", "K", 2));
    EXPECT_EQ(readFile(path), content);
}

// A write that fails half-way (the file-size limit stops it) leaves the
// previous file whole and no temporary file behind.
TEST(IniProfile, AFailedWriteLeavesThePreviousFile) {
    TemporaryDirectory dir;
    const std::string path = dir / "app.ini";
    IniProfile profile(path);
    ASSERT_TRUE(profile.writeString("S", "K", "previous"));
    const std::string before = readFile(path);

    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{64, 64};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        IniProfile inChild(path);
        std::_Exit(inChild.writeString("S", "K", std::string(3000, 'n')) ? 1 : 0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the write should have failed";
    EXPECT_EQ(readFile(path), before);
    EXPECT_EQ(filesIn(dir.path()), 1u);
}

TEST(ProfileLocation, FollowsTheEnvironmentAndTheSetter) {
    ::setenv("ZAN_PROFILE_DIR", "/tmp/zan-profiles", 1);
    EXPECT_EQ(tk::common::defaultProfileDirectory("zan"), "/tmp/zan-profiles");
    ::unsetenv("ZAN_PROFILE_DIR");
    ::setenv("XDG_CONFIG_HOME", "/home/u/cfg", 1);
    EXPECT_EQ(tk::common::defaultProfileDirectory("zan"), "/home/u/cfg/zan");
    ::setenv("XDG_CONFIG_HOME", "relative", 1);  // not absolute: ignored
    ::setenv("HOME", "/home/u", 1);
    EXPECT_EQ(tk::common::defaultProfileDirectory("zan"), "/home/u/.config/zan");
    ::unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(tk::common::profileFileName("TUV Windows Application"), "TUV_Windows_Application.ini");
    EXPECT_EQ(tk::common::profileFileName("../.."), ".._...ini");
    EXPECT_EQ(tk::common::profileFileName(".."), "profile.ini");
}
