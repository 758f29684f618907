// A body of code with its own stack that can be suspended and resumed.
// Host commands run on fibers: a command sent by an application through
// ads_command may need more input than it was given, and then waits, with
// its state on its own stack, for the next ads_command call (or the user).
#pragma once

#include <exception>
#include <functional>
#include <memory>
#include <ucontext.h>

namespace host {

class Fiber {
public:
    explicit Fiber(std::function<void()> body, std::size_t stackSize = 1 << 20);
    ~Fiber();
    Fiber(const Fiber&) = delete;
    Fiber& operator=(const Fiber&) = delete;

    // Runs the body until it suspends or ends; rethrows what the body threw.
    void resume();
    // Called from inside the body: returns control to resume()'s caller.
    void suspend();
    bool finished() const { return finished_; }

private:
    static void trampoline(unsigned low, unsigned high);
    std::function<void()> body_;
    std::unique_ptr<char[]> stack_;
    std::size_t stackSize_;
    // The address sanitizer's view of the stacks being switched between.
    void* fakeStack_ = nullptr;
    const void* callerBottom_ = nullptr;
    std::size_t callerSize_ = 0;
    ucontext_t context_{};
    ucontext_t caller_{};
    bool finished_ = false;
    bool running_ = false;
    std::exception_ptr error_;
};

}  // namespace host
