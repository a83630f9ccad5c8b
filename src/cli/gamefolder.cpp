#include "cli/gamefolder.h"

#include "cli/wineprefix.h"
#include "colorfile/color_store.h"

std::string FindDataFolder(const Args& args) {
  const std::string* dataDir = args.Option(kDataDirOption);
  const std::string* prefix = args.Option(kWinePrefixOption);
  if (dataDir && prefix) throw UsageError("give either --data-dir or --wine-prefix, not both");
  if (dataDir) {
    if (dataDir->empty()) throw UsageError("--data-dir needs a folder");
    std::string folder = *dataDir;
    if (folder.back() != '/' && folder.back() != kPathSeparator) folder += kPathSeparator;
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
