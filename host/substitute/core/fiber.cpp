#include "core/fiber.h"

#include <cstdint>
#include <stdexcept>

namespace host {

Fiber::Fiber(std::function<void()> body, std::size_t stackSize)
    : body_(std::move(body)), stack_(new char[stackSize]) {
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
    try {
        self->body_();
    } catch (...) {
        self->error_ = std::current_exception();
    }
    self->finished_ = true;
    self->running_ = false;
    // Returning switches to uc_link, the context of the last resume().
}

void Fiber::resume() {
    if (finished_ || running_) return;
    started_ = true;
    running_ = true;
    swapcontext(&caller_, &context_);
    running_ = false;
    if (error_) {
        std::exception_ptr error = error_;
        error_ = nullptr;
        std::rethrow_exception(error);
    }
}

void Fiber::suspend() {
    running_ = false;
    swapcontext(&context_, &caller_);
    running_ = true;
}

}  // namespace host
