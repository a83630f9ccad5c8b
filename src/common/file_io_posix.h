// The system calls behind ReadFileBytes and ReplaceFileBytes on POSIX hosts,
// as a table tests can swap to make a call fail.
#pragma once

#include <sys/types.h>

namespace tintmoor::common {

struct PosixFileCalls {
  int (*open)(const char* path, int flags, mode_t mode);
  ssize_t (*read)(int fd, void* buffer, size_t size);
  ssize_t (*write)(int fd, const void* buffer, size_t size);
  int (*fsync)(int fd);
  int (*close)(int fd);
  int (*mkstemp)(char* pathTemplate);
  int (*rename)(const char* from, const char* to);
  int (*fchown)(int fd, uid_t owner, gid_t group);
};

// The calls in use; assign to a field to inject a failure, and restore after.
PosixFileCalls& PosixFileCallsForTesting();

}  // namespace tintmoor::common
