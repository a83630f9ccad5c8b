// A thread of a chosen stack size, from POSIX threads.
#include <pthread.h>

#include <cstring>
#include <stdexcept>
#include <string>

#include "support/small_stack.h"

namespace test::detail {

namespace {

struct Start {
  void (*entry)(void*);
  void* arg;
};

void* ThreadStart(void* p) {
  auto& s = *static_cast<Start*>(p);
  s.entry(s.arg);
  return nullptr;
}

}  // namespace

void RunOnThread(std::size_t stackBytes, void (*entry)(void*), void* arg) {
  Start start{entry, arg};
  pthread_attr_t attr;
  pthread_attr_init(&attr);
  int rc = pthread_attr_setstacksize(&attr, stackBytes);
  pthread_t thread{};
  if (rc == 0) rc = pthread_create(&thread, &attr, ThreadStart, &start);
  pthread_attr_destroy(&attr);
  if (rc != 0)
    throw std::runtime_error("Cannot start a thread with a stack of " + std::to_string(stackBytes) +
                             " bytes: " + std::strerror(rc));
  pthread_join(thread, nullptr);
}

}  // namespace test::detail
