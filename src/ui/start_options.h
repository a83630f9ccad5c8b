// What the program's command line asks for: Tintmoor.exe [--data-dir FOLDER].
// Portable, so the host build tests it.
#pragma once

#include <span>
#include <string>

namespace tintmoor::ui {

struct StartOptions {
  std::string dataFolder;  // --data-dir: the game's data folder for this run; empty: the registry's
  bool help = false;       // --help, -h or /?
  std::string mistake;     // what is wrong with the command line; empty when nothing
};

// args: the arguments after the program's name.
StartOptions ParseStartOptions(std::span<const std::string> args);

// What --help shows, and a mistake's box after its first line.
inline constexpr const char* kStartUsage =
    "Usage: Tintmoor.exe [--data-dir FOLDER]\r\n\r\n"
    "Tintmoor changes the player colors of Age of Mythology. It finds the game "
    "through the game's registry entry; --data-dir names the game's data folder "
    "(the one holding playercolors.xml) instead, for this run. Open Game Folder... "
    "in the File menu does the same from the window.";

}  // namespace tintmoor::ui
