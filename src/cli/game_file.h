// The game's colour file as the colour commands see it: found, read, shown as
// a table and saved through the colour-file library only (the positional
// binding of colorfile/table_binding.h and the safe save of
// colorfile/color_store.h), so the command line and the window's Save can
// never disagree about the file. Also the other files the commands read and
// write: schemes, and the files export and preview write.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "cli/cli.h"
#include "colorfile/color_store.h"
#include "colorfile/game_location.h"
#include "colorfile/scheme.h"
#include "markup/element.h"

namespace tintmoor::cli {

// The colour file as read from the game's data folder.
struct GameFile {
  std::string folder;
  colorfile::ColorFileLocation at;  // the file this user's game reads (a VirtualStore copy, if any)
  std::string path;                 // the game's playercolors.xml: at.path()
  std::string source;               // the file read: path, or the program's default standing in
  std::unique_ptr<markup::Element> tree;
  bool fromDefault = false;  // the game had no colour file: the program's default stands in
  colorfile::LoadedColorFile loaded;           // what the load saw of path, for the save to compare
  std::unique_ptr<colorfile::WriteLock> lock;  // for writing: held from the load until the save
};

// Reads the game's colour file. For a command that writes, the game's lock is
// taken first (saying once on env.err when it waits for another program), and
// a data folder without a colour file gets the program's default file as its
// starting point, as the window's first run does.
GameFile LoadGame(const Args& args, CliEnv& env, bool forWriting);

// How a command waits for the game's lock: a few seconds at most, saying once
// on env.err that it waits, and for which file.
colorfile::LockWait WaitSaying(CliEnv& env);

// The table as the window would show it (grey where a cell cannot be read);
// problems go to env.err as warnings.
colorfile::ColorTable ReadTable(const GameFile& game, CliEnv& env);

// Saves the colours `change` makes of the current ones into the game's file,
// the way the window's Save does: every cell in normal form, the whole file
// replaced safely, then the xmb deleted. Lists each change, and each cell
// whose text the save rewrites in normal form, once the save is done (or
// instead of it, with dryRun), so a failed save prints nothing but its error.
// When no colour changes and no text needs its normal form, nothing is
// written: the file, its .orig and the xmb stay as they are.
// note, when given, adds to the line of each changed colour.
int WriteTable(const Args& args, CliEnv& env,
               const std::function<colorfile::ColorTable(const colorfile::ColorTable&)>& change,
               bool dryRun, const std::function<std::string(int row, int column)>& note = {});

// A scheme read from a file, or from standard input for "-", at most
// kMaxColorFileBytes long.
colorfile::ColorTable LoadScheme(const std::string& file, CliEnv& env);
// How a scheme argument is named: "standard input" for "-".
std::string SchemeName(const std::string& file);

// The game's data folder for RefuseColorFiles: the one the location options
// name, else the one a command would find; empty when none can be found.
std::string DataFolderToProtect(const Args& args);

// Writes bytes to file ("-" for env.out). A regular file (or a new one) is
// replaced whole through a temporary file; a device, FIFO or socket is
// written into as it is; a symbolic link is followed, and its target written.
// Nothing else is created or deleted. Throws TintError naming `what` ("the
// scheme") and the reason.
void WriteOutputFile(const std::string& file, std::string_view bytes, const std::string& what,
                     CliEnv& env);

// The test seam for the kind of a target: whether it is to be written into
// (a device, FIFO or socket) rather than replaced.
using StreamTargetCheck = bool (*)(const std::string& path);
StreamTargetCheck& StreamTargetCheckForTesting();

}  // namespace tintmoor::cli
