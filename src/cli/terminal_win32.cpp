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

// Explorer gives a console program a console of its own, with a window, and
// keeps it on no other process. A command prompt shares its console with the
// program. Wine run from a Unix terminal also gives a console to the program
// alone, but one without a window, so the window is what tells them apart.
// Input must come from the console too, or no key could end the wait.
bool StartedInOwnConsole() {
  DWORD processes[2];
  if (GetConsoleProcessList(processes, 2) != 1) return false;
  if (!GetConsoleWindow()) return false;
  DWORD mode = 0;
  return GetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), &mode) != 0;
}

void WaitForKeyPress() {
  HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
  FlushConsoleInputBuffer(in);
  INPUT_RECORD record;
  DWORD read = 0;
  while (ReadConsoleInputW(in, &record, 1, &read) && read == 1) {
    if (record.EventType == KEY_EVENT && record.Event.KeyEvent.bKeyDown) return;
  }
}
