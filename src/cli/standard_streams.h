// The command line and the standard streams as the program's texts need
// them: UTF-8 in and UTF-8 out, on every system.
#pragma once

#include <string>
#include <vector>

// The arguments after the program's name, in UTF-8. Windows hands main its
// arguments in the ANSI code page, which cannot spell every name: there they
// are read from the wide command line instead.
std::vector<std::string> ProgramArguments(int argc, char** argv);

// Sets up standard input, output and error for the program's lifetime: bytes
// pass unchanged to and from a file or a pipe, so lines end in LF alone and
// UTF-8 stays UTF-8. A Windows console is handed what std::cout and std::cerr
// write as UTF-16, so every character shows whatever its code page. Call once,
// before anything is read or written.
void PrepareStandardStreams();
