// The Win32 calls behind ReadFileBytes and ReplaceFileBytes, as a table tests
// can swap to make a call fail (a full disk, a rename that is refused).
#pragma once

#include <windows.h>

#include <string>

namespace tintmoor::common {

struct Win32FileCalls {
  decltype(&::CreateFileW) CreateFileW;
  decltype(&::ReadFile) ReadFile;
  decltype(&::WriteFile) WriteFile;
  decltype(&::FlushFileBuffers) FlushFileBuffers;
  decltype(&::MoveFileExW) MoveFileExW;  // when there is no target yet
  decltype(&::ReplaceFileW) ReplaceFileW;
};

// The calls in use; assign to a field to inject a failure, and restore after.
Win32FileCalls& Win32FileCallsForTesting();

// The system's own words for an error code, without the trailing full stop and
// line break (messages add their own punctuation).
std::string SystemErrorText(DWORD error);

// The one reason given for refusing to replace a read-only file.
inline constexpr const char* kReadOnlyReason = "the file is read-only";

}  // namespace tintmoor::common
