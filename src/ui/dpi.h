// The window's DPI and the frame around a client area at that DPI. The DPI
// calls that older systems lack are looked up at run time, falling back to
// the screen's DPI and the system-wide frame.
#pragma once

#include <windows.h>

#include <vector>

#include "ui/gdi.h"

namespace tintmoor::ui {

int WindowDpi(HWND hwnd);

// The window rectangle (relative to the client's top-left) whose client area
// is width x height at dpi, for a window of that style with or without a menu.
RECT WindowRectForClient(int width, int height, int dpi, DWORD style, DWORD exStyle, bool menu);

// Whether Windows itself scales this dialog, its controls and their font when
// its DPI changes: dialogs of Per-Monitor v2 windows, from Windows 10 1703 on.
bool WindowsScalesDialog(HWND dialog);

// Scales a dialog where Windows does not (older systems, Wine). Made in
// WM_INITDIALOG, it keeps the layout the dialog manager made from the template
// at the system DPI; Apply puts every control, the dialog font and the client
// area at another DPI by that layout.
class DialogScaling {
 public:
  explicit DialogScaling(HWND dialog);
  DialogScaling(const DialogScaling&) = delete;
  DialogScaling& operator=(const DialogScaling&) = delete;
  void Apply(int dpi);

 private:
  struct Placed {
    HWND control;
    RECT at;  // client coordinates at dpi_
  };
  HWND dialog_;
  int dpi_;      // the layout's
  int applied_;  // what the dialog shows now
  SIZE client_{};
  LOGFONTW font_{};
  std::vector<Placed> controls_;
  Font scaled_;  // what the controls show after Apply to another DPI
};

// The object a window procedure serves: handed over in CREATESTRUCT at
// WM_NCCREATE and kept in GWLP_USERDATA; null before that.
template <class T>
T* WindowObject(HWND hwnd, UINT msg, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    T* self = static_cast<T*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    return self;
  }
  return reinterpret_cast<T*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

}  // namespace tintmoor::ui
