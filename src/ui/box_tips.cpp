#include "ui/box_tips.h"

#include <commctrl.h>

#include "common/errors.h"
#include "common/wide_win32.h"
#include "ui/ui_system.h"

namespace tintmoor::ui {

namespace {

// The record as every comctl32 since 4.70 reads it: newer fields would make
// an older one refuse the tool.
TTTOOLINFOW Tool(HWND owner, int tool) {
  TTTOOLINFOW ti{};
  ti.cbSize = TTTOOLINFOW_V2_SIZE;
  ti.hwnd = owner;
  ti.uId = static_cast<UINT_PTR>(tool);
  return ti;
}

}  // namespace

BoxTips::BoxTips(HWND owner, int tools) : owner_(owner) {
  using InitFn = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
  INITCOMMONCONTROLSEX init{sizeof(init), ICC_BAR_CLASSES};
  SystemProc<InitFn>("comctl32.dll", "InitCommonControlsEx")(&init);
  tips_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX,
                          CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner,
                          nullptr, nullptr, nullptr);
  if (!tips_) throw common::TintError("The tooltips could not be created.");
  // Any width makes the tip honour line breaks.
  SendMessageW(tips_, TTM_SETMAXTIPWIDTH, 0, 600);
  for (int k = 0; k < tools; ++k) {
    TTTOOLINFOW ti = Tool(owner_, k);
    ti.uFlags = TTF_SUBCLASS;
    ti.lpszText = const_cast<wchar_t*>(L"");
    SendMessageW(tips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
  }
}

BoxTips::~BoxTips() {
  // The owner's end destroys it first.
  if (IsWindow(tips_)) DestroyWindow(tips_);
}

void BoxTips::Relay(const MSG& msg) {
  MSG copy = msg;
  SendMessageW(tips_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&copy));
}

void BoxTips::Place(int tool, const PixelRect& r) {
  TTTOOLINFOW ti = Tool(owner_, tool);
  ti.rect = {r.left, r.top, r.right, r.bottom};
  SendMessageW(tips_, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&ti));
}

void BoxTips::SetText(int tool, const std::string& text) {
  std::wstring wide = common::Widen(text);
  TTTOOLINFOW ti = Tool(owner_, tool);
  ti.lpszText = wide.data();
  SendMessageW(tips_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&ti));
}

}  // namespace tintmoor::ui
