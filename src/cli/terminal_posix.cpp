#include <unistd.h>

#include <cstdlib>
#include <cstring>

#include "cli/terminal.h"

namespace tintmoor::cli {

bool StdoutShowsTrueColour() {
  if (!isatty(STDOUT_FILENO) || std::getenv("NO_COLOR")) return false;
  const char* term = std::getenv("TERM");
  if (term && std::strcmp(term, "dumb") == 0) return false;
  // Terminals that can show 24-bit colour say so here; there is no other
  // reliable way to ask.
  const char* colorterm = std::getenv("COLORTERM");
  return colorterm &&
         (std::strcmp(colorterm, "truecolor") == 0 || std::strcmp(colorterm, "24bit") == 0);
}

// A POSIX program started without a terminal has none to keep open.
bool StartedInOwnConsole() { return false; }

void WaitForKeyPress() {}

}  // namespace tintmoor::cli
