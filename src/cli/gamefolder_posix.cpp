// Without a registry of its own, the native build looks for the game in the
// Wine prefix a Linux player would run it in.
#include <cstdlib>

#include "cli/gamefolder.h"
#include "cli/wineprefix.h"

namespace tintmoor::cli {

std::string DefaultDataFolder() {
  if (const char* prefix = std::getenv("WINEPREFIX"); prefix && *prefix)
    return WineDataFolder(prefix);
  const char* home = std::getenv("HOME");
  if (!home || !*home)
    throw common::TintError("cannot tell where the game is: give --data-dir or --wine-prefix");
  return WineDataFolder(std::string(home) + "/.wine");
}

}  // namespace tintmoor::cli
