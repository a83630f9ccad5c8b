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

namespace tintmoor::cli {

namespace {

colorfile::Rgb& At(colorfile::ColorTable& table, int cell) {
  return table[static_cast<size_t>(cell / colorfile::kColumns)]
              [static_cast<size_t>(cell % colorfile::kColumns)];
}
colorfile::Rgb At(const colorfile::ColorTable& table, int cell) {
  return table[static_cast<size_t>(cell / colorfile::kColumns)]
              [static_cast<size_t>(cell % colorfile::kColumns)];
}

std::string CellLabel(int cell) {
  return std::string(colorfile::RowCaption(cell / colorfile::kColumns)) + " " +
         std::string(colorfile::ColumnName(cell % colorfile::kColumns));
}

std::string Colours(int n) { return std::to_string(n) + (n == 1 ? " color" : " colors"); }

StreamTargetCheck gStreamTargetCheck = IsStreamTarget;

}  // namespace

colorfile::LockWait WaitSaying(CliEnv& env) {
  colorfile::LockWait wait;
  wait.announce = [&env](const std::string& colorFile) {
    env.err << "Waiting for another program to finish saving " << common::EscapeControls(colorFile)
            << " ...\n";
    env.err.flush();
  };
  return wait;
}

GameFile LoadGame(const Args& args, CliEnv& env, bool forWriting) {
  GameFile game;
  game.folder = FindDataFolder(args);
  if (!env.fs.IsFolder(game.folder))
    throw common::TintError("the game's data folder " + game.folder + " does not exist");
  // Another writer of this game's file finishes first, and what it wrote is
  // what this command reads and changes.
  if (forWriting) game.lock = colorfile::LockGameFiles(env.fs, game.folder, WaitSaying(env));
  game.at = colorfile::LocateColorFile(env.fs, game.folder);
  game.path = game.source = game.at.path();
  if (!colorfile::ColorFileExists(env.fs, game.path)) {
    if (!forWriting)
      throw common::TintError(
          "there is no color file " + game.path +
          " yet (start Tintmoor once, or write one with: tintmoor-cli apply default)");
    game.source = colorfile::DefaultColorFilePath(env.fs);
    game.fromDefault = true;
    if (!env.fs.IsFile(game.source))
      throw common::TintError("there is no color file " + game.path +
                              ", and the program's default color file " + game.source +
                              " is missing too");
  }
  try {
    game.tree = colorfile::LoadColorTree(env.fs, game.source, game.loaded);
    if (game.fromDefault) game.loaded = {};  // the game's file was not there
  } catch (const colorfile::ColorFileOverflowError&) {
    throw;
  } catch (const colorfile::ColorFileError& e) {
    if (!game.fromDefault) throw;
    // The game's file is not what failed: say which one did.
    throw common::TintError("there is no color file " + game.path +
                            " yet, and the program's default color file that would start it cannot "
                            "be used: " +
                            common::OneLine(e.what()));
  }
  return game;
}

colorfile::ColorTable ReadTable(const GameFile& game, CliEnv& env) {
  const auto cells = colorfile::ReadColorTable(*game.tree);
  for (const std::string& problem : colorfile::DescribeTableProblems(*game.tree, cells))
    env.err << "warning: " << common::EscapeControls(game.source + ": " + problem) << '\n';
  colorfile::ColorTable table{};
  for (int cell = 0; cell < colorfile::kCells; ++cell)
    At(table, cell) = cells[static_cast<size_t>(cell)].color;
  return table;
}

int WriteTable(const Args& args, CliEnv& env,
               const std::function<colorfile::ColorTable(const colorfile::ColorTable&)>& change,
               bool dryRun, const std::function<std::string(int row, int column)>& note) {
  GameFile game = LoadGame(args, env, true);
  if (const std::string missing = colorfile::DescribeMissingShape(*game.tree); !missing.empty()) {
    if (game.fromDefault)
      throw common::TintError(
          "the program's default color file " + game.source + " is not whole: " + missing +
          "; nothing was written (put the playercolors.xml that comes with Tintmoor "
          "back beside the program)");
    throw common::TintError(
        "the color file " + game.path + " is not whole: " + missing +
        "; nothing was written (tintmoor-cli apply default puts the default file "
        "back)");
  }
  std::ostringstream report;
  if (game.fromDefault)
    report << "There is no " << common::EscapeControls(game.path)
           << " yet; starting from the default colors.\n";
  const colorfile::ColorTable current = ReadTable(game, env);
  const colorfile::ColorTable wanted = change(current);
  const auto texts = colorfile::CellTexts(*game.tree);
  int changed = 0;
  int rewritten = 0;
  for (int cell = 0; cell < colorfile::kCells; ++cell) {
    const colorfile::Rgb from = At(current, cell);
    const colorfile::Rgb to = At(wanted, cell);
    if (from != to) {
      ++changed;
      report << CellLabel(cell) << ": " << colorfile::CellText(from) << " -> "
             << colorfile::CellText(to)
             << (note ? note(cell / colorfile::kColumns, cell % colorfile::kColumns) : "") << '\n';
    } else if (const auto& text = texts[static_cast<size_t>(cell)];
               text && *text != colorfile::CellText(to)) {
      // Not a change of colour, but the file's text changes all the same.
      ++rewritten;
      report << CellLabel(cell) << ": \"" << common::Shown(*text) << "\" is written as "
             << colorfile::CellText(to) << '\n';
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
  for (int cell = 0; cell < colorfile::kCells; ++cell)
    colorfile::WriteCell(*game.tree, cell, At(wanted, cell));
  const bool hadXmb = env.fs.IsFile(colorfile::XmbFilePath(game.at.dataFolder)) ||
                      (!game.at.virtualFolder.empty() &&
                       env.fs.IsFile(colorfile::XmbFilePath(game.at.virtualFolder)));
  colorfile::SaveOutcome outcome;
  const colorfile::GameWrite done =
      colorfile::SaveColorTree(env.fs, game.at, *game.tree, game.loaded, &outcome);
  // Nobody waits on this command's output while others wait to save.
  game.lock.reset();
  const std::string written = colorfile::ColorFilePath(done.folder);
  env.savedTo = written;
  if (done.movedToVirtualStore)
    report << "Windows does not let this program change " << common::EscapeControls(game.path)
           << "; the colors went into your own copy, which the game reads when you play as "
              "this Windows user.\n";
  if (done.xmbLeft) {
    // Saved, but the xmb stayed: the report is true as far as it goes.
    env.out << report.str() << count << "; wrote " << common::EscapeControls(written) << '\n';
    throw *done.xmbLeft;
  }
  env.out << report.str() << count << "; wrote " << common::EscapeControls(written);
  if (hadXmb) env.out << " and deleted " << colorfile::kXmbFileName;
  env.out << "\nRestart the game to see the new colors.\n";
  if (const std::string notice = colorfile::DescribeLinesNotKept(done.folder, outcome);
      !notice.empty())
    env.err << "warning: " << common::EscapeControls(common::OneLine(notice)) << '\n';
  return kExitOk;
}

std::string SchemeName(const std::string& file) { return file == "-" ? "standard input" : file; }

colorfile::ColorTable LoadScheme(const std::string& file, CliEnv& env) {
  std::string text;
  if (file == "-") {
    char buffer[1 << 16];
    while (env.in.read(buffer, sizeof buffer) || env.in.gcount() > 0) {
      const auto got = static_cast<size_t>(env.in.gcount());
      if (got > colorfile::kMaxColorFileBytes - text.size())
        throw common::TintError("cannot read the scheme from standard input: " +
                                common::TooLargeReason(colorfile::kMaxColorFileBytes));
      text.append(buffer, got);
    }
    return colorfile::ReadScheme(text, SchemeName(file));
  }
  return colorfile::LoadSchemeFile(env.fs, file);
}

std::string DataFolderToProtect(const Args& args) {
  try {
    return FindDataFolder(args);
  } catch (const UsageError&) {
    throw;
  } catch (const common::TintError&) {
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
  } catch (const common::FileError& e) {
    throw common::TintError("cannot write " + what + " " + file + ": " + e.reason());
  }
}

StreamTargetCheck& StreamTargetCheckForTesting() { return gStreamTargetCheck; }

}  // namespace tintmoor::cli
