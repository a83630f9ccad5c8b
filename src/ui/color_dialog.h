// PickColor: the system colour dialog, preset to a colour.
#pragma once

#include <windows.h>
// commdlg.h needs windows.h first.
#include <commdlg.h>

#include <functional>
#include <optional>

#include "colorfile/color_value.h"

using ChooseColorFn = std::function<BOOL(CHOOSECOLORA*)>;

// Opens the dialog owned by owner with preset preselected, the custom-colour
// part open and all 16 custom colours black. Returns the chosen colour, or
// nothing when the user cancelled (or the dialog failed).
std::optional<Rgb> PickColor(HWND owner, Rgb preset, const ChooseColorFn& chooseColor);
