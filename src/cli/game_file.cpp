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

namespace fs = std::filesystem;

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

std::string Colours(int n) { return std::to_string(n) + (n == 1 ? " colour" : " colours"); }

std::string Lower(std::string s) {
  for (char& ch : s) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
  return s;
}

// The file a path names once its symbolic links are followed (a link that
// points nowhere yet names the file that writing it would create).
fs::path FollowLinks(fs::path path) {
  std::error_code ec;
  for (int hops = 0; hops < 40 && fs::is_symlink(path, ec); ++hops) {
    const fs::path target = fs::read_symlink(path, ec);
    if (ec) break;
    path = target.is_absolute() ? target : path.parent_path() / target;
  }
  return path;
}

StreamTargetCheck gStreamTargetCheck = IsStreamTarget;

}  // namespace

GameFile LoadGame(const Args& args, CliEnv& env, bool forWriting) {
  GameFile game;
  game.folder = FindDataFolder(args);
  // Another writer of this game's file finishes first, and what it wrote is
  // what this command reads and changes.
  if (forWriting) game.lock = env.fs.LockFolder(game.folder);
  game.at = LocateColorFile(env.fs, game.folder);
  game.path = game.source = game.at.path();
  if (!env.fs.IsFolder(game.folder))
    throw TintError("the game's data folder " + game.folder + " does not exist");
  if (!env.fs.IsFile(game.path)) {
    if (!forWriting)
      throw TintError("there is no colour file " + game.path +
                      " yet (start Tintmoor once, or write one with: tintmoor-cli apply default)");
    game.source = DefaultColorFilePath(env.fs);
    game.fromDefault = true;
    if (!env.fs.IsFile(game.source))
      throw TintError("there is no colour file " + game.path +
                      ", and the program's default colour file " + game.source + " is missing too");
  }
  try {
    game.tree = LoadColorTree(env.fs, game.source, game.loaded);
    if (game.fromDefault) game.loaded = {};  // the game's file was not there
  } catch (const ColorFileOverflowError&) {
    throw;
  } catch (const ColorFileError& e) {
    if (!game.fromDefault) throw;
    // The game's file is not what failed: say which one did.
    throw TintError("there is no colour file " + game.path +
                    " yet, and the program's default colour file that would start it cannot "
                    "be used: " +
                    OneLine(e.what()));
  }
  return game;
}

ColorTable ReadTable(const GameFile& game, CliEnv& env) {
  const auto cells = ReadColorTable(*game.tree);
  for (const std::string& problem : DescribeTableProblems(*game.tree, cells))
    env.err << "warning: " << game.source << ": " << problem << '\n';
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
      throw TintError("the program's default colour file " + game.source +
                      " is not whole: " + missing +
                      "; nothing was written (put the playercolors.xml that comes with Tintmoor "
                      "back beside the program)");
    throw TintError("the colour file " + game.path + " is not whole: " + missing +
                    "; nothing was written (tintmoor-cli apply default puts the default file "
                    "back)");
  }
  std::ostringstream report;
  if (game.fromDefault)
    report << "There is no " << game.path << " yet; starting from the default colours.\n";
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
  std::string count = Colours(changed) + " changed";
  if (rewritten) count += ", " + Colours(rewritten) + " rewritten in normal form";
  if (dryRun) {
    env.out << report.str() << count << "; nothing written (--dry-run)\n";
    return kExitOk;
  }
  for (int cell = 0; cell < kCells; ++cell) WriteCell(*game.tree, cell, At(wanted, cell));
  const bool hadXmb =
      env.fs.IsFile(XmbFilePath(game.at.dataFolder)) ||
      (!game.at.virtualFolder.empty() && env.fs.IsFile(XmbFilePath(game.at.virtualFolder)));
  SaveOutcome outcome;
  const GameWrite done = SaveColorTree(env.fs, game.at, *game.tree, game.loaded, &outcome);
  const std::string written = ColorFilePath(done.folder);
  if (done.movedToVirtualStore)
    report << "Windows does not let this program change " << game.path
           << "; the colours went into your own copy, which the game reads when you play as "
              "this Windows user.\n";
  if (done.xmbLeft) {
    // Saved, but the xmb stayed: the report is true as far as it goes.
    env.out << report.str() << count << "; wrote " << written << '\n';
    throw *done.xmbLeft;
  }
  env.out << report.str() << count << "; wrote " << written;
  if (hadXmb) env.out << " and deleted " << kXmbFileName;
  env.out << "\nRestart the game to see the new colours.\n";
  if (const std::string notice = DescribeLinesNotKept(done.folder, outcome); !notice.empty())
    env.err << "warning: " << OneLine(notice) << '\n';
  env.out.flush();
  if (!env.out)
    throw SavedButError("the new colours are in " + game.path +
                        ", but the report of the changes could not be written to standard output");
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
  } else {
    try {
      text = env.fs.ReadAll(file);
    } catch (const FileError& e) {
      throw TintError("cannot read the scheme " + file + ": " + e.reason());
    }
  }
  return ReadScheme(text, SchemeName(file));
}

namespace {

// The same file or folder: by identity where the system tells it, else by the
// absolute path with "." and ".." resolved (and, on Windows, in any case).
bool SamePlace(const fs::path& a, const fs::path& b) {
  std::error_code ec;
  if (fs::equivalent(a, b, ec)) return true;
  auto normal = [](const fs::path& p) {
    std::error_code e;
    std::string s = fs::absolute(p, e).lexically_normal().string();
    while (s.size() > 1 && (s.back() == '/' || s.back() == '\\')) s.pop_back();
#ifdef _WIN32
    for (char& c : s)
      c = c == '/' ? '\\' : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
#endif
    return s;
  };
  return normal(a) == normal(b);
}

}  // namespace

void RefuseColourFiles(const std::string& file, const std::string& dataFolder, CliEnv& env) {
  const fs::path target = FollowLinks(file);
  const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
  if (!dataFolder.empty() && Lower(target.filename().string()).starts_with("playercolors.") &&
      SamePlace(folder, dataFolder))
    throw TintError(file +
                    " is one of the game's colour files (playercolors.* in its data folder), "
                    "which the game reads; choose another file");
  if (SamePlace(target, DefaultColorFilePath(env.fs)))
    throw TintError(file +
                    " is the program's default colour file, which stands in for a missing "
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
  const std::string target = FollowLinks(file).string();
  try {
    if (gStreamTargetCheck(target))
      WriteIntoStream(target, bytes);
    else
      env.fs.ReplaceWhole(target, bytes);
  } catch (const FileError& e) {
    throw TintError("cannot write " + what + " " + file + ": " + e.reason());
  }
}

StreamTargetCheck& StreamTargetCheckForTesting() { return gStreamTargetCheck; }
