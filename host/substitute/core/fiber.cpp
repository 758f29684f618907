#include "core/fiber.h"

#include <cstdint>
#include <stdexcept>

// GCC tells of the address sanitizer with a macro, clang 14 only as a feature.
#if defined(__SANITIZE_ADDRESS__)
#define ZAN_ASAN_FIBERS 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ZAN_ASAN_FIBERS 1
#endif
#endif
#if ZAN_ASAN_FIBERS
#include <sanitizer/common_interface_defs.h>
#endif

namespace {

// The address sanitizer must be told of every switch between stacks, or it
// takes the other stack's frames for overflows when an exception unwinds.
void startSwitch(void** fakeStack, const void* bottom, std::size_t size) {
#if ZAN_ASAN_FIBERS
    __sanitizer_start_switch_fiber(fakeStack, bottom, size);
#else
    (void)fakeStack, (void)bottom, (void)size;
#endif
}

void finishSwitch(void* fakeStack, const void** oldBottom, std::size_t* oldSize) {
#if ZAN_ASAN_FIBERS
    __sanitizer_finish_switch_fiber(fakeStack, oldBottom, oldSize);
#else
    (void)fakeStack, (void)oldBottom, (void)oldSize;
#endif
}

}  // namespace

namespace host {

Fiber::Fiber(std::function<void()> body, std::size_t stackSize)
    : body_(std::move(body)), stack_(new char[stackSize]), stackSize_(stackSize) {
    if (getcontext(&context_) != 0) throw std::runtime_error("cannot create a command context");
    context_.uc_stack.ss_sp = stack_.get();
    context_.uc_stack.ss_size = stackSize;
    context_.uc_link = &caller_;
    auto self = reinterpret_cast<std::uintptr_t>(this);
    makecontext(&context_, reinterpret_cast<void (*)()>(&Fiber::trampoline), 2,
                static_cast<unsigned>(self & 0xffffffffu), static_cast<unsigned>(self >> 32));
}

Fiber::~Fiber() = default;

void Fiber::trampoline(unsigned low, unsigned high) {
    auto* self = reinterpret_cast<Fiber*>(static_cast<std::uintptr_t>(low) | (static_cast<std::uintptr_t>(high) << 32));
    finishSwitch(nullptr, &self->callerBottom_, &self->callerSize_);
    try {
        self->body_();
    } catch (...) {
        self->error_ = std::current_exception();
    }
    self->finished_ = true;
    self->running_ = false;
    // Returning switches to uc_link, the context of the last resume(); this
    // stack is not coming back.
    startSwitch(nullptr, self->callerBottom_, self->callerSize_);
}

void Fiber::resume() {
    if (finished_ || running_) return;
    running_ = true;
    void* callerFakeStack = nullptr;
    startSwitch(&callerFakeStack, stack_.get(), stackSize_);
    swapcontext(&caller_, &context_);
    finishSwitch(callerFakeStack, nullptr, nullptr);
    running_ = false;
    if (error_) {
        std::exception_ptr error = error_;
        error_ = nullptr;
        std::rethrow_exception(error);
    }
}

void Fiber::suspend() {
    running_ = false;
    startSwitch(&fakeStack_, callerBottom_, callerSize_);
    swapcontext(&context_, &caller_);
    finishSwitch(fakeStack_, &callerBottom_, &callerSize_);
    running_ = true;
}

}  // namespace host
