// The program: its command line, the main window and its message loop.
#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "common/program_arguments.h"
#include "common/wide_win32.h"
#include "ui/main_window.h"
#include "ui/start_options.h"
#include "ui/version.h"

namespace tintmoor::ui {
namespace {

int RunProgram(HINSTANCE instance, int show) {
  try {
    const std::vector<std::string> args = common::ProgramArguments(__argc, __argv);
    const StartOptions options = ParseStartOptions(args);
    if (options.help || !options.mistake.empty()) {
      const std::string text =
          options.mistake.empty() ? kStartUsage : options.mistake + "\r\n\r\n" + kStartUsage;
      MessageBoxW(nullptr, common::Widen(text).c_str(), L"" TINTMOOR_TITLE,
                  MB_OK | (options.help ? MB_ICONINFORMATION : MB_ICONSTOP));
      return options.help ? 0 : 2;
    }
    MainWindow window(instance, UiSystem::Real());
    if (!options.dataFolder.empty()) window.Commands().UseDataFolder(options.dataFolder);
    if (!window.Create(show)) return 0;
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
      if (window.TranslateShortcut(msg)) continue;
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
  } catch (...) {
    // Every command has its own boundary; this only sees a failure to set up.
    MessageBoxW(nullptr, L"The program could not start: not enough memory.", L"" TINTMOOR_TITLE,
                MB_OK | MB_ICONSTOP);
    return 1;
  }
}

}  // namespace
}  // namespace tintmoor::ui

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
  return tintmoor::ui::RunProgram(instance, show);
}
