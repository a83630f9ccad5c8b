// tintmoor-cli: the markup reader and writer (and whatever else the command
// tables hold) from the command line. Output is binary on every system, so
// lines end in LF alone and bytes pass unchanged; text is UTF-8 throughout.
#include <iostream>

#include "cli/cli.h"
#include "cli/standard_streams.h"

int main(int argc, char** argv) {
  PrepareStandardStreams();
  return RunCli(ProgramArguments(argc, argv), std::cout, std::cerr);
}
