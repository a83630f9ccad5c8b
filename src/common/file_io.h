// Whole-file reads and safe replacement of a file, behind a seam so tests can
// inject failures. Paths are narrow strings in the system's code page.
#pragma once

#include <string>
#include <string_view>

// Reads every byte of the file. Throws FileError naming path and reason.
std::string ReadFileBytes(const std::string& path);

// Writes bytes to a temporary file in the target's folder, flushes it, and
// replaces the target with it. On any failure the target is untouched, the
// temporary file removed, and FileError thrown naming the target and reason.
void ReplaceFileBytes(const std::string& path, std::string_view bytes);
