// The colour commands. Reading and writing the game's file goes through the
// colour-file library only: the positional binding of colorfile/colortable.h
// and the safe save of colorfile/color_store.h (temporary file, replace, then
// delete the xmb), so the command line and the window's Save can never
// disagree about the file.
#include "cli/cmd_colors.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <iostream>
#include <istream>
#include <iterator>
#include <memory>
#include <ostream>
#include <sstream>

#include "cli/args.h"
#include "cli/check_report.h"
#include "cli/gamefolder.h"
#include "cli/preview_png.h"
#include "cli/scheme.h"
#include "cli/terminal.h"
#include "colorfile/color_store.h"
#include "colorfile/game_location.h"
#include "colorfile/presets.h"
#include "colorfile/table_binding.h"

namespace {

const char* const kLocationHelp =
    "Where the game's colour file is:\n"
    "  --data-dir DIR      the game's data folder (the one holding playercolors.xml)\n"
#ifdef _WIN32
    "  (default: found through the game's registry entry, as the window finds it)\n";
#else
    "  --wine-prefix DIR   the Wine prefix the game is installed in: its \"AppPath\" is\n"
    "                      read from DIR/system.reg and mapped through DIR/dosdevices\n"
    "  (default: the prefix in $WINEPREFIX, or ~/.wine)\n";
#endif

const AcceptedArgs kLocationArgs{{kDataDirOption, kWinePrefixOption}, {}};

AcceptedArgs WithLocation(AcceptedArgs accepted) {
  accepted.options.insert(accepted.options.end(), kLocationArgs.options.begin(),
                          kLocationArgs.options.end());
  return accepted;
}

// The colour file as read from the game's data folder.
struct GameFile {
  ColorFileLocation at;  // the file this user's game reads (a VirtualStore copy, if any)
  std::string folder;
  std::string path;
  std::unique_ptr<markup::Element> tree;
  bool fromDefault = false;  // the game had no colour file: the program's default stands in
};

// Reads the game's colour file. For a command that writes, a data folder
// without one gets the program's default file as its starting point, as the
// window's first run does.
GameFile LoadGame(const Args& args, CliEnv& env, bool forWriting) {
  GameFile game;
  game.folder = FindDataFolder(args);
  game.at = LocateColorFile(env.fs, game.folder);
  game.path = game.at.path();
  if (!env.fs.IsFolder(game.folder))
    throw TintError("the game's data folder " + game.folder + " does not exist");
  std::string source = game.path;
  if (!env.fs.IsFile(game.path)) {
    if (!forWriting)
      throw TintError("there is no colour file " + game.path +
                      " yet (start Tintmoor once, or write one with: tintmoor-cli apply default)");
    source = DefaultColorFilePath(env.fs);
    game.fromDefault = true;
    if (!env.fs.IsFile(source))
      throw TintError("there is no colour file " + game.path +
                      ", and the program's default colour file " + source + " is missing too");
  }
  game.tree = LoadColorTree(env.fs, source);
  return game;
}

Rgb ToRgb(int32_t color) {
  return {static_cast<uint8_t>(GetRed(color)), static_cast<uint8_t>(GetGreen(color)),
          static_cast<uint8_t>(GetBlue(color))};
}

int32_t ToColor(Rgb c) { return ComposeColor(c.r, c.g, c.b); }

// The table as the window would show it (grey where a cell cannot be read);
// problems go to env.err as warnings.
ColorTable ReadTable(const GameFile& game, CliEnv& env) {
  const auto cells = ReadColorTable(*game.tree);
  for (const std::string& problem : DescribeTableProblems(*game.tree, cells))
    env.err << "warning: " << game.path << ": " << problem << '\n';
  ColorTable table{};
  for (int cell = 0; cell < kCells; ++cell)
    table[static_cast<size_t>(cell / kColumns)][static_cast<size_t>(cell % kColumns)] =
        ToRgb(cells[static_cast<size_t>(cell)].color);
  return table;
}

std::string CellLabel(int row, int column) {
  return std::string(RowCaption(row)) + " " + std::string(ColumnName(column));
}

// Saves the colours `change` makes of the current ones into the game's file,
// the way the window's Save does: every cell in normal form, the whole file
// replaced safely, then the xmb deleted.
int WriteTable(const Args& args, CliEnv& env,
               const std::function<ColorTable(const ColorTable&)>& change, bool dryRun) {
  GameFile game = LoadGame(args, env, true);
  if (const std::string missing = DescribeMissingShape(*game.tree); !missing.empty())
    throw TintError("the colour file " + game.path + " is not whole: " + missing +
                    "; nothing was written (tintmoor-cli apply default puts the default file "
                    "back)");
  if (game.fromDefault)
    env.out << "There is no " << game.path << " yet; starting from the default colours.\n";
  const ColorTable current = ReadTable(game, env);
  const ColorTable wanted = change(current);
  int changed = 0;
  for (int cell = 0; cell < kCells; ++cell) {
    const int row = cell / kColumns;
    const int column = cell % kColumns;
    const Rgb from = current[static_cast<size_t>(row)][static_cast<size_t>(column)];
    const Rgb to = wanted[static_cast<size_t>(row)][static_cast<size_t>(column)];
    if (from == to) continue;
    ++changed;
    env.out << CellLabel(row, column) << ": " << FormatRgb(from) << " -> " << FormatRgb(to) << '\n';
  }
  const std::string count =
      std::to_string(changed) + (changed == 1 ? " colour" : " colours") + " changed";
  if (dryRun) {
    env.out << count << "; nothing written (--dry-run)\n";
    return kExitOk;
  }
  for (int cell = 0; cell < kCells; ++cell)
    WriteCell(
        *game.tree, cell,
        ToColor(
            wanted[static_cast<size_t>(cell / kColumns)][static_cast<size_t>(cell % kColumns)]));
  const bool hadXmb =
      env.fs.IsFile(XmbFilePath(game.folder)) ||
      (!game.at.virtualFolder.empty() && env.fs.IsFile(XmbFilePath(game.at.virtualFolder)));
  const GameWrite done = SaveColorTree(env.fs, game.at, *game.tree);
  if (done.xmbLeft) throw *done.xmbLeft;
  if (done.movedToVirtualStore)
    env.out << "Windows does not let this program change " << game.path
            << "; the colours went into your own copy, which the game reads when you play as "
               "this Windows user.\n";
  env.out << count << "; wrote " << ColorFilePath(done.folder);
  if (hadXmb) env.out << " and deleted " << kXmbFileName;
  env.out << "\nRestart the game to see the new colours.\n";
  return kExitOk;
}

std::string JsonString(const std::string& s) {
  std::string out = "\"";
  for (char ch : s) {
    const auto u = static_cast<unsigned char>(ch);
    if (ch == '"' || ch == '\\') {
      out += '\\';
      out += ch;
    } else if (u < 0x20) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\u%04x", u);
      out += buf;
    } else {
      out += ch;
    }
  }
  return out + "\"";
}

std::string Swatch(Rgb c) {
  return "\x1b[48;2;" + std::to_string(c.r) + ";" + std::to_string(c.g) + ";" +
         std::to_string(c.b) + "m  \x1b[0m ";
}

std::string Pad(std::string s, size_t width) {
  if (s.size() < width) s.append(width - s.size(), ' ');
  return s;
}

// Runs a command body, turning what it throws into the one-line report and
// exit status; --help prints the command's help instead.
template <class Body>
int Run(std::span<const std::string> args, const AcceptedArgs& accepted, const char* help,
        CliEnv& env, Body body) {
  try {
    const Args parsed = ParseArgs(args, accepted);
    if (parsed.Has("--help")) {
      env.out << help;
      return kExitOk;
    }
    return body(parsed);
  } catch (const UsageError& e) {
    env.err << "error: " << OneLine(e.what()) << " (see --help)\n";
    return kExitUsage;
  } catch (const std::exception& e) {
    env.err << "error: " << OneLine(e.what()) << '\n';
    return kExitFailed;
  }
}

void ExpectPositionals(const Args& args, size_t count, const char* usage) {
  if (args.positionals.size() != count)
    throw UsageError(std::string(args.positionals.size() < count ? "too few" : "too many") +
                     " arguments; usage: " + usage);
}

// Reads a scheme from a file, or from standard input for "-".
ColorTable LoadScheme(const std::string& file, CliEnv& env) {
  std::string text;
  if (file == "-") {
    text.assign(std::istreambuf_iterator<char>(env.in), std::istreambuf_iterator<char>());
  } else {
    try {
      text = env.fs.ReadAll(file);
    } catch (const FileError& e) {
      throw TintError("cannot read the scheme " + file + ": " + e.reason());
    }
  }
  return ReadScheme(text, file == "-" ? "standard input" : file);
}

const char* const kListHelp =
    "usage: tintmoor-cli list [--format text|csv|json] [location options]\n"
    "\n"
    "Shows the game's 39 player colours: a row for Gaia and each of Player 1 to\n"
    "Player 12, three colours each, as red green blue (0 to 255). In a terminal\n"
    "that shows 24-bit colour, a swatch stands beside each colour.\n"
    "\n"
    "  --format FORMAT     text (the default), csv or json\n";

const char* const kSetHelp =
    "usage: tintmoor-cli set ROW COLUMN R G B [--dry-run] [location options]\n"
    "\n"
    "Changes one colour and saves the file as the window's Save does: the new file\n"
    "replaces the old one only once it is completely written, and playercolors.xmb\n"
    "is deleted so that the game reads the new colours.\n"
    "\n"
    "  ROW       0 to 12, or its caption: Gaia, \"Player 1\" ... \"Player 12\"\n"
    "  COLUMN    0 to 2, or unit (highlight, unit, HP bar and waypoint flag),\n"
    "            minimap, dead\n"
    "  R G B     red, green and blue, 0 to 255\n"
    "  --dry-run show the change without writing anything\n";

const char* const kExportHelp =
    "usage: tintmoor-cli export FILE [location options]\n"
    "\n"
    "Writes the game's colours to FILE as a colour scheme (\"-\" for standard\n"
    "output): a text file with one line per row, the row's caption and its three\n"
    "colours, that you can edit and share and read back with import.\n";

const char* const kImportHelp =
    "usage: tintmoor-cli import FILE [--dry-run] [location options]\n"
    "\n"
    "Reads a colour scheme from FILE (\"-\" for standard input) and saves its\n"
    "colours into the game's file, as set does. A scheme with a missing or\n"
    "malformed row is refused, naming the line, and nothing is written.\n"
    "\n"
    "  --dry-run show the changes without writing anything\n";

const char* const kPresetsHelp =
    "usage: tintmoor-cli presets\n"
    "\n"
    "Lists the built-in colour schemes that apply can write.\n";

const char* const kApplyHelp =
    "usage: tintmoor-cli apply NAME [--dry-run] [location options]\n"
    "\n"
    "Saves the built-in scheme NAME (see presets) into the game's file, as set does.\n"
    "\n"
    "  --dry-run show the changes without writing anything\n";

const char* const kCheckHelp =
    "usage: tintmoor-cli check [--threshold N] [--preset NAME | --scheme FILE]\n"
    "                          [location options]\n"
    "\n"
    "Checks that players can tell each other apart: for the 13 unit colours and\n"
    "the 13 minimap colours, the perceptual distance (CIEDE2000) of every pair, for\n"
    "normal vision and as seen with protanopia, deuteranopia and tritanopia. Lists\n"
    "every pair closer than the threshold, closest first, with the vision it fails\n"
    "under. Exit status 0 when no pair is closer, 4 when some are.\n"
    "\n"
    "  --threshold N   the smallest distance accepted (default 10; about 1 is\n"
    "                  just noticeable for colours side by side)\n"
    "  --preset NAME   check a built-in scheme instead of the game's colours\n"
    "  --scheme FILE   check a scheme file instead of the game's colours\n";

std::string WithLocationHelp(const char* help) { return std::string(help) + "\n" + kLocationHelp; }

}  // namespace

std::string OneLine(const std::string& message) {
  std::string out;
  size_t pos = 0;
  bool paragraph = false;
  while (pos <= message.size()) {
    size_t end = message.find('\n', pos);
    if (end == std::string::npos) end = message.size();
    std::string line = message.substr(pos, end - pos);
    pos = end + 1;
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
    while (!line.empty() && line.front() == ' ') line.erase(0, 1);
    if (line.empty()) {
      paragraph = !out.empty();
      continue;
    }
    if (!out.empty()) {
      const char last = out.back();
      if (paragraph && last != '.' && last != ':' && last != '!' && last != '?') out += '.';
      out += ' ';
    }
    out += line;
    paragraph = false;
  }
  return out;
}

int CmdList(std::span<const std::string> args, CliEnv& env) {
  const std::string help = WithLocationHelp(kListHelp);
  return Run(args, WithLocation({{"--format"}, {}}), help.c_str(), env, [&](const Args& a) {
    ExpectPositionals(a, 0, "tintmoor-cli list [--format text|csv|json]");
    const std::string format = a.Option("--format") ? *a.Option("--format") : "text";
    if (format != "text" && format != "csv" && format != "json")
      throw UsageError("unknown format \"" + format + "\" (text, csv or json)");
    const GameFile game = LoadGame(a, env, false);
    const ColorTable table = ReadTable(game, env);
    if (format == "csv") {
      env.out << "row,caption";
      for (int c = 0; c < kColumns; ++c)
        for (const char* part : {"_r", "_g", "_b"}) env.out << ',' << ColumnName(c) << part;
      env.out << "\r\n";
      for (int r = 0; r < kRows; ++r) {
        env.out << r << ',' << RowCaption(r);
        for (Rgb c : table[static_cast<size_t>(r)])
          env.out << ',' << int{c.r} << ',' << int{c.g} << ',' << int{c.b};
        env.out << "\r\n";
      }
    } else if (format == "json") {
      env.out << "{\n  \"file\": " << JsonString(game.path) << ",\n  \"columns\": [";
      for (int c = 0; c < kColumns; ++c)
        env.out << (c ? ", " : "") << "{\"name\": \"" << ColumnName(c)
                << "\", \"caption\": " << JsonString(std::string(ColumnCaption(c))) << "}";
      env.out << "],\n  \"rows\": [\n";
      for (int r = 0; r < kRows; ++r) {
        env.out << "    {\"row\": " << r << ", \"caption\": \"" << RowCaption(r) << "\"";
        for (int c = 0; c < kColumns; ++c) {
          const Rgb v = table[static_cast<size_t>(r)][static_cast<size_t>(c)];
          env.out << ", \"" << ColumnName(c) << "\": [" << int{v.r} << ", " << int{v.g} << ", "
                  << int{v.b} << "]";
        }
        env.out << "}" << (r + 1 < kRows ? "," : "") << "\n";
      }
      env.out << "  ]\n}\n";
    } else {
      env.out << game.path << "\n\n";
      for (int c = 0; c < kColumns; ++c)
        env.out << Pad(std::string(ColumnName(c)) + ":", 9) << ColumnCaption(c) << '\n';
      env.out << '\n';
      const size_t cellWidth = env.swatches ? 16 : 13;
      env.out << Pad("Row", 11);
      for (int c = 0; c < kColumns; ++c)
        env.out << (c + 1 < kColumns ? Pad(std::string(ColumnName(c)), cellWidth)
                                     : std::string(ColumnName(c)));
      env.out << '\n';
      for (int r = 0; r < kRows; ++r) {
        env.out << Pad(std::string(RowCaption(r)), 11);
        for (int c = 0; c < kColumns; ++c) {
          const Rgb v = table[static_cast<size_t>(r)][static_cast<size_t>(c)];
          // The escape codes take no room on the screen: pad the visible text only.
          const std::string text = FormatRgb(v);
          if (env.swatches) env.out << Swatch(v);
          env.out << (c + 1 < kColumns ? Pad(text, 13) : text);
        }
        env.out << '\n';
      }
    }
    return kExitOk;
  });
}

int CmdSet(std::span<const std::string> args, CliEnv& env) {
  const std::string help = WithLocationHelp(kSetHelp);
  return Run(args, WithLocation({{}, {"--dry-run"}}), help.c_str(), env, [&](const Args& a) {
    ExpectPositionals(a, 5, "tintmoor-cli set ROW COLUMN R G B");
    const auto& p = a.positionals;
    const auto row = ParseRow(p[0]);
    if (!row)
      throw UsageError("\"" + p[0] + "\" is not a row (0 to 12, Gaia, Player 1 to Player 12)");
    const auto column = ParseColumn(p[1]);
    if (!column) throw UsageError("\"" + p[1] + "\" is not a column (0 to 2, unit, minimap, dead)");
    uint8_t rgb[3];
    for (size_t i = 0; i < 3; ++i) {
      const std::string& s = p[2 + i];
      int v = -1;
      if (!s.empty() && s.size() <= 3 && s.find_first_not_of("0123456789") == std::string::npos)
        v = std::stoi(s);
      if (v < 0 || v > 255) throw UsageError("\"" + s + "\" is not a colour component (0 to 255)");
      rgb[i] = static_cast<uint8_t>(v);
    }
    // The other 38 colours stay as the file holds them (in normal form).
    return WriteTable(
        a, env,
        [&](ColorTable table) {
          table[static_cast<size_t>(*row)][static_cast<size_t>(*column)] = {rgb[0], rgb[1], rgb[2]};
          return table;
        },
        a.Has("--dry-run"));
  });
}

int CmdExport(std::span<const std::string> args, CliEnv& env) {
  const std::string help = WithLocationHelp(kExportHelp);
  return Run(args, kLocationArgs, help.c_str(), env, [&](const Args& a) {
    ExpectPositionals(a, 1, "tintmoor-cli export FILE");
    const GameFile game = LoadGame(a, env, false);
    const std::string text = WriteScheme(ReadTable(game, env));
    const std::string& file = a.positionals[0];
    if (file == "-") {
      env.out << text;
      return kExitOk;
    }
    // A scheme written over the game's own file would leave the game without colours.
    std::error_code ec;
    if (std::filesystem::equivalent(file, game.path, ec))
      throw TintError(file +
                      " is the game's colour file; export writes a scheme, choose "
                      "another file");
    try {
      env.fs.ReplaceWhole(file, text);
    } catch (const FileError& e) {
      throw TintError("cannot write the scheme " + file + ": " + e.reason());
    }
    env.out << "Wrote the colours of " << game.path << " to " << file << '\n';
    return kExitOk;
  });
}

int CmdImport(std::span<const std::string> args, CliEnv& env) {
  const std::string help = WithLocationHelp(kImportHelp);
  return Run(args, WithLocation({{}, {"--dry-run"}}), help.c_str(), env, [&](const Args& a) {
    ExpectPositionals(a, 1, "tintmoor-cli import FILE");
    const ColorTable wanted = LoadScheme(a.positionals[0], env);
    return WriteTable(
        a, env, [&](const ColorTable&) { return wanted; }, a.Has("--dry-run"));
  });
}

int CmdPresets(std::span<const std::string> args, CliEnv& env) {
  return Run(args, {}, kPresetsHelp, env, [&](const Args& a) {
    ExpectPositionals(a, 0, "tintmoor-cli presets");
    for (const Preset& p : Presets()) {
      const CheckResult r = CheckTable(p.table, 10);
      double worst = INFINITY;
      for (const auto& column : r.closest)
        for (const PairDistance& d : column) worst = std::min(worst, RoundDistance(d.distance));
      char figure[64];
      std::snprintf(figure, sizeof figure, "closest pair %.2f", worst);
      env.out << Pad(std::string(p.name), 15) << p.description << " (" << figure << ")\n";
    }
    return kExitOk;
  });
}

int CmdApply(std::span<const std::string> args, CliEnv& env) {
  const std::string help = WithLocationHelp(kApplyHelp);
  return Run(args, WithLocation({{}, {"--dry-run"}}), help.c_str(), env, [&](const Args& a) {
    ExpectPositionals(a, 1, "tintmoor-cli apply NAME");
    const Preset* preset = FindPreset(a.positionals[0]);
    if (!preset) {
      std::string names;
      for (const Preset& p : Presets()) {
        if (!names.empty()) names += ", ";
        names += p.name;
      }
      throw UsageError("no preset \"" + a.positionals[0] + "\" (" + names + ")");
    }
    return WriteTable(
        a, env, [&](const ColorTable&) { return preset->table; }, a.Has("--dry-run"));
  });
}

int CmdCheck(std::span<const std::string> args, CliEnv& env) {
  const std::string help = WithLocationHelp(kCheckHelp);
  return Run(args, WithLocation({{"--threshold", "--preset", "--scheme"}, {}}), help.c_str(), env,
             [&](const Args& a) {
               ExpectPositionals(a, 0, "tintmoor-cli check [--threshold N]");
               double threshold = 10;
               if (const std::string* t = a.Option("--threshold")) {
                 char* end = nullptr;
                 threshold = std::strtod(t->c_str(), &end);
                 if (t->empty() || *end != '\0' || !(threshold >= 0) || threshold > 1000)
                   throw UsageError("\"" + *t + "\" is not a threshold (a number from 0 to 1000)");
               }
               const std::string* presetName = a.Option("--preset");
               const std::string* schemeFile = a.Option("--scheme");
               if (presetName && schemeFile)
                 throw UsageError("give either --preset or --scheme, not both");
               ColorTable table;
               if (presetName) {
                 const Preset* p = FindPreset(*presetName);
                 if (!p) throw UsageError("no preset \"" + *presetName + "\"");
                 table = p->table;
                 env.out << "Preset " << p->name << "\n\n";
               } else if (schemeFile) {
                 table = LoadScheme(*schemeFile, env);
                 env.out << "Scheme " << *schemeFile << "\n\n";
               } else {
                 const GameFile game = LoadGame(a, env, false);
                 table = ReadTable(game, env);
                 env.out << game.path << "\n\n";
               }
               const CheckResult result = CheckTable(table, threshold);
               PrintCheck(result, env.out);
               return result.close.empty() ? kExitOk : kExitClosePairs;
             });
}

// preview: the colours as a picture, for those who would rather see a clash
// than read a distance.
namespace {

const char* const kPreviewHelp =
    "usage: tintmoor-cli preview --out FILE [--threshold N] [--preset NAME | --scheme FILE]\n"
    "                            [location options]\n"
    "\n"
    "Draws the colours as a PNG picture: a row per player and, for the unit and\n"
    "the minimap colours, a column per kind of vision (normal, protanopia,\n"
    "deuteranopia, tritanopia) showing each colour as seen with it, simulated as\n"
    "check does. A pair that check lists as closer than the threshold is framed in\n"
    "black on both swatches, under each vision it fails under, with the other\n"
    "player named in the corner (G for Gaia); the pairs are listed at the bottom.\n"
    "\n"
    "  --out FILE      the PNG to write (\"-\" for standard output)\n"
    "  --threshold N   the smallest distance accepted (default 10, as check)\n"
    "  --preset NAME   draw a built-in scheme instead of the game's colours\n"
    "  --scheme FILE   draw a scheme file instead of the game's colours\n";

// The colours a command looks at without changing them: a preset, a scheme
// file or the game's own, with the line that names them.
struct ShownColours {
  ColorTable table{};
  std::string title;
  std::string gameFile;  // when they are the game's
};

ShownColours ColoursToShow(const Args& a, CliEnv& env) {
  const std::string* presetName = a.Option("--preset");
  const std::string* schemeFile = a.Option("--scheme");
  if (presetName && schemeFile) throw UsageError("give either --preset or --scheme, not both");
  ShownColours shown;
  if (presetName) {
    const Preset* p = FindPreset(*presetName);
    if (!p) throw UsageError("no preset \"" + *presetName + "\"");
    shown.table = p->table;
    shown.title = "Preset " + std::string(p->name);
  } else if (schemeFile) {
    shown.table = LoadScheme(*schemeFile, env);
    shown.title = "Scheme " + *schemeFile;
  } else {
    const GameFile game = LoadGame(a, env, false);
    shown.table = ReadTable(game, env);
    shown.title = shown.gameFile = game.path;
  }
  return shown;
}

std::string ThresholdText(double threshold) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%g", threshold);
  return buf;
}

double ThresholdOption(const Args& a) {
  const std::string* t = a.Option("--threshold");
  if (!t) return 10;
  char* end = nullptr;
  const double threshold = std::strtod(t->c_str(), &end);
  if (t->empty() || *end != '\0' || !(threshold >= 0) || threshold > 1000)
    throw UsageError("\"" + *t + "\" is not a threshold (a number from 0 to 1000)");
  return threshold;
}

}  // namespace

int CmdPreview(std::span<const std::string> args, CliEnv& env) {
  const std::string help = WithLocationHelp(kPreviewHelp);
  const AcceptedArgs accepted =
      WithLocation({{"--out", "--threshold", "--preset", "--scheme"}, {}});
  return Run(args, accepted, help.c_str(), env, [&](const Args& a) {
    ExpectPositionals(a, 0, "tintmoor-cli preview --out FILE");
    const std::string* out = a.Option("--out");
    if (!out || out->empty()) throw UsageError("--out FILE is needed: the PNG to write");
    const double threshold = ThresholdOption(a);
    const ShownColours shown = ColoursToShow(a, env);
    const CheckResult result = CheckTable(shown.table, threshold);
    const PreviewImage image = RenderPreview(shown.table, result, shown.title);
    const std::string png = EncodePng(image);
    if (*out == "-") {
      env.out << png;
      return kExitOk;
    }
    std::error_code ec;
    if (!shown.gameFile.empty() && std::filesystem::equivalent(*out, shown.gameFile, ec))
      throw TintError(*out + " is the game's colour file; choose another file for the preview");
    try {
      env.fs.ReplaceWhole(*out, png);
    } catch (const FileError& e) {
      throw TintError("cannot write the preview " + *out + ": " + e.reason());
    }
    const size_t pairs = result.close.size();
    env.out << "Wrote " << *out << " (" << image.width << " x " << image.height << " pixels); "
            << (pairs == 0   ? std::string("no pair is")
                : pairs == 1 ? std::string("1 pair is")
                             : std::to_string(pairs) + " pairs are")
            << " closer than " << ThresholdText(threshold) << (pairs ? ", framed" : "") << ".\n";
    return kExitOk;
  });
}

namespace {

// The table entries: the real file system, standard input, and swatches
// only when the output is the terminal itself.
template <int (*Command)(std::span<const std::string>, CliEnv&)>
int WithSystem(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  CliEnv env{out, err, std::cin, SystemFileSystem(), &out == &std::cout && StdoutShowsTrueColour()};
  return Command(args, env);
}

const CliCommand kCommands[] = {
    {"list", "[--format text|csv|json]", "show the game's 39 player colours", WithSystem<CmdList>},
    {"set", "ROW COLUMN R G B [--dry-run]", "change one colour and save the file",
     WithSystem<CmdSet>},
    {"export", "FILE", "write the game's colours to a scheme file", WithSystem<CmdExport>},
    {"import", "FILE [--dry-run]", "save the colours of a scheme file", WithSystem<CmdImport>},
    {"presets", "", "list the built-in schemes", WithSystem<CmdPresets>},
    {"apply", "NAME [--dry-run]", "save a built-in scheme", WithSystem<CmdApply>},
    {"check", "[--threshold N]", "find players that are hard to tell apart", WithSystem<CmdCheck>},
    {"preview", "--out FILE", "draw the colours as each kind of vision sees them",
     WithSystem<CmdPreview>},
};

}  // namespace

std::span<const CliCommand> ColorCommands() { return kCommands; }
