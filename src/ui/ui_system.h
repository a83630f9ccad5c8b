// The system calls the window makes that tests must replace: the colour
// dialog, message boxes, the shell, the folder picker, the file dialogs for
// schemes and the look for a running game. The window holds one UiSystem; the program passes the
// real calls, tests pass recorders. Texts are UTF-8.
#pragma once

#include <windows.h>
// commdlg.h needs windows.h first.
#include <commdlg.h>

#include <functional>
#include <optional>
#include <string>

namespace tintmoor::ui {

struct UiSystem {
  std::function<BOOL(CHOOSECOLORW*)> chooseColor;
  std::function<int(HWND owner, const char* text, const char* title, UINT style)> messageBox;
  std::function<HINSTANCE(HWND owner, const char* operation, const char* file,
                          const char* parameters, const char* directory, int show)>
      shellExecute;
  // The folder the user picked, or nothing when they cancelled.
  std::function<std::optional<std::string>(HWND owner, const char* title)> pickFolder;
  // The scheme file the user chose to open, or to save as (its name ends in
  // ".txt" unless they typed another ending); nothing when they cancelled.
  std::function<std::optional<std::string>(HWND owner, const char* title)> openScheme;
  std::function<std::optional<std::string>(HWND owner, const char* title)> saveScheme;
  // Whether a process of the game (aom.exe, or aomx.exe of its expansion) runs.
  std::function<bool()> gameRunning;

  // ChooseColorW, MessageBoxW, ShellExecuteW, the folder picker,
  // GetOpenFileNameW and GetSaveFileNameW, and the system's list of processes.
  static UiSystem Real();
};

// The named export of a DLL in the system folder, which stays loaded from the
// first call on: for DLLs the window needs only after a click or a screen
// reader's request, so a plain start never loads them. Throws a TintError
// when the DLL or the export is missing.
FARPROC SystemProcAddress(const char* dll, const char* name);
template <class Fn>
Fn SystemProc(const char* dll, const char* name) {
  return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(SystemProcAddress(dll, name)));
}

}  // namespace tintmoor::ui
