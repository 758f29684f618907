// The zan program at a terminal: a pseudo-terminal stands for the user's,
// so zan sees an interactive standard input as a drafter's shell gives it.
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

class Terminal {
public:
    // Starts zan in `directory` with `arguments` on a new pseudo-terminal.
    Terminal(const fs::path& directory, std::vector<std::string> arguments) {
        const std::string profile = (directory / "profile").string();
        arguments.insert(arguments.begin(), {ZAN_BINARY, "--profile-dir", profile});
        pid_ = forkpty(&fd_, nullptr, nullptr, nullptr);
        if (pid_ == 0) {
            std::vector<char*> argv;
            for (std::string& a : arguments) argv.push_back(a.data());
            argv.push_back(nullptr);
            if (chdir(directory.c_str()) == 0) execv(argv[0], argv.data());
            _exit(127);
        }
    }
    ~Terminal() {
        if (pid_ > 0 && !exited_) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        if (fd_ >= 0) close(fd_);
    }
    bool started() const { return pid_ > 0; }

    // Reads until `text` appears after what earlier waits consumed; false
    // after ten seconds without it.
    bool waitFor(const std::string& text) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (true) {
            if (std::size_t at = shown_.find(text, consumed_); at != std::string::npos) {
                consumed_ = at + text.size();
                return true;
            }
            auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
            if (left.count() <= 0 || !readSome(static_cast<int>(left.count()))) return false;
        }
    }
    void type(const std::string& text) { ASSERT_EQ(write(fd_, text.data(), text.size()), static_cast<ssize_t>(text.size())); }
    // Ctrl-D at the start of a line: the end of input.
    void endOfInput() { type("\x04"); }

    // The exit status once zan ends (reading what it still shows), or -1.
    int exitStatus() {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (std::chrono::steady_clock::now() < end) {
            int status = 0;
            if (waitpid(pid_, &status, WNOHANG) == pid_) {
                exited_ = true;
                while (readSome(100)) {
                }
                return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            }
            readSome(50);
        }
        return -1;
    }
    const std::string& shown() const { return shown_; }

private:
    bool readSome(int milliseconds) {
        pollfd p{fd_, POLLIN, 0};
        if (poll(&p, 1, milliseconds) <= 0) return false;
        char buffer[4096];
        ssize_t n = read(fd_, buffer, sizeof buffer);
        if (n <= 0) return false;
        shown_.append(buffer, static_cast<std::size_t>(n));
        return true;
    }
    pid_t pid_ = -1;
    int fd_ = -1;
    bool exited_ = false;
    std::string shown_;
    std::size_t consumed_ = 0;
};

fs::path freshDirectory(const std::string& stem) {
    fs::path dir = fs::temp_directory_path() / (stem + "-" + std::to_string(getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}

}  // namespace

// An answer that does not fit the message box is refused with the reason and
// asked for again; the session goes on.
TEST(ZanTerminal, ARefusedAnswerIsAskedForAgain) {
    fs::path dir = freshDirectory("zan-terminal-answer");
    const std::string out = (dir / "out.dxf").string();
    Terminal t(ZAN_SOURCE_DIR, {"--save-as", out});
    ASSERT_TRUE(t.started());
    ASSERT_TRUE(t.waitFor("Command: ")) << t.shown();
    t.type("levelbar\n");
    ASSERT_TRUE(t.waitFor("Command: ")) << t.shown();
    t.type("clearlev\n");
    ASSERT_TRUE(t.waitFor("ui> ")) << t.shown();
    t.type("yes\n");
    ASSERT_TRUE(t.waitFor("Refused: \"@yes\" does not answer the message box")) << t.shown();
    ASSERT_TRUE(t.waitFor("(buttons: OK). Answer again.")) << t.shown();
    ASSERT_TRUE(t.waitFor("ui> ")) << t.shown();
    t.type("\n");
    ASSERT_TRUE(t.waitFor("Refused: ")) << t.shown();
    ASSERT_TRUE(t.waitFor("ui> ")) << t.shown();
    t.type("ok\n");
    ASSERT_TRUE(t.waitFor("[message box] -> OK")) << t.shown();
    ASSERT_TRUE(t.waitFor("Command: ")) << t.shown();
    t.type("QUIT\n");
    EXPECT_EQ(t.exitStatus(), 0) << t.shown();
    EXPECT_NE(t.shown().find("Saved " + out + "."), std::string::npos) << t.shown();
    fs::remove_all(dir);
}

// QUIT with changes asks; a wrong answer asks again, Cancel goes back to
// the command line, No ends the session.
TEST(ZanTerminal, OpenAsksBeforeChangesAreLost) {
    fs::path dir = freshDirectory("zan-terminal-open");
    Terminal t(dir, {"--new"});
    ASSERT_TRUE(t.waitFor("Command: ")) << t.shown();
    t.type("LAYER M CHANGED\n\n");
    ASSERT_TRUE(t.waitFor("Command: ")) << t.shown();
    const std::string open = "OPEN\n" ZAN_SOURCE_DIR "/samples/demo/demo.dxf\n";
    t.type(open);
    ASSERT_TRUE(t.waitFor("Save changes to Drawing1.dwg? [Yes/No/Cancel] <Yes>: ")) << t.shown();
    t.type("c\n");
    ASSERT_TRUE(t.waitFor("Command: ")) << t.shown();
    t.type(open);
    ASSERT_TRUE(t.waitFor("<Yes>: ")) << t.shown();
    t.type("y\n");
    ASSERT_TRUE(t.waitFor("Save drawing as: ")) << t.shown();
    t.type("first\n");
    ASSERT_TRUE(t.waitFor("Opened ")) << t.shown();
    ASSERT_TRUE(t.waitFor("Command: ")) << t.shown();
    t.type("QUIT\n");
    EXPECT_EQ(t.exitStatus(), 0) << t.shown();
    EXPECT_TRUE(fs::exists(dir / "first.dxf"));
    // Cancel opened nothing: one drawing opened, after the save.
    const std::string shown = t.shown();
    EXPECT_EQ(shown.find("Opened "), shown.rfind("Opened ")) << shown;
    EXPECT_LT(shown.find("Saved first.dxf."), shown.find("Opened ")) << shown;
    fs::remove_all(dir);
}

TEST(ZanTerminal, QuitAsksBeforeChangesAreLost) {
    fs::path dir = freshDirectory("zan-terminal-quit");
    Terminal t(dir, {"--new"});
    ASSERT_TRUE(t.waitFor("Command: ")) << t.shown();
    t.type("LAYER M CHANGED\n\n");
    ASSERT_TRUE(t.waitFor("Command: ")) << t.shown();
    t.type("QUIT\n");
    ASSERT_TRUE(t.waitFor("Save changes to Drawing1.dwg? [Yes/No/Cancel] <Yes>: ")) << t.shown();
    t.type("maybe\n");
    ASSERT_TRUE(t.waitFor("Invalid option keyword.")) << t.shown();
    ASSERT_TRUE(t.waitFor("<Yes>: ")) << t.shown();
    t.type("c\n");
    ASSERT_TRUE(t.waitFor("Command: ")) << t.shown();
    t.type("QUIT\n");
    ASSERT_TRUE(t.waitFor("<Yes>: ")) << t.shown();
    t.type("n\n");
    EXPECT_EQ(t.exitStatus(), 0) << t.shown();
    for (const auto& entry : fs::directory_iterator(dir))
        EXPECT_NE(entry.path().extension(), ".dxf") << entry.path();  // No: nothing written
    fs::remove_all(dir);
}

// Ctrl-D with changes asks as QUIT does: Yes saves a new drawing under the
// name the user gives; a second Ctrl-D keeps the changes in a recovery file.
TEST(ZanTerminal, EndOfInputAsksAndLosesNothing) {
    fs::path dir = freshDirectory("zan-terminal-eof");
    {
        Terminal t(dir, {"--new"});
        ASSERT_TRUE(t.waitFor("Command: ")) << t.shown();
        t.type("LAYER M FIRST\n\n");
        ASSERT_TRUE(t.waitFor("Command: ")) << t.shown();
        t.endOfInput();
        ASSERT_TRUE(t.waitFor("Save changes to Drawing1.dwg?")) << t.shown();
        t.type("yes\n");
        ASSERT_TRUE(t.waitFor("Save drawing as: ")) << t.shown();
        t.type("named\n");
        EXPECT_EQ(t.exitStatus(), 0) << t.shown();
        EXPECT_NE(t.shown().find("Saved named.dxf."), std::string::npos) << t.shown();
        EXPECT_TRUE(fs::exists(dir / "named.dxf"));
    }
    {
        Terminal t(dir, {"--new"});
        ASSERT_TRUE(t.waitFor("Command: ")) << t.shown();
        t.type("LAYER M SECOND\n\n");
        ASSERT_TRUE(t.waitFor("Command: ")) << t.shown();
        t.endOfInput();
        ASSERT_TRUE(t.waitFor("<Yes>: ")) << t.shown();
        t.endOfInput();
        EXPECT_EQ(t.exitStatus(), 0) << t.shown();
        EXPECT_NE(t.shown().find("Saved Drawing1.recovered.dxf."), std::string::npos) << t.shown();
        EXPECT_TRUE(fs::exists(dir / "Drawing1.recovered.dxf"));
    }
    fs::remove_all(dir);
}
