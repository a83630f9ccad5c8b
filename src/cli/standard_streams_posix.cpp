// POSIX streams carry bytes already, and arguments arrive as the system's bytes.
#include "cli/standard_streams.h"

#include <iostream>

std::vector<std::string> ProgramArguments(int argc, char** argv) {
  return std::vector<std::string>(argv + 1, argv + argc);
}

void PrepareStandardStreams() { std::ios::sync_with_stdio(false); }
