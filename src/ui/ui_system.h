// The system calls the window makes that tests must replace: the colour
// dialog, message boxes and the shell. The window holds one UiSystem; the
// program passes the real calls, tests pass recorders. Texts are UTF-8.
#pragma once

#include <windows.h>
// commdlg.h needs windows.h first.
#include <commdlg.h>

#include <functional>

struct UiSystem {
  std::function<BOOL(CHOOSECOLORW*)> chooseColor;
  std::function<int(HWND owner, const char* text, const char* title, UINT style)> messageBox;
  std::function<HINSTANCE(HWND owner, const char* operation, const char* file,
                          const char* parameters, const char* directory, int show)>
      shellExecute;

  // ChooseColorW, MessageBoxW and ShellExecuteW.
  static UiSystem Real();
};
