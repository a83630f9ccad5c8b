// A program's command line, as the program's texts are: UTF-8.
#pragma once

#include <string>
#include <vector>

namespace tintmoor::common {

// The arguments after the program's name. Windows hands main (and __argv)
// the arguments in the ANSI code page, which cannot spell every name: there
// they are read from the wide command line instead, and argc and argv serve
// only when that cannot be had.
std::vector<std::string> ProgramArguments(int argc, char** argv);

}  // namespace tintmoor::common
