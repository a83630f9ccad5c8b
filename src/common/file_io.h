// Whole-file reads and safe replacement of a file, which file a path names,
// and the lock every writer of the game's files takes, behind a seam so tests
// can inject failures. Paths are UTF-8 on Windows and the system's own bytes
// elsewhere.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tintmoor::common {

// Reads every byte of the file, up to maxBytes: a longer one (a device, an
// endless pipe, a sparse file) is refused once that much is read, so memory
// stays bounded. Throws FileError naming path and reason.
std::string ReadFileBytes(const std::string& path, size_t maxBytes = static_cast<size_t>(-1));

// The folder holding path, without a trailing separator except for a root
// ("/", "C:\\"); "." for a bare name.
std::string FolderOf(const std::string& path);

// The reason given for a file longer than maxBytes ("it is larger than 16 MB").
std::string TooLargeReason(size_t maxBytes);

// Writes bytes to a temporary file in the target's folder, flushes it, and
// replaces the target with it. On any failure the target is untouched, the
// temporary file removed, and FileError thrown naming the target and reason.
// The new file keeps the target's metadata (POSIX: mode and owner; Windows:
// attributes and ACL). A symbolic link is written through: its target is
// replaced, in the target's own folder, and the link stays (as mod managers
// deploy files). Nothing else is created or deleted.
void ReplaceFileBytes(const std::string& path, std::string_view bytes);

// The temporary files of a replacement of "NAME" are ".NAME" plus this marker
// plus six letters or digits: named so that no file of the user's matches.
inline constexpr std::string_view kTemporaryMarker = ".tintmoor-";

// True when name is one of the temporary files of a replacement of targetName.
inline bool IsTemporaryFileOf(std::string_view targetName, std::string_view name) {
  const size_t prefix = 1 + targetName.size() + kTemporaryMarker.size();
  if (name.size() != prefix + 6 || name[0] != '.' ||
      name.substr(1, targetName.size()) != targetName ||
      name.substr(1 + targetName.size(), kTemporaryMarker.size()) != kTemporaryMarker)
    return false;
  for (const char c : name.substr(prefix)) {
    const bool alnum = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    if (!alnum) return false;
  }
  return true;
}

// How old a temporary file must be before it counts as left behind by a
// replacement that never finished (killed between write and rename): far
// longer than any save takes, and room for a network share's clock to differ.
inline constexpr int kLeftoverAgeSeconds = 600;

// Deletes the temporary files of replacements of path, in path's own folder,
// that are older than kLeftoverAgeSeconds; nothing else. Failures are ignored.
void RemoveLeftoverTemporaryFiles(const std::string& path);

// Which file a path names, links followed: the same for every name of one
// file (hard links, Windows' short names, other spellings of its folder).
struct FileIdentity {
  uint64_t volume = 0;  // POSIX: the device; Windows: the volume's serial number
  uint64_t index = 0;   // POSIX: the inode; Windows: the file index
  friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};
// Nothing when there is nothing at path (or it cannot be looked at).
std::optional<FileIdentity> IdentityOf(const std::string& path);

// The names in a folder, "." and ".." left out; empty when it cannot be listed.
std::vector<std::string> FolderEntries(const std::string& folder);

// An exclusive lock on the first byte of a lock file, held while the object
// lives: a record lock (fcntl) on POSIX hosts, LockFileEx on Windows. Wine
// sets a record lock on the Unix file for each LockFileEx, so the Linux and
// the Windows builds exclude each other on the same file. The system drops
// the lock when its holder ends, however it ends.
class FileLock {
 public:
  // Opens path, creating an empty file when there is none, and tries once to
  // take the lock: null when another holds it. Throws FileError when the file
  // cannot be opened or made, or locks are refused there.
  static std::unique_ptr<FileLock> TryTake(const std::string& path);
  ~FileLock();
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;

 private:
  explicit FileLock(intptr_t handle) : handle_(handle) {}
  intptr_t handle_;  // a descriptor or a HANDLE
};

}  // namespace tintmoor::common
