// PickColor: the system colour dialog, preset to a colour.
#pragma once

#include <windows.h>
// commdlg.h needs windows.h first.
#include <commdlg.h>

#include <functional>
#include <optional>
#include <string>

#include "colorfile/color_value.h"

namespace tintmoor::ui {

using ChooseColorFn = std::function<BOOL(CHOOSECOLORW*)>;

// Opens the dialog owned by owner with preset preselected, the custom-colour
// part open, all 16 custom colours black and title (UTF-8) as its caption.
// Returns the chosen colour, or nothing when the user cancelled (or the
// dialog failed).
std::optional<colorfile::Rgb> PickColor(HWND owner, colorfile::Rgb preset, const std::string& title,
                                        const ChooseColorFn& chooseColor);

// The hook PickColor installs. It only sets the caption, to the UTF-16 text
// lCustData points to; tests call it as the dialog would.
UINT_PTR CALLBACK ColorDialogTitleHook(HWND dialog, UINT msg, WPARAM wp, LPARAM lp);

}  // namespace tintmoor::ui
