#include "ui/dpi.h"

#include "ui/gdi.h"

namespace {

template <class Fn>
Fn User32Proc(const char* name) {
  FARPROC proc = GetProcAddress(GetModuleHandleA("user32.dll"), name);
  return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(proc));
}

}  // namespace

int WindowDpi(HWND hwnd) {
  using Fn = UINT(WINAPI*)(HWND);
  static const Fn getDpiForWindow = User32Proc<Fn>("GetDpiForWindow");
  if (getDpiForWindow) {
    if (UINT dpi = getDpiForWindow(hwnd)) return static_cast<int>(dpi);
  }
  WindowDC screen(nullptr);
  return GetDeviceCaps(screen.get(), LOGPIXELSY);
}

RECT WindowRectForClient(int width, int height, int dpi, DWORD style, DWORD exStyle, bool menu) {
  RECT r{0, 0, width, height};
  using Fn = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
  static const Fn adjustForDpi = User32Proc<Fn>("AdjustWindowRectExForDpi");
  if (!adjustForDpi || !adjustForDpi(&r, style, menu, exStyle, static_cast<UINT>(dpi))) {
    AdjustWindowRectEx(&r, style, menu, exStyle);
  }
  return r;
}
