// The standard streams as the program's texts need them: UTF-8 in and UTF-8
// out, on every system.
#pragma once

namespace tintmoor::cli {

// Sets up standard input, output and error for the program's lifetime: bytes
// pass unchanged to and from a file or a pipe, so lines end in LF alone and
// UTF-8 stays UTF-8. A Windows console is handed what std::cout and std::cerr
// write as UTF-16, so every character shows whatever its code page. Call once,
// before anything is read or written.
void PrepareStandardStreams();

}  // namespace tintmoor::cli
