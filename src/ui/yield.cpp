#include "ui/yield.h"

#include <windows.h>

namespace tintmoor::ui {

namespace {
// The hook has no context argument; its clock and counters live here.
DWORD gLastLook = 0;
bool gLooked = false;
YieldStats gStats;
}  // namespace

YieldStats& PumpStats() { return gStats; }

void ResetPumpClock() { gLooked = false; }

void PumpPendingMessages() {
  ++gStats.calls;
  // GetTickCount reads shared memory: cheap on Windows and under Wine alike.
  const DWORD now = GetTickCount();
  if (gLooked && now - gLastLook < kYieldIntervalMs) return;
  gLooked = true;
  gLastLook = now;
  ++gStats.looks;
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    ++gStats.dispatched;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

}  // namespace tintmoor::ui
