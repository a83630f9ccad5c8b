// tintmoor-cli: the player colors from the command line, and the markup
// reader and writer. Output is binary on every system, so lines end in LF
// alone and bytes pass unchanged.
#include <iostream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "cli/terminal.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <stdio.h>
#endif

namespace {

// Stops the C runtime from turning LF into CR LF on standard output and error.
void UseBinaryOutput() {
#ifdef _WIN32
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
#endif
}

}  // namespace

int main(int argc, char** argv) {
  UseBinaryOutput();
  std::ios::sync_with_stdio(false);
  std::vector<std::string> args(argv + 1, argv + argc);
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
