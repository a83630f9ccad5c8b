// The clipboard as text, in UTF-8: a colour copied from a box, or pasted
// into one from a web page or an editor.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace tintmoor::ui {

// The clipboard's text, or nothing when it holds none. Throws TintError when
// another program keeps the clipboard open.
std::optional<std::string> ClipboardText(HWND owner);
// Puts text on the clipboard in place of whatever it held; throws TintError
// when that fails.
void SetClipboardText(HWND owner, const std::string& text);

}  // namespace tintmoor::ui
