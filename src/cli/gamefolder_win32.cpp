// On Windows the game is found as the window finds it: "AppPath" under the
// game's key in HKEY_LOCAL_MACHINE (32-bit view), then its "data" folder.
#include "cli/gamefolder.h"
#include "colorfile/registry_win32.h"

std::string DefaultDataFolder() {
  std::string path = GetRegString(HKEY_LOCAL_MACHINE, kGameKeyPath, kGameInstallValue, "");
  if (path.empty())
    throw TintError(
        "cannot find the folder where AoM is installed (no \"AppPath\" in the "
        "registry); give --data-dir");
  if (path.back() != '\\') path += '\\';
  return path + "data\\";
}
