// Failures of the program, thrown where they happen and caught once, at the
// command or start-up boundary, which reports them in plain words.
#pragma once

#include <stdexcept>
#include <string>

namespace tintmoor::common {

// Base of every failure the program reports to the user.
class TintError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A file that could not be opened, read or written; the message names the path
// and the system's reason.
class FileError : public TintError {
 public:
  FileError(std::string path, std::string reason);
  // "Cannot <action> "<path>": <reason>", as in action "read" or "write".
  FileError(const std::string& action, std::string path, std::string reason);
  const std::string& path() const { return path_; }
  const std::string& reason() const { return reason_; }

 private:
  std::string path_;
  std::string reason_;
};

// A 16-bit counter (words of a line, nesting depth, indentation, attributes)
// went past 32767. The message names what overflowed and, for the reader, the
// file and line.
class OverflowError : public TintError {
 public:
  using TintError::TintError;
};

// A list position outside 1..count; the message names the position and the count.
class PositionError : public TintError {
 public:
  using TintError::TintError;
};

}  // namespace tintmoor::common
