// Where the game's colour file is: the data folder named on the command line,
// or found the way the window finds it.
#pragma once

#include <string>

#include "cli/args.h"

namespace tintmoor::cli {

// The options every command that reads or writes the game's file accepts.
inline constexpr const char* kDataDirOption = "--data-dir";
inline constexpr const char* kWinePrefixOption = "--wine-prefix";
// Their part of each such command's --help.
extern const char* const kLocationHelp;

// The data folder, ending in the path separator: --data-dir as given;
// --wine-prefix through the prefix's registry; otherwise the host's default
// (the registry on Windows; $WINEPREFIX or ~/.wine elsewhere). Throws TintError
// (UsageError for options that do not go together).
std::string FindDataFolder(const Args& args);

// The host's default, as above.
std::string DefaultDataFolder();

}  // namespace tintmoor::cli
