// Whole-file reads and safe replacement of a file, behind a seam so tests can
// inject failures. Paths are UTF-8 on Windows and the system's own bytes elsewhere.
#pragma once

#include <string>
#include <string_view>

#include <cstddef>

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
// attributes and ACL). Temporary files of this same target that an earlier
// replacement left behind (killed between write and rename) are removed
// afterwards, but only those older than this replacement by a margin, so a
// concurrent replacement's file is never taken.
void ReplaceFileBytes(const std::string& path, std::string_view bytes);

// The temporary files of a replacement of "NAME" are ".NAME." plus six
// letters or digits: true when name is one, for the target named targetName.
inline bool IsTemporaryFileOf(std::string_view targetName, std::string_view name) {
  const size_t prefix = targetName.size() + 2;
  if (name.size() != prefix + 6 || name[0] != '.' || name[prefix - 1] != '.' ||
      name.substr(1, targetName.size()) != targetName)
    return false;
  for (const char c : name.substr(prefix)) {
    const bool alnum = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    if (!alnum) return false;
  }
  return true;
}

// How much older than a replacement a temporary file must be before that
// replacement counts it as left behind: far longer than any save takes, and
// room for a network share's clock to differ from ours.
inline constexpr int kLeftoverAgeSeconds = 600;
