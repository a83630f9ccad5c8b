// The window's DPI and the frame around a client area at that DPI. The DPI
// calls that older systems lack are looked up at run time, falling back to
// the screen's DPI and the system-wide frame.
#pragma once

#include <windows.h>

int WindowDpi(HWND hwnd);

// The window rectangle (relative to the client's top-left) whose client area
// is width x height at dpi, for a window of that style with or without a menu.
RECT WindowRectForClient(int width, int height, int dpi, DWORD style, DWORD exStyle, bool menu);

// The object a window procedure serves: handed over in CREATESTRUCT at
// WM_NCCREATE and kept in GWLP_USERDATA; null before that.
template <class T>
T* WindowObject(HWND hwnd, UINT msg, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    T* self = static_cast<T*>(reinterpret_cast<CREATESTRUCTA*>(lp)->lpCreateParams);
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    return self;
  }
  return reinterpret_cast<T*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
}
