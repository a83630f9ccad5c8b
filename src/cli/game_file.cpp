#include "cli/game_file.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <istream>
#include <ostream>
#include <sstream>

#include "cli/cell_names.h"
#include "cli/gamefolder.h"
#include "cli/output_file.h"
#include "cli/text.h"
#include "colorfile/color_store.h"
#include "colorfile/table_binding.h"
#include "common/file_io.h"

namespace tintmoor::cli {

namespace fs = std::filesystem;

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

std::string Lower(std::string s) {
  for (char& ch : s) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
  return s;
}

// The file a path names once its symbolic links are followed (a link that
// points nowhere yet names the file that writing it would create). The
// path is UTF-8, which std::filesystem would read in the ANSI code page on
// Windows: it is handed over as UTF-8 explicitly.
std::string FollowLinks(const std::string& given) {
  fs::path path(std::u8string(given.begin(), given.end()));
  std::error_code ec;
  for (int hops = 0; hops < 40 && fs::is_symlink(path, ec); ++hops) {
    const fs::path target = fs::read_symlink(path, ec);
    if (ec) break;
    path = target.is_absolute() ? target : path.parent_path() / target;
  }
  const std::u8string followed = path.u8string();
  return std::string(followed.begin(), followed.end());
}

StreamTargetCheck gStreamTargetCheck = IsStreamTarget;

}  // namespace

colorfile::LockWait WaitSaying(CliEnv& env) {
  colorfile::LockWait wait;
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
                            OneLine(e.what()));
  }
  return game;
}

colorfile::ColorTable ReadTable(const GameFile& game, CliEnv& env) {
  const auto cells = colorfile::ReadColorTable(*game.tree);
  for (const std::string& problem : colorfile::DescribeTableProblems(*game.tree, cells))
    env.err << "warning: " << EscapeControls(game.source + ": " + problem) << '\n';
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
    report << "There is no " << EscapeControls(game.path)
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
      report << CellLabel(cell) << ": \"" << Shown(*text) << "\" is written as "
             << colorfile::CellText(to) << '\n';
    }
  }
  std::string count = Colours(changed) + " changed";
  if (rewritten) count += ", " + Colours(rewritten) + " rewritten in normal form";
  if (dryRun) {
    env.out << report.str() << count << "; nothing written (--dry-run)\n";
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
    report << "Windows does not let this program change " << EscapeControls(game.path)
           << "; the colors went into your own copy, which the game reads when you play as "
              "this Windows user.\n";
  if (done.xmbLeft) {
    // Saved, but the xmb stayed: the report is true as far as it goes.
    env.out << report.str() << count << "; wrote " << EscapeControls(written) << '\n';
    throw *done.xmbLeft;
  }
  env.out << report.str() << count << "; wrote " << EscapeControls(written);
  if (hadXmb) env.out << " and deleted " << colorfile::kXmbFileName;
  env.out << "\nRestart the game to see the new colors.\n";
  if (const std::string notice = colorfile::DescribeLinesNotKept(done.folder, outcome);
      !notice.empty())
    env.err << "warning: " << EscapeControls(OneLine(notice)) << '\n';
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
  } else {
    try {
      text = env.fs.ReadAll(file);
    } catch (const common::FileError& e) {
      throw common::TintError("cannot read the scheme " + file + ": " + e.reason());
    }
  }
  return ReadScheme(text, SchemeName(file));
}

namespace {

bool NamedLikeColorFile(const std::string& name) {
  return Lower(name).starts_with("playercolors.");
}

// The last part of a path: what a file yet to be made would be called.
std::string LastName(const std::string& path) {
#ifdef _WIN32
  const size_t sep = path.find_last_of("\\/:");
#else
  const size_t sep = path.rfind('/');
#endif
  return sep == std::string::npos ? path : path.substr(sep + 1);
}

}  // namespace

std::string DataFolderToProtect(const Args& args) {
  try {
    return FindDataFolder(args);
  } catch (const UsageError&) {
    throw;
  } catch (const common::TintError&) {
    return {};  // no game to be found: none of its files to protect
  }
}

void RefuseColourFiles(const std::string& file, const std::string& dataFolder, CliEnv& env) {
  // Where a link at the end leads, even to a file yet to be made there.
  const std::string target = FollowLinks(file);
  const std::optional<common::FileIdentity> identity = common::IdentityOf(target);
  const std::optional<common::FileIdentity> folder = common::IdentityOf(common::FolderOf(target));
  std::vector<std::string> gameFolders;
  if (!dataFolder.empty()) {
    gameFolders.push_back(dataFolder);
    if (std::string copy = env.fs.VirtualStoreFolderOf(dataFolder); !copy.empty())
      gameFolders.push_back(std::move(copy));
  }
  for (const std::string& gameFolder : gameFolders) {
    const std::optional<common::FileIdentity> gameIdentity = common::IdentityOf(gameFolder);
    bool game = gameIdentity && folder == gameIdentity && NamedLikeColorFile(LastName(target));
    // Another name of one of them: compared with each, the known names too
    // in case the folder cannot be listed.
    if (identity && !game) {
      std::vector<std::string> names = common::FolderEntries(gameFolder);
      names.insert(names.end(), {colorfile::kColorFileName, colorfile::kXmbFileName,
                                 colorfile::kOriginalFileName, colorfile::kLockFileName});
      for (const std::string& name : names)
        game =
            game || (NamedLikeColorFile(name) && common::IdentityOf(gameFolder + name) == identity);
    }
    if (game)
      throw common::TintError(
          file +
          " is one of the game's color files (playercolors.* in its data folder), "
          "which the game reads; choose another file");
  }
  const std::string defaultFile = colorfile::DefaultColorFilePath(env.fs);
  const bool isDefault = (identity && common::IdentityOf(defaultFile) == identity) ||
                         (folder && common::IdentityOf(env.fs.ProgramFolder()) == folder &&
                          Lower(LastName(target)) == colorfile::kColorFileName);
  if (isDefault)
    throw common::TintError(file +
                            " is the program's default color file, which stands in for a missing "
                            "game file; choose another file");
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
