#include "ui/dpi.h"

namespace tintmoor::ui {

namespace {

template <class Fn>
Fn User32Proc(const char* name) {
  FARPROC proc = GetProcAddress(GetModuleHandleW(L"user32.dll"), name);
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

bool WindowsScalesDialog(HWND dialog) {
  // DPI_AWARENESS_CONTEXT is a handle; older headers lack the type.
  using GetContext = HANDLE(WINAPI*)(HWND);
  using SameContext = BOOL(WINAPI*)(HANDLE, HANDLE);
  using SetBehavior = BOOL(WINAPI*)(HWND, int, int);
  static const auto getContext = User32Proc<GetContext>("GetWindowDpiAwarenessContext");
  static const auto same = User32Proc<SameContext>("AreDpiAwarenessContextsEqual");
  // Exported from the release whose dialog manager scales (1703): a system
  // that has the contexts without it, Wine's among them, leaves dialogs alone.
  static const auto setBehavior = User32Proc<SetBehavior>("SetDialogDpiChangeBehavior");
  if (!getContext || !same || !setBehavior) return false;
  const HANDLE perMonitorV2 = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-4));
  return same(getContext(dialog), perMonitorV2) != FALSE;
}

DialogScaling::DialogScaling(HWND dialog) : dialog_(dialog) {
  WindowDC screen(nullptr);
  dpi_ = GetDeviceCaps(screen.get(), LOGPIXELSY);  // the dialog manager's
  applied_ = dpi_;
  RECT client;
  GetClientRect(dialog, &client);
  client_ = {client.right, client.bottom};
  const auto font = reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0));
  GetObjectW(font ? static_cast<HGDIOBJ>(font) : GetStockObject(DEFAULT_GUI_FONT), sizeof(font_),
             &font_);
  for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    RECT at;
    GetWindowRect(c, &at);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&at), 2);
    controls_.push_back({c, at});
  }
}

void DialogScaling::Apply(int dpi) {
  if (dpi == applied_) return;
  applied_ = dpi;
  auto scale = [&](LONG v) { return MulDiv(v, dpi, dpi_); };
  LOGFONTW lf = font_;
  if (lf.lfHeight < 0) {  // a character height: the same whole points at the new DPI
    lf.lfHeight = -MulDiv(MulDiv(-lf.lfHeight, 72, dpi_), dpi, 72);
  } else {
    lf.lfHeight = scale(lf.lfHeight);
  }
  lf.lfWidth = scale(lf.lfWidth);
  Font font(CreateFontIndirectW(&lf));
  for (const Placed& c : controls_) {
    SetWindowPos(c.control, nullptr, scale(c.at.left), scale(c.at.top),
                 scale(c.at.right) - scale(c.at.left), scale(c.at.bottom) - scale(c.at.top),
                 SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(c.control, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
  }
  scaled_ = std::move(font);  // the old one only now: the controls no longer show it
  const auto style = static_cast<DWORD>(GetWindowLongW(dialog_, GWL_STYLE));
  const auto exStyle = static_cast<DWORD>(GetWindowLongW(dialog_, GWL_EXSTYLE));
  const RECT frame = WindowRectForClient(scale(client_.cx), scale(client_.cy), dpi, style, exStyle,
                                         GetMenu(dialog_) != nullptr);
  SetWindowPos(dialog_, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  RedrawWindow(dialog_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

}  // namespace tintmoor::ui
