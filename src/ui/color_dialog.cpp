#include "ui/color_dialog.h"

#include <array>

std::optional<Rgb> PickColor(HWND owner, Rgb preset, const ChooseColorFn& chooseColor) {
  // Fresh every call: custom colours the user made last time are not kept.
  std::array<COLORREF, 16> custom{};
  CHOOSECOLORA cc{};
  cc.lStructSize = sizeof(cc);
  cc.hwndOwner = owner;
  cc.rgbResult = RGB(preset.r, preset.g, preset.b);
  cc.lpCustColors = custom.data();
  cc.Flags = CC_RGBINIT | CC_FULLOPEN;
  if (!chooseColor(&cc)) return std::nullopt;
  return Rgb{GetRValue(cc.rgbResult), GetGValue(cc.rgbResult), GetBValue(cc.rgbResult)};
}
