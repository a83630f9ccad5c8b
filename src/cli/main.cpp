// tintmoor-cli: the player colors from the command line, and the markup
// reader and writer. Output is binary on every system, so lines end in LF
// alone and bytes pass unchanged; text is UTF-8 throughout.
#include <iostream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "cli/standard_streams.h"
#include "cli/terminal.h"
#include "common/program_arguments.h"

namespace tintmoor::cli {
namespace {

int RunProgram(int argc, char** argv) {
  PrepareStandardStreams();
  const std::vector<std::string> args = common::ProgramArguments(argc, argv);
  if (args.empty() && StartedInOwnConsole()) {
    // Opened from Explorer: its window would close before the usage could be read.
    std::cout << "tintmoor-cli is used from a command prompt: open one in this folder (type\n"
                 "cmd in Explorer's address bar and press Enter), then type a command such\n"
                 "as tintmoor-cli list. To change colors with the mouse, start Tintmoor.exe.\n"
                 "\n";
    RunCli({"--help"}, std::cout, std::cerr);
    std::cout << "\nPress any key to close this window." << std::flush;
    WaitForKeyPress();
    return kExitUsage;
  }
  return RunCli(args, std::cout, std::cerr);
}

}  // namespace
}  // namespace tintmoor::cli

int main(int argc, char** argv) { return tintmoor::cli::RunProgram(argc, argv); }
