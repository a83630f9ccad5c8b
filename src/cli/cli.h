// The commands of tintmoor-cli. Each group of commands lives in its own file
// and hands its table to AllCommands (command_table.cpp); RunCli dispatches on
// the first argument, parses every command's options the same way, prints
// --help from the tables, and is the one place where what a command throws
// becomes an "error: " line and an exit status.
#pragma once

#include <iosfwd>
#include <span>
#include <string>
#include <vector>

#include "cli/args.h"
#include "common/errors.h"

namespace tintmoor::colorfile {
class ColorFileSystem;
}  // namespace tintmoor::colorfile

namespace tintmoor::cli {

// Exit statuses shared by every command.
enum CliExit : int {
  kExitOk = 0,
  kExitFile = 1,        // failed; the game's files were not written
  kExitUsage = 2,       // bad arguments
  kExitOverflow = 3,    // a 16-bit counter of the markup overflowed
  kExitClosePairs = 4,  // check found players that are hard to tell apart
  kExitSavedBut = 5,    // the colours were saved, but what followed failed
};
inline constexpr int kExitFailed = kExitFile;

// What a command may touch; tests give it string streams and a fake file system.
struct CliEnv {
  std::ostream& out;  // binary: bytes pass unchanged
  std::ostream& err;
  std::istream& in;  // read by "import -" and "--scheme -"
  colorfile::ColorFileSystem& fs;
  bool swatches = false;  // out is a terminal that shows 24-bit colour
  // Set by a command once it has written the game's colour file (the path
  // written): a failure after that is exit status 5, not 1.
  std::string savedTo{};
};

struct CliCommand {
  const char* name;     // "dump"
  const char* args;     // "FILE", shown in --help and after a usage error
  const char* summary;  // one line for --help
  AcceptedArgs accepted;
  const char* help;  // what COMMAND --help prints
  // Reads or writes the game's file: takes the location options, and --help
  // explains them.
  bool findsGame;
  // Runs with the parsed arguments; returns the exit status, throws on failure.
  int (*run)(const Args& args, CliEnv& env);
};

// dump and format (cmd_markup.cpp).
std::span<const CliCommand> MarkupCommands();
// list, set, export, import, presets, apply, check and preview (cmd_colors.cpp).
std::span<const CliCommand> ColorCommands();

// Every command, in the order --help lists them.
std::vector<CliCommand> AllCommands();

// The whole program minus main: args are the arguments after the program name.
int RunCli(const std::vector<std::string>& args, CliEnv& env);
// The same on the real file system and standard input.
int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace tintmoor::cli
