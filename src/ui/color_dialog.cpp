#include "ui/color_dialog.h"

#include <array>

#include "common/wide_win32.h"

namespace tintmoor::ui {

// The dialog's own procedure runs first and calls the hook at the end of its
// WM_INITDIALOG; TRUE is what it would return itself, so the system gives the
// focus to the control it always does.
UINT_PTR CALLBACK ColorDialogTitleHook(HWND dialog, UINT msg, WPARAM, LPARAM lp) {
  if (msg != WM_INITDIALOG) return 0;
  const auto* cc = reinterpret_cast<const CHOOSECOLORW*>(lp);
  if (cc && cc->lCustData) SetWindowTextW(dialog, reinterpret_cast<const wchar_t*>(cc->lCustData));
  return TRUE;
}

std::optional<colorfile::Rgb> PickColor(HWND owner, colorfile::Rgb preset, const std::string& title,
                                        const ChooseColorFn& chooseColor) {
  const std::wstring caption = common::Widen(title);
  // Fresh every call: custom colours the user made last time are not kept.
  std::array<COLORREF, 16> custom{};
  CHOOSECOLORW cc{};
  cc.lStructSize = sizeof(cc);
  cc.hwndOwner = owner;
  cc.rgbResult = RGB(preset.r, preset.g, preset.b);
  cc.lpCustColors = custom.data();
  cc.Flags = CC_RGBINIT | CC_FULLOPEN | CC_ENABLEHOOK;
  cc.lpfnHook = ColorDialogTitleHook;
  cc.lCustData = reinterpret_cast<LPARAM>(caption.c_str());
  if (!chooseColor(&cc)) return std::nullopt;
  return colorfile::Rgb{GetRValue(cc.rgbResult), GetGValue(cc.rgbResult), GetBValue(cc.rgbResult)};
}

}  // namespace tintmoor::ui
