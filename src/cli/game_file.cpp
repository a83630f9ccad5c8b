#include "cli/game_file.h"

#include <algorithm>
#include <cctype>
#include <istream>
#include <ostream>
#include <sstream>

#include "cli/gamefolder.h"
#include "cli/output_file.h"
#include "colorfile/cell_names.h"
#include "colorfile/color_store.h"
#include "colorfile/table_binding.h"
#include "common/file_io.h"
#include "common/text.h"

namespace {

Rgb& At(ColorTable& table, int cell) {
  return table[static_cast<size_t>(cell / kColumns)][static_cast<size_t>(cell % kColumns)];
}
Rgb At(const ColorTable& table, int cell) {
  return table[static_cast<size_t>(cell / kColumns)][static_cast<size_t>(cell % kColumns)];
}

std::string CellLabel(int cell) {
  return std::string(RowCaption(cell / kColumns)) + " " + std::string(ColumnName(cell % kColumns));
}

std::string Colours(int n) { return std::to_string(n) + (n == 1 ? " color" : " colors"); }

StreamTargetCheck gStreamTargetCheck = IsStreamTarget;

}  // namespace

LockWait WaitSaying(CliEnv& env) {
  LockWait wait;
  wait.announce = [&env](const std::string& colorFile) {
    env.err << "Waiting for another program to finish saving " << EscapeControls(colorFile)
            << " ...\n";
    env.err.flush();
  };
  return wait;
}

GameFile LoadGame(const Args& args, CliEnv& env, bool forWriting) {
  GameFile game;
  game.folder = FindDataFolder(args);
  if (!env.fs.IsFolder(game.folder))
    throw TintError("the game's data folder " + game.folder + " does not exist");
  // Another writer of this game's file finishes first, and what it wrote is
  // what this command reads and changes.
  if (forWriting) game.lock = LockGameFiles(env.fs, game.folder, WaitSaying(env));
  game.at = LocateColorFile(env.fs, game.folder);
  game.path = game.source = game.at.path();
  if (!ColorFileExists(env.fs, game.path)) {
    if (!forWriting)
      throw TintError("there is no color file " + game.path +
                      " yet (start Tintmoor once, or write one with: tintmoor-cli apply default)");
    game.source = DefaultColorFilePath(env.fs);
    game.fromDefault = true;
    if (!env.fs.IsFile(game.source))
      throw TintError("there is no color file " + game.path +
                      ", and the program's default color file " + game.source + " is missing too");
  }
  try {
    game.tree = LoadColorTree(env.fs, game.source, game.loaded);
    if (game.fromDefault) game.loaded = {};  // the game's file was not there
  } catch (const ColorFileOverflowError&) {
    throw;
  } catch (const ColorFileError& e) {
    if (!game.fromDefault) throw;
    // The game's file is not what failed: say which one did.
    throw TintError("there is no color file " + game.path +
                    " yet, and the program's default color file that would start it cannot "
                    "be used: " +
                    OneLine(e.what()));
  }
  return game;
}

ColorTable ReadTable(const GameFile& game, CliEnv& env) {
  const auto cells = ReadColorTable(*game.tree);
  for (const std::string& problem : DescribeTableProblems(*game.tree, cells))
    env.err << "warning: " << EscapeControls(game.source + ": " + problem) << '\n';
  ColorTable table{};
  for (int cell = 0; cell < kCells; ++cell)
    At(table, cell) = cells[static_cast<size_t>(cell)].color;
  return table;
}

int WriteTable(const Args& args, CliEnv& env,
               const std::function<ColorTable(const ColorTable&)>& change, bool dryRun,
               const std::function<std::string(int row, int column)>& note) {
  GameFile game = LoadGame(args, env, true);
  if (const std::string missing = DescribeMissingShape(*game.tree); !missing.empty()) {
    if (game.fromDefault)
      throw TintError("the program's default color file " + game.source +
                      " is not whole: " + missing +
                      "; nothing was written (put the playercolors.xml that comes with Tintmoor "
                      "back beside the program)");
    throw TintError("the color file " + game.path + " is not whole: " + missing +
                    "; nothing was written (tintmoor-cli apply default puts the default file "
                    "back)");
  }
  std::ostringstream report;
  if (game.fromDefault)
    report << "There is no " << EscapeControls(game.path)
           << " yet; starting from the default colors.\n";
  const ColorTable current = ReadTable(game, env);
  const ColorTable wanted = change(current);
  const auto texts = CellTexts(*game.tree);
  int changed = 0;
  int rewritten = 0;
  for (int cell = 0; cell < kCells; ++cell) {
    const Rgb from = At(current, cell);
    const Rgb to = At(wanted, cell);
    if (from != to) {
      ++changed;
      report << CellLabel(cell) << ": " << CellText(from) << " -> " << CellText(to)
             << (note ? note(cell / kColumns, cell % kColumns) : "") << '\n';
    } else if (const auto& text = texts[static_cast<size_t>(cell)]; text && *text != CellText(to)) {
      // Not a change of colour, but the file's text changes all the same.
      ++rewritten;
      report << CellLabel(cell) << ": \"" << Shown(*text) << "\" is written as " << CellText(to)
             << '\n';
    }
  }
  std::string count = changed ? Colours(changed) + " changed" : "no color changed";
  if (rewritten) count += ", " + Colours(rewritten) + " rewritten in normal form";
  if (dryRun) {
    env.out << report.str() << count << "; nothing written (--dry-run)\n";
    return kExitOk;
  }
  // The file already says this: rewriting it would only lose what the writer
  // does not keep, make a first .orig and send the game to rebuild its xmb.
  if (!changed && !rewritten && !game.fromDefault) {
    env.out << report.str() << count << "; nothing written\n";
    return kExitOk;
  }
  for (int cell = 0; cell < kCells; ++cell) WriteCell(*game.tree, cell, At(wanted, cell));
  const bool hadXmb =
      env.fs.IsFile(XmbFilePath(game.at.dataFolder)) ||
      (!game.at.virtualFolder.empty() && env.fs.IsFile(XmbFilePath(game.at.virtualFolder)));
  SaveOutcome outcome;
  const GameWrite done = SaveColorTree(env.fs, game.at, *game.tree, game.loaded, &outcome);
  // Nobody waits on this command's output while others wait to save.
  game.lock.reset();
  const std::string written = ColorFilePath(done.folder);
  env.savedTo = written;
  if (done.movedToVirtualStore)
    report << "Windows does not let this program change " << EscapeControls(game.path)
           << "; the colors went into your own copy, which the game reads when you play as "
              "this Windows user.\n";
  if (done.xmbLeft) {
    // Saved, but the xmb stayed: the report is true as far as it goes.
    env.out << report.str() << count << "; wrote " << EscapeControls(written) << '\n';
    throw *done.xmbLeft;
  }
  env.out << report.str() << count << "; wrote " << EscapeControls(written);
  if (hadXmb) env.out << " and deleted " << kXmbFileName;
  env.out << "\nRestart the game to see the new colors.\n";
  if (const std::string notice = DescribeLinesNotKept(done.folder, outcome); !notice.empty())
    env.err << "warning: " << EscapeControls(OneLine(notice)) << '\n';
  return kExitOk;
}

std::string SchemeName(const std::string& file) { return file == "-" ? "standard input" : file; }

ColorTable LoadScheme(const std::string& file, CliEnv& env) {
  std::string text;
  if (file == "-") {
    char buffer[1 << 16];
    while (env.in.read(buffer, sizeof buffer) || env.in.gcount() > 0) {
      const auto got = static_cast<size_t>(env.in.gcount());
      if (got > kMaxColorFileBytes - text.size())
        throw TintError("cannot read the scheme from standard input: " +
                        TooLargeReason(kMaxColorFileBytes));
      text.append(buffer, got);
    }
    return ReadScheme(text, SchemeName(file));
  }
  return LoadSchemeFile(env.fs, file);
}

std::string DataFolderToProtect(const Args& args) {
  try {
    return FindDataFolder(args);
  } catch (const UsageError&) {
    throw;
  } catch (const TintError&) {
    return {};  // no game to be found: none of its files to protect
  }
}

void WriteOutputFile(const std::string& file, std::string_view bytes, const std::string& what,
                     CliEnv& env) {
  if (file == "-") {
    env.out << bytes;
    return;
  }
  // A device or a pipe is written into; renaming a file over it would put a
  // plain file in its place. A link stays a link: its target is written.
  try {
    if (gStreamTargetCheck(file))
      WriteIntoStream(file, bytes);
    else
      env.fs.ReplaceWhole(file, bytes);
  } catch (const FileError& e) {
    throw TintError("cannot write " + what + " " + file + ": " + e.reason());
  }
}

StreamTargetCheck& StreamTargetCheckForTesting() { return gStreamTargetCheck; }
