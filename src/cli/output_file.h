// Writing into what cannot be replaced by a rename: devices, FIFOs, sockets
// (on Windows, the reserved device names and \\.\ paths).
#pragma once

#include <string>
#include <string_view>

namespace tintmoor::cli {

// Whether path names something to write into rather than replace.
bool IsStreamTarget(const std::string& path);

// Opens path as it is (creating nothing) and writes bytes into it; throws
// FileError with the system's reason ("No space left on device").
void WriteIntoStream(const std::string& path, std::string_view bytes);

}  // namespace tintmoor::cli
