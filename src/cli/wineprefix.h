// Finding the game inside a Wine prefix from the Linux side: the game's
// "AppPath" read from the prefix's system.reg, and the Windows path mapped to
// a host path through the prefix's dosdevices.
//
// system.reg is Wine's text dump of HKEY_LOCAL_MACHINE:
//   [Software\\Wow6432Node\\Microsoft\\...\\1.0] 1700000000   key, with a time stamp
//   #time=1d9...                                             metadata, ignored
//   "AppPath"="C:\\Games\\AoM\\"                             REG_SZ
//   "Other"=str(2):"%ProgramFiles%"                          REG_EXPAND_SZ
//   "Bytes"=hex(1):43,00,3a,00,00,00                         a type in hex, any type
//   "Count"=dword:00000001
// Key names and strings escape '\' as "\\" (and ']' or '"' after a backslash),
// control characters as \n \r \t \a \b \e \f \v or octal, and characters past
// ASCII as \x followed by up to four hex digits (a UTF-16 code unit). Hex data
// may continue over lines ending in '\'. Names compare without regard to case.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "common/errors.h"

namespace tintmoor::cli {

// Registry value types as Windows numbers them.
inline constexpr int kRegSz = 1;
inline constexpr int kRegExpandSz = 2;

struct RegValue {
  int type = 0;      // kRegSz, kRegExpandSz, 4 for dword, 3 for plain hex ...
  std::string text;  // for the string types: UTF-8, up to the first NUL
};

// The value under key (relative to HKEY_LOCAL_MACHINE) in system.reg text;
// nullopt when the key or value is not there.
std::optional<RegValue> FindRegValue(std::string_view regText, std::string_view keyPath,
                                     std::string_view valueName);

// The game's "AppPath" in the prefix, read as the 32-bit program reads it: the
// Wow6432Node view of a 64-bit prefix first, then the plain key. Throws
// TintError when system.reg is unreadable or holds no usable value.
std::string WineAppPath(const std::string& prefix);

// The host path of an absolute Windows path ("C:\Games\AoM") in the prefix:
// the drive through dosdevices/<letter>:, then each component as it is found
// in the folder, whatever its case. Components that do not exist are kept as
// written; ".." stops at the drive's folder, as on Windows, so the result
// always lies under it. Throws TintError for a path without a drive letter.
std::string MapWinePath(const std::string& prefix, std::string_view windowsPath);

// The game's data folder in the prefix, ending in '/'.
std::string WineDataFolder(const std::string& prefix);

}  // namespace tintmoor::cli
