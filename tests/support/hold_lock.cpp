// Holds a game's lock file as a writer would: hold_lock LOCK-FILE MILLISECONDS.
// Prints "held" once it holds it; exits 1 at once when another program does.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "common/errors.h"
#include "common/file_io.h"

using tintmoor::common::FileError;
using tintmoor::common::FileLock;

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  try {
    const auto lock = FileLock::TryTake(argv[1]);
    if (!lock) return 1;
    std::puts("held");
    std::fflush(stdout);
    std::this_thread::sleep_for(std::chrono::milliseconds(std::atoi(argv[2])));
    return 0;
  } catch (const FileError& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 3;
  }
}
