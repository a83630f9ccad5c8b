// Reading the game's install path from the registry. Always through the
// 32-bit view, where the 32-bit game wrote its key, also when this program is
// built 64-bit.
#pragma once

#include <windows.h>

#include <string>

namespace tintmoor::colorfile {

// The text of a REG_SZ value, up to its first NUL (the whole value when it has
// none); defaultText when the key or value is missing or of another type.
std::string GetRegString(HKEY root, const std::string& keyPath, const std::string& valueName,
                         const std::string& defaultText);

}  // namespace tintmoor::colorfile
