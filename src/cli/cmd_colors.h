// The colour commands of tintmoor-cli: list, set, export, import, presets,
// apply, check and preview. Each takes its arguments (after the command name) and a
// CliEnv, prints to env.out, reports a failure as one "error: " line on
// env.err, and returns the exit status:
//   0 done; 1 failed (nothing written); 2 a mistake in the command line;
//   4 check found pairs closer than the threshold.
#pragma once

#include <iosfwd>
#include <span>
#include <string>

#include "cli/cli.h"

class ColorFileSystem;

inline constexpr int kExitFailed = kExitFile;
inline constexpr int kExitClosePairs = 4;

// What a command may touch; tests give it string streams and a fake file system.
struct CliEnv {
  std::ostream& out;
  std::ostream& err;
  std::istream& in;  // read by "import -"
  ColorFileSystem& fs;
  bool swatches = false;  // out is a terminal that shows 24-bit colour
};

int CmdList(std::span<const std::string> args, CliEnv& env);
int CmdSet(std::span<const std::string> args, CliEnv& env);
int CmdExport(std::span<const std::string> args, CliEnv& env);
int CmdImport(std::span<const std::string> args, CliEnv& env);
int CmdPresets(std::span<const std::string> args, CliEnv& env);
int CmdApply(std::span<const std::string> args, CliEnv& env);
int CmdCheck(std::span<const std::string> args, CliEnv& env);
// Writes a PNG of the colours as each kind of vision sees them, close pairs framed.
int CmdPreview(std::span<const std::string> args, CliEnv& env);
// Puts playercolors.xml.orig back in place of the game's colour file.
int CmdRestoreOriginal(std::span<const std::string> args, CliEnv& env);

// list, set, export, import, presets, apply and check for the command table.
std::span<const CliCommand> ColorCommands();

// A message of several lines and paragraphs as one line, for "error: ".
std::string OneLine(const std::string& message);
