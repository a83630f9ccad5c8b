// A Windows console shows 24-bit colour once virtual-terminal processing is on
// (Windows 10 and later); older consoles refuse the mode.
#include <windows.h>
// windows.h first: tlhelp32.h needs its types.
#include <tlhelp32.h>

#include <cstdlib>
#include <string>

#include "cli/terminal.h"

namespace tintmoor::cli {

bool StdoutShowsTrueColour() {
  if (std::getenv("NO_COLOR")) return false;
  HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  DWORD mode = 0;
  if (out == INVALID_HANDLE_VALUE || !GetConsoleMode(out, &mode)) return false;  // not a console
  if (mode & ENABLE_VIRTUAL_TERMINAL_PROCESSING) return true;
  return SetConsoleMode(out, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0;
}

namespace {

// The name of the program that started this one, or "" when it has ended or
// was no Windows program (Wine started from a Unix shell).
std::wstring ParentProgramName() {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return L"";
  const DWORD self = GetCurrentProcessId();
  DWORD parent = 0;
  std::wstring name;
  PROCESSENTRY32W entry{};
  for (int pass = 0; pass < 2; ++pass) {
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot, &entry); more;
         more = Process32NextW(snapshot, &entry)) {
      if (pass == 0 && entry.th32ProcessID == self) parent = entry.th32ParentProcessID;
      if (pass == 1 && parent != 0 && entry.th32ProcessID == parent) name = entry.szExeFile;
    }
  }
  CloseHandle(snapshot);
  return name;
}

}  // namespace

// Explorer gives a console program a console of its own, shared with no
// other process, and a command prompt shares its own with the program. Wine
// run from a Unix terminal also gives the program a console to itself, but
// with a hidden window: a visible window tells the two apart. Where Windows
// Terminal hosts the consoles, the console's window is always hidden, so a
// program that Explorer started counts as well. Input must come from the
// console too, or no key could end the wait.
bool StartedInOwnConsole() {
  DWORD processes[2];
  if (GetConsoleProcessList(processes, 2) != 1) return false;
  DWORD mode = 0;
  if (!GetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), &mode)) return false;
  HWND window = GetConsoleWindow();
  if (window && IsWindowVisible(window)) return true;
  return lstrcmpiW(ParentProgramName().c_str(), L"explorer.exe") == 0;
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

}  // namespace tintmoor::cli
