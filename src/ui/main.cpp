// The program: its command line, the main window and its message loop.
#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "ui/main_window.h"
#include "ui/start_options.h"
#include "ui/version.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
  try {
    // In the system's code page, as the file calls take paths.
    const std::vector<std::string> args(__argv + (__argc > 0 ? 1 : 0), __argv + __argc);
    const StartOptions options = ParseStartOptions(args);
    if (options.help || !options.mistake.empty()) {
      const std::string text =
          options.mistake.empty() ? kStartUsage : options.mistake + "\r\n\r\n" + kStartUsage;
      MessageBoxA(nullptr, text.c_str(), TINTMOOR_TITLE,
                  MB_OK | (options.help ? MB_ICONINFORMATION : MB_ICONSTOP));
      return options.help ? 0 : 2;
    }
    MainWindow window(instance, UiSystem::Real());
    if (!options.dataFolder.empty()) window.Commands().UseDataFolder(options.dataFolder);
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
