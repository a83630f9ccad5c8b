// PickColor: the system colour dialog, preset to a colour. The component
// operations it stands on are portable (colorfile/color_value.h).
#pragma once

#include <windows.h>
// commdlg.h needs windows.h first.
#include <commdlg.h>

#include <cstdint>
#include <functional>

#include "colorfile/color_value.h"

using ChooseColorFn = std::function<BOOL(CHOOSECOLORA*)>;

// Opens the dialog owned by owner with red, green and blue preselected, the
// custom-colour part open and all 16 custom colours black. Returns the chosen
// colour value, or -1 when the user cancelled (or the dialog failed).
int32_t PickColor(HWND owner, int16_t red, int16_t green, int16_t blue,
                  const ChooseColorFn& chooseColor);
