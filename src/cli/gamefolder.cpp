#include "cli/gamefolder.h"

#include "cli/wineprefix.h"
#include "colorfile/color_store.h"

namespace tintmoor::cli {

const char* const kLocationHelp =
    "Where the game's color file is:\n"
    "  --data-dir DIR      the game's data folder (the one holding playercolors.xml)\n"
#ifdef _WIN32
    "  (default: found through the game's registry entry, as the window finds it)\n";
#else
    "  --wine-prefix DIR   the Wine prefix the game is installed in: its \"AppPath\" is\n"
    "                      read from DIR/system.reg and mapped through DIR/dosdevices\n"
    "  (default: the prefix in $WINEPREFIX, or ~/.wine)\n";
#endif

std::string FindDataFolder(const Args& args) {
  const std::string* dataDir = args.Option(kDataDirOption);
  const std::string* prefix = args.Option(kWinePrefixOption);
  if (dataDir && prefix) throw UsageError("give either --data-dir or --wine-prefix, not both");
  if (dataDir) {
    if (dataDir->empty()) throw UsageError("--data-dir needs a folder");
    std::string folder = *dataDir;
    if (folder.back() != '/' && folder.back() != colorfile::kPathSeparator)
      folder += colorfile::kPathSeparator;
    return folder;
  }
  if (prefix) {
#ifdef _WIN32
    throw UsageError(
        "--wine-prefix is for the Linux build; on Windows the game is found "
        "through the registry");
#else
    return WineDataFolder(*prefix);
#endif
  }
  return DefaultDataFolder();
}

}  // namespace tintmoor::cli
