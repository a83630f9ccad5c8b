// Whole-file reads and safe replacement of a file, behind a seam so tests can
// inject failures. Paths are narrow strings in the system's code page.
#pragma once

#include <string>
#include <string_view>

#include <cstddef>

// Reads every byte of the file, up to maxBytes: a longer one (a device, an
// endless pipe, a sparse file) is refused once that much is read, so memory
// stays bounded. Throws FileError naming path and reason.
std::string ReadFileBytes(const std::string& path, size_t maxBytes = static_cast<size_t>(-1));

// The reason given for a file longer than maxBytes ("it is larger than 16 MB").
std::string TooLargeReason(size_t maxBytes);

// Writes bytes to a temporary file in the target's folder, flushes it, and
// replaces the target with it. On any failure the target is untouched, the
// temporary file removed, and FileError thrown naming the target and reason.
void ReplaceFileBytes(const std::string& path, std::string_view bytes);
