// Runs a script in a session of the host with the module loaded (or not)
// and keeps the transcript for the test to read.
#pragma once

#include <memory>
#include <string>

#include "session/session.h"

namespace zan::test {

class SessionHarness {
public:
    // A new drawing; `withModule` loads the built module.
    explicit SessionHarness(bool withModule = true, bool trace = false);
    ~SessionHarness();

    // Runs the lines (separated by "\n") and returns the exit status of the run.
    int run(const std::string& script);
    // Everything shown so far; clearTranscript() forgets it.
    const std::string& transcript() const { return transcript_; }
    void clearTranscript() { transcript_.clear(); }
    std::size_t count(const std::string& text) const;

    app::Session& session() { return *session_; }
    host::Host& host() { return session_->host(); }
    host::Database& db() { return session_->host().db(); }
    const std::string& profileDirectory() const { return profileDirectory_; }

private:
    std::string transcript_;
    std::string profileDirectory_;
    std::unique_ptr<app::Session> session_;
};

// A fresh empty directory under the test temporary directory.
std::string makeTempDirectory(const std::string& stem);

}  // namespace zan::test
