#include "ui/color_dialog.h"

#include <array>

int32_t PickColor(HWND owner, int16_t red, int16_t green, int16_t blue,
                  const ChooseColorFn& chooseColor) {
  // Fresh every call: custom colours the user made last time are not kept.
  std::array<COLORREF, 16> custom{};
  CHOOSECOLORA cc{};
  cc.lStructSize = sizeof(cc);
  cc.hwndOwner = owner;
  cc.rgbResult = static_cast<COLORREF>(ComposeColor(red, green, blue));
  cc.lpCustColors = custom.data();
  cc.Flags = CC_RGBINIT | CC_FULLOPEN;
  if (!chooseColor(&cc)) return -1;
  return static_cast<int32_t>(cc.rgbResult);
}
