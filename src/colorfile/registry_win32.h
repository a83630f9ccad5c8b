// Reading the game's install path from the registry. The program is 32-bit, so
// HKEY_LOCAL_MACHINE is seen through the 32-bit view, where the 32-bit game
// wrote its key.
#pragma once

#include <windows.h>

#include <string>

// The registry key the game writes at install time.
inline constexpr const char* kGameKeyPath =
    "Software\\Microsoft\\Microsoft Games\\Age of Mythology\\1.0";
inline constexpr const char* kGameInstallValue = "AppPath";

// The text of a REG_SZ value, up to its first NUL (the whole value when it has
// none); defaultText when the key or value is missing or of another type.
std::string GetRegString(HKEY root, const std::string& keyPath, const std::string& valueName,
                         const std::string& defaultText);
