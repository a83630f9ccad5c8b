// The program: the main window and its message loop.
#include <windows.h>

#include "ui/main_window.h"
#include "ui/version.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
  try {
    MainWindow window(instance, UiSystem::Real());
    if (!window.Create(show)) return 0;
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
      if (window.TranslateShortcut(msg)) continue;
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    return static_cast<int>(msg.wParam);
  } catch (...) {
    // Every command has its own boundary; this only sees a failure to set up.
    MessageBoxA(nullptr, "The program could not start: not enough memory.", TINTMOOR_TITLE,
                MB_OK | MB_ICONSTOP);
    return 1;
  }
}
