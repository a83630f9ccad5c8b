// Opening a web address with the system's default handler.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace tintmoor::ui {

using ShellExecuteFn =
    std::function<HINSTANCE(HWND, const char*, const char*, const char*, const char*, int)>;

// Hands address to the shell's "open", owned by the desktop window, shown
// maximized. The result is not looked at: a missing browser is not our error.
void OpenHyperlink(const std::string& address, const ShellExecuteFn& shellExecute);

}  // namespace tintmoor::ui
