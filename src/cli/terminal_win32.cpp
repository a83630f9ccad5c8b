// A Windows console shows 24-bit colour once virtual-terminal processing is on
// (Windows 10 and later); older consoles refuse the mode.
#include <windows.h>

#include <cstdlib>

#include "cli/terminal.h"

bool StdoutShowsTrueColour() {
  if (std::getenv("NO_COLOR")) return false;
  HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  DWORD mode = 0;
  if (out == INVALID_HANDLE_VALUE || !GetConsoleMode(out, &mode)) return false;  // not a console
  if (mode & ENABLE_VIRTUAL_TERMINAL_PROCESSING) return true;
  return SetConsoleMode(out, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0;
}
