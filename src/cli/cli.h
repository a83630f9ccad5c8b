// The commands of tintmoor-cli. Each group of commands lives in its own file
// and hands its table to AllCommands (command_table.cpp); RunCli dispatches on
// the first argument, prints --help from the tables, and turns what a command
// throws into one "error: " line and an exit status.
#pragma once

#include <iosfwd>
#include <span>
#include <string>
#include <vector>

#include "common/errors.h"

// Exit statuses shared by every command.
enum CliExit : int {
  kExitOk = 0,
  kExitFile = 1,      // a file cannot be read (or written)
  kExitUsage = 2,     // bad arguments
  kExitOverflow = 3,  // a 16-bit counter overflowed
};

// Thrown by a command whose arguments do not fit its usage.
class UsageError : public TintError {
 public:
  using TintError::TintError;
};

struct CliCommand {
  const char* name;     // "dump"
  const char* args;     // "FILE", shown in --help after the name
  const char* summary;  // one line for --help
  // Runs with the arguments after the command name; returns the exit status.
  // Output goes to out (opened in binary mode), diagnostics to err.
  int (*run)(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
};

// dump and format.
std::span<const CliCommand> MarkupCommands();
// list, set, export, import, presets, apply and check (cmd_colors.cpp).
std::span<const CliCommand> ColorCommands();

// Every command, in the order --help lists them.
std::vector<CliCommand> AllCommands();

// The whole program minus main: args are the arguments after the program name.
int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
