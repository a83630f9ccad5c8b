// Runs a piece of a test on a thread whose stack is small and of a known size.
//
// The main thread's stack is megabytes, so a tree deep enough to overflow it
// by recursion takes seconds to build under the sanitizers. On a stack of
// kSmallStack bytes, tens of thousands of levels are enough: code that
// recursed once per level would overflow it and crash the test program.
#pragma once

#include <cstddef>
#include <exception>
#include <functional>
#include <stdexcept>
#include <string>

namespace test {

// Room for the non-recursive walks and GoogleTest's reporting, under the
// sanitizers too, and far too little for one stack frame per level of a tree
// tens of thousands deep.
inline constexpr std::size_t kSmallStack = 128 * 1024;

// Levels of a tree that one stack frame per level (16 bytes at the least)
// could not get through on kSmallStack; more than the writer's 32766, so such
// a tree is also one that cannot be saved.
inline constexpr int kDeepLevels = 40'000;

namespace detail {
// Runs entry(arg) on a new thread with a stack of the given size and waits
// for it to end. Throws std::runtime_error when the thread cannot start.
void RunOnThread(std::size_t stackBytes, void (*entry)(void*), void* arg);
}  // namespace detail

// Runs work on a thread with a stack of stackBytes and waits for it; an
// exception that leaves work is rethrown here. A thread that ended without
// finishing work throws std::runtime_error: where an overflow of its stack
// does not end the whole program (under Wine it can end the thread alone),
// the test still fails.
inline void RunOnSmallStack(const std::function<void()>& work,
                            std::size_t stackBytes = kSmallStack) {
  struct Call {
    const std::function<void()>& work;
    std::exception_ptr failure;
    bool finished = false;
  } call{work, nullptr};
  detail::RunOnThread(
      stackBytes,
      [](void* p) {
        auto& c = *static_cast<Call*>(p);
        try {
          c.work();
          c.finished = true;
        } catch (...) {
          c.finished = true;
          c.failure = std::current_exception();
        }
      },
      &call);
  if (call.failure) std::rethrow_exception(call.failure);
  if (!call.finished)
    throw std::runtime_error("The thread with a stack of " + std::to_string(stackBytes) +
                             " bytes ended before its work was done (a stack overflow?)");
}

}  // namespace test
