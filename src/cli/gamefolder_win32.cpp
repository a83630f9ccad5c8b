// On Windows the game is found as the window finds it: "AppPath" under the
// game's key in HKEY_LOCAL_MACHINE (32-bit view), then its "data" folder.
#include "cli/gamefolder.h"
#include "colorfile/game_location.h"

namespace tintmoor::cli {

std::string DefaultDataFolder() {
  const std::string folder =
      colorfile::DataFolderOfInstall(colorfile::SystemGameRegistry().InstallFolder());
  if (folder.empty())
    throw common::TintError(
        "cannot find the folder where AoM is installed (no \"AppPath\" in the "
        "registry); give --data-dir");
  return folder;
}

}  // namespace tintmoor::cli
