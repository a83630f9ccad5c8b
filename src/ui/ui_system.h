// The system calls the window makes that tests must replace: the colour
// dialog, message boxes, the shell, the folder picker and the look for a
// running game. The window holds one UiSystem; the program passes the real
// calls, tests pass recorders.
#pragma once

#include <windows.h>
// commdlg.h needs windows.h first.
#include <commdlg.h>

#include <functional>
#include <optional>
#include <string>

struct UiSystem {
  std::function<BOOL(CHOOSECOLORA*)> chooseColor;
  std::function<int(HWND owner, const char* text, const char* title, UINT style)> messageBox;
  std::function<HINSTANCE(HWND owner, const char* operation, const char* file,
                          const char* parameters, const char* directory, int show)>
      shellExecute;
  // The folder the user picked, or nothing when they cancelled.
  std::function<std::optional<std::string>(HWND owner, const char* title)> pickFolder;
  // Whether a process of the game (aom.exe, or aomx.exe of its expansion) runs.
  std::function<bool()> gameRunning;

  // ChooseColorA, MessageBoxA, ShellExecuteA, SHBrowseForFolderA and the
  // system's list of processes.
  static UiSystem Real();
};
