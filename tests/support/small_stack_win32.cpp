// A thread of a chosen stack size, from Win32 threads. The size is a
// reservation: Windows rounds it up to its 64 KB allocation granularity, and
// the thread overflows past it.
#include <malloc.h>
#include <windows.h>

#include <stdexcept>
#include <string>

#include "support/small_stack.h"

namespace test::detail {

namespace {

struct Start {
  void (*entry)(void*);
  void* arg;
  std::size_t stackBytes;
};

DWORD WINAPI ThreadStart(LPVOID p) {
  auto& s = *static_cast<Start*>(p);
  // Wine gives a thread at least 1 MB of stack, whatever was asked for; what
  // lies beyond the size asked for is used up here, so that the work has no
  // more room than on Windows. The stack grows down from the top of the one
  // reservation that holds this frame.
  MEMORY_BASIC_INFORMATION stack{};
  VirtualQuery(&stack, &stack, sizeof stack);
  const auto room = static_cast<std::size_t>(reinterpret_cast<const char*>(&stack) -
                                             static_cast<const char*>(stack.AllocationBase));
  if (room > s.stackBytes) {
    volatile char* spent = static_cast<char*>(_alloca(room - s.stackBytes));
    spent[0] = 0;
  }
  s.entry(s.arg);
  return 0;
}

}  // namespace

void RunOnThread(std::size_t stackBytes, void (*entry)(void*), void* arg) {
  Start start{entry, arg, stackBytes};
  // Nothing between creating the handle and closing it can throw.
  HANDLE thread = CreateThread(nullptr, stackBytes, ThreadStart, &start,
                               STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
  if (thread == nullptr)
    throw std::runtime_error("Cannot start a thread with a stack of " + std::to_string(stackBytes) +
                             " bytes: error " + std::to_string(GetLastError()));
  WaitForSingleObject(thread, INFINITE);
  CloseHandle(thread);
}

}  // namespace test::detail
