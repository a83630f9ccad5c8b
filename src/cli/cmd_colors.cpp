// The colour commands: list, set, export, import, presets, apply, check and
// preview. They throw on failure; RunCli reports it.
#include <cmath>
#include <cstdio>
#include <ostream>
#include <vector>

#include "cli/check_report.h"
#include "cli/cli.h"
#include "cli/game_file.h"
#include "cli/gamefolder.h"
#include "cli/list_formats.h"
#include "cli/preview_png.h"
#include "colorfile/color_store.h"
#include "colorfile/color_text.h"
#include "colorfile/game_location.h"
#include "colorfile/presets.h"
#include "colorfile/separation.h"
#include "colorfile/vision_words.h"
#include "common/text.h"

namespace tintmoor::cli {

namespace {

void ExpectPositionals(const Args& args, size_t count) {
  if (args.positionals.size() != count)
    throw UsageError(args.positionals.size() < count ? "too few arguments" : "too many arguments");
}

// A number written as set writes one, with decimals if wanted: no sign,
// exponent, hexadecimal or spaces. -1 for anything else.
double PlainNumber(const std::string& t) {
  const size_t dot = t.find('.');
  const std::string whole = t.substr(0, dot);
  const std::string fraction = dot == std::string::npos ? "" : t.substr(dot + 1);
  const bool digits = !whole.empty() &&
                      whole.find_first_not_of("0123456789") == std::string::npos &&
                      fraction.find_first_not_of("0123456789") == std::string::npos &&
                      (dot == std::string::npos || !fraction.empty());
  return digits ? std::strtod(t.c_str(), nullptr) : -1;
}

double ThresholdOption(const Args& a) {
  const std::string* t = a.Option("--threshold");
  if (!t) return colorfile::kDefaultThreshold;
  const double threshold = PlainNumber(*t);
  if (threshold < 0 || threshold > 1000)
    throw UsageError("\"" + common::Shown(*t) + "\" is not a threshold (a number from 0 to 1000)");
  return threshold;
}

// --vision LIST and --severity S: for whom the colours are checked.
colorfile::Audience AudienceOption(const Args& a) {
  std::vector<colorfile::Vision> kinds = {colorfile::Vision::Protan, colorfile::Vision::Deutan,
                                          colorfile::Vision::Tritan};
  if (const std::string* list = a.Option("--vision")) {
    kinds.clear();
    size_t pos = 0;
    while (pos <= list->size()) {
      const size_t comma = std::min(list->find(',', pos), list->size());
      const std::string key = list->substr(pos, comma - pos);
      const auto v = colorfile::VisionFromKey(key);
      if (!v)
        throw UsageError("\"" + common::Shown(key) +
                         "\" is not a kind of vision (protan, deutan or " +
                         "tritan, separated by commas)");
      kinds.push_back(*v);
      pos = comma + 1;
    }
  }
  double severity = colorfile::kFullSeverity;
  if (const std::string* t = a.Option("--severity")) {
    severity = PlainNumber(*t);
    if (severity < colorfile::kWeakestSeverity || severity > colorfile::kFullSeverity)
      throw UsageError("\"" + common::Shown(*t) + "\" is not a severity (a number from 0.1 to 1)");
  }
  return colorfile::MakeAudience(kinds, severity);
}

// The columns `--column` names: one, or "all" for the three; unit and
// minimap when not given.
std::vector<int> ColumnsOption(const Args& a) {
  const std::string* name = a.Option("--column");
  if (!name) return {colorfile::kDefaultColumns.begin(), colorfile::kDefaultColumns.end()};
  if (*name == "all") return {0, 1, 2};
  for (int column = 0; column < colorfile::kColumns; ++column)
    if (*name == colorfile::ColumnName(column)) return {column};
  throw UsageError("\"" + common::Shown(*name) + "\" is not a column (unit, minimap, dead or all)");
}

// What check, separate and preview look at, from their options.
colorfile::CheckOptions CheckOptionsOf(const Args& a) {
  colorfile::CheckOptions options;
  options.audience = AudienceOption(a);
  options.columns = ColumnsOption(a);
  options.threshold = ThresholdOption(a);
  return options;
}

const colorfile::Preset& PresetNamed(const std::string& name, bool listNames) {
  if (const colorfile::Preset* p = colorfile::FindPreset(name)) return *p;
  std::string names;
  for (const colorfile::Preset& p : colorfile::Presets()) {
    if (!names.empty()) names += ", ";
    names += p.name;
    if (!p.otherName.empty()) names += " or " + std::string(p.otherName);
  }
  throw UsageError("no preset \"" + common::Shown(name) + "\"" +
                   (listNames ? " (" + names + ")" : ""));
}

// The colours a command looks at without changing them: a preset, a scheme
// file or the game's own, with the line that names them.
struct ShownColours {
  colorfile::ColorTable table{};
  std::string title;
  std::string gameFolder;  // when they are the game's
};

ShownColours ColoursToShow(const Args& a, CliEnv& env) {
  const std::string* presetName = a.Option("--preset");
  const std::string* schemeFile = a.Option("--scheme");
  if (presetName && schemeFile) throw UsageError("give either --preset or --scheme, not both");
  ShownColours shown;
  if (presetName) {
    const colorfile::Preset& p = PresetNamed(*presetName, false);
    shown.table = p.table;
    shown.title = "Preset " + std::string(p.name);
  } else if (schemeFile) {
    shown.table = LoadScheme(*schemeFile, env);
    shown.title = *schemeFile == "-" ? "Scheme from standard input" : "Scheme " + *schemeFile;
  } else {
    const GameFile game = LoadGame(a, env, false);
    shown.table = ReadTable(game, env);
    shown.title = game.path;
    shown.gameFolder = game.folder;
  }
  return shown;
}

int List(const Args& a, CliEnv& env) {
  ExpectPositionals(a, 0);
  const std::string format = a.Option("--format") ? *a.Option("--format") : "text";
  if (format != "text" && format != "csv" && format != "json")
    throw UsageError("unknown format \"" + common::Shown(format) + "\" (text, csv or json)");
  const GameFile game = LoadGame(a, env, false);
  const colorfile::ColorTable table = ReadTable(game, env);
  PrintList(table, game.path,
            format == "csv"    ? ListFormat::kCsv
            : format == "json" ? ListFormat::kJson
                               : ListFormat::kText,
            env.swatches, env.out);
  return kExitOk;
}

int Set(const Args& a, CliEnv& env) {
  const auto& p = a.positionals;
  if (p.size() != 3 && p.size() != 5)
    throw UsageError(p.size() < 5 ? "too few arguments" : "too many arguments");
  const auto row = colorfile::ParseRow(p[0]);
  if (!row)
    throw UsageError("\"" + common::Shown(p[0]) +
                     "\" is not a row (0 to 12, Gaia, Player 1 to Player 12)");
  const auto column = colorfile::ParseColumn(p[1]);
  if (!column)
    throw UsageError("\"" + common::Shown(p[1]) +
                     "\" is not a column (0 to 2, unit, minimap, dead)");
  // R G B as three arguments, or one: "#RRGGBB" as color pickers show it.
  const std::string text = p.size() == 5 ? p[2] + " " + p[3] + " " + p[4] : p[2];
  const auto rgb = colorfile::ParseColorText(
      text, p.size() == 5 ? colorfile::kColorDecimal : colorfile::kColorHash);
  if (!rgb)
    throw UsageError("\"" + common::Shown(text) +
                     "\" is not a color (R G B, each 0 to 255, or #RRGGBB)");
  // The other 38 colors stay as the file holds them (in normal form).
  return WriteTable(
      a, env,
      [&](colorfile::ColorTable table) {
        table[static_cast<size_t>(*row)][static_cast<size_t>(*column)] = *rgb;
        return table;
      },
      a.Has("--dry-run"));
}

int Export(const Args& a, CliEnv& env) {
  ExpectPositionals(a, 1);
  const GameFile game = LoadGame(a, env, false);
  const std::string text = colorfile::WriteScheme(ReadTable(game, env));
  const std::string& file = a.positionals[0];
  if (file != "-") colorfile::RefuseColorFiles(env.fs, file, game.folder);
  WriteOutputFile(file, text, "the scheme", env);
  if (file != "-")
    env.out << "Wrote the colors of " << common::EscapeControls(game.path) << " to "
            << common::EscapeControls(file) << '\n';
  return kExitOk;
}

int Import(const Args& a, CliEnv& env) {
  ExpectPositionals(a, 1);
  const colorfile::ColorTable wanted = LoadScheme(a.positionals[0], env);
  return WriteTable(
      a, env, [&](const colorfile::ColorTable&) { return wanted; }, a.Has("--dry-run"));
}

int PresetList(const Args& a, CliEnv& env) {
  ExpectPositionals(a, 0);
  for (const colorfile::Preset& p : colorfile::Presets()) {
    const colorfile::CheckResult r = colorfile::CheckTable(p.table, colorfile::CheckOptions{});
    std::string names(p.name);
    if (!p.otherName.empty()) names += ", " + std::string(p.otherName);
    env.out << common::Pad(names, 29) << p.description << " (closest pair "
            << colorfile::DistanceText(r.overall.distance) << ")\n";
  }
  return kExitOk;
}

int Apply(const Args& a, CliEnv& env) {
  ExpectPositionals(a, 1);
  const colorfile::Preset& preset = PresetNamed(a.positionals[0], true);
  return WriteTable(
      a, env, [&](const colorfile::ColorTable&) { return preset.table; }, a.Has("--dry-run"));
}

int Check(const Args& a, CliEnv& env) {
  ExpectPositionals(a, 0);
  const colorfile::CheckOptions options = CheckOptionsOf(a);
  const std::string format = a.Option("--format") ? *a.Option("--format") : "text";
  if (format != "text" && format != "json")
    throw UsageError("unknown format \"" + common::Shown(format) + "\" (text or json)");
  const ShownColours shown = ColoursToShow(a, env);
  const colorfile::CheckResult result = colorfile::CheckTable(shown.table, options);
  if (format == "json") {
    PrintCheckJson(result, shown.title, env.out);
  } else {
    env.out << common::EscapeControls(shown.title) << "\n\n";
    PrintCheck(result, env.out);
  }
  return result.close.empty() ? kExitOk : kExitClosePairs;
}

// separate: moves as few of the game's colours as it can, each as little as
// it can, until every pair in the chosen columns is far enough apart for
// everyone checked; the closest pair before and after as check finds it.
int Separate(const Args& a, CliEnv& env) {
  ExpectPositionals(a, 0);
  const colorfile::CheckOptions options = CheckOptionsOf(a);
  colorfile::ColorTable before{};
  colorfile::SeparationResult result;
  const int status = WriteTable(
      a, env,
      [&](const colorfile::ColorTable& current) {
        before = current;
        result = colorfile::SeparateColors(current, options);
        return result.table;
      },
      a.Has("--dry-run"),
      [&](int row, int column) {
        for (const colorfile::CellMove& m : result.moves)
          if (m.row == row && m.column == column)
            return " (moved " + colorfile::DistanceText(m.distance) + ")";
        return std::string();
      });
  if (status != kExitOk) return status;
  const double severity = options.audience.severity;
  const std::string threshold = colorfile::NumberText(options.threshold);
  std::string summary = common::Wrap(colorfile::CheckedLine(options), kReportWidth);
  summary += "Closest pair before: " +
             colorfile::ClosestWords(colorfile::CheckTable(before, options).overall, severity) +
             "\n";
  summary +=
      "Closest pair after: " +
      colorfile::ClosestWords(colorfile::CheckTable(result.table, options).overall, severity) +
      "\n";
  if (result.givenBack)
    summary += std::to_string(result.givenBack) +
               (result.givenBack == 1 ? " move was" : " moves were") +
               " too small to see (under 1) and given back; other colors moved instead.\n";
  summary += result.reached
                 ? "Every pair is at least " + threshold + " apart.\n"
                 : threshold +
                       " could not be reached, so these are the farthest apart the colors could "
                       "be brought.\n";
  env.out << summary;
  return result.reached ? kExitOk : kExitClosePairs;
}

// preview: the colours as a picture, for those who would rather see a clash
// than read a distance.
int Preview(const Args& a, CliEnv& env) {
  ExpectPositionals(a, 0);
  const std::string* out = a.Option("--out");
  if (!out) throw UsageError("--out FILE is needed: the PNG to write");
  const colorfile::CheckOptions options = CheckOptionsOf(a);
  const ShownColours shown = ColoursToShow(a, env);
  const colorfile::CheckResult result = colorfile::CheckTable(shown.table, options);
  const PreviewImage image = RenderPreview(shown.table, result, shown.title);
  const std::string png = EncodePng(image);
  // The game's files are kept from the picture whatever colours it shows.
  if (*out != "-")
    colorfile::RefuseColorFiles(
        env.fs, *out, shown.gameFolder.empty() ? DataFolderToProtect(a) : shown.gameFolder);
  WriteOutputFile(*out, png, "the preview", env);
  if (*out == "-") return kExitOk;
  const size_t pairs = result.close.size();
  env.out << "Wrote " << common::EscapeControls(*out) << " (" << image.width << " x "
          << image.height << " pixels); "
          << (pairs == 0   ? std::string("no pair is")
              : pairs == 1 ? std::string("1 pair is")
                           : std::to_string(pairs) + " pairs are")
          << " closer than " << colorfile::NumberText(options.threshold)
          << (pairs ? ", framed" : "") << ".\n";
  return kExitOk;
}

const char* const kListHelp =
    "usage: tintmoor-cli list [--format text|csv|json] [location options]\n"
    "\n"
    "Shows the game's 39 player colors: a row for Gaia and each of Player 1 to\n"
    "Player 12, three colors each, as red green blue (0 to 255). In a terminal\n"
    "that shows 24-bit color, a swatch stands beside each color.\n"
    "\n"
    "  --format FORMAT     text (the default), csv or json\n";

const char* const kSetHelp =
    "usage: tintmoor-cli set ROW COLUMN R G B [--dry-run] [location options]\n"
    "       tintmoor-cli set ROW COLUMN #RRGGBB [--dry-run] [location options]\n"
    "\n"
    "Changes one color and saves the file as the window's Save does: the new file\n"
    "replaces the old one only once it is completely written, and playercolors.xmb\n"
    "is deleted so that the game reads the new colors.\n"
    "\n"
    "  ROW       0 to 12, or its caption: Gaia, \"Player 1\" ... \"Player 12\"\n"
    "  COLUMN    0 to 2, or unit (highlight, unit, HP bar and waypoint flag),\n"
    "            minimap, dead\n"
    "  R G B     red, green and blue, 0 to 255\n"
    "  #RRGGBB   the same in hexadecimal, as color pickers show it (quote it in a\n"
    "            shell, where # starts a comment: '#ff8000')\n"
    "  --dry-run show the change without writing anything\n"
    "\n"
    "Colors the file holds in another form (\"12 x 4\", \"-5 300 7\") are saved in\n"
    "normal form; each is listed, and counted as rewritten. Exit status 0 saved,\n"
    "1 nothing was written, 2 bad usage, 3 the file's markup overflowed, 5 saved\n"
    "but playercolors.xmb could not be deleted or the report not printed.\n";

const char* const kExportHelp =
    "usage: tintmoor-cli export FILE [location options]\n"
    "\n"
    "Writes the game's colors to FILE as a color scheme (\"-\" for standard\n"
    "output): a text file with one line per row, the row's caption and its three\n"
    "colors, that you can edit and share and read back with import.\n";

const char* const kImportHelp =
    "usage: tintmoor-cli import FILE [--dry-run] [location options]\n"
    "\n"
    "Reads a color scheme from FILE (\"-\" for standard input) and saves its\n"
    "colors into the game's file, as set does. A scheme with a missing or\n"
    "malformed row is refused, naming the line, and nothing is written.\n"
    "\n"
    "  --dry-run show the changes without writing anything\n";

const char* const kPresetsHelp =
    "usage: tintmoor-cli presets\n"
    "\n"
    "Lists the built-in color schemes that apply can write, each with its\n"
    "closest pair as check finds it.\n";

const char* const kApplyHelp =
    "usage: tintmoor-cli apply NAME [--dry-run] [location options]\n"
    "\n"
    "Saves the built-in scheme NAME (see presets) into the game's file, as set does.\n"
    "color-vision, the scheme the window's Use Color-Vision Preset puts in, is\n"
    "also called colour-vision.\n"
    "\n"
    "  --dry-run show the changes without writing anything\n";

// The help on the options check, separate and preview share, for the verb
// each puts in the first line (string literals, so each help stays one).
#define TINTMOOR_VISION_OPTIONS(verb)                                               \
  "  --vision LIST   the kinds of color vision to " verb                            \
  " for, separated by commas:\n"                                                    \
  "                  protan (red-weak or red-blind), deutan (green-weak or\n"       \
  "                  green-blind), tritan (blue-weak or blue-blind); default all\n" \
  "                  three. Normal vision is always included: the other players\n"  \
  "                  see normally.\n"                                               \
  "  --severity S    how strong: 0.1 (the mildest weakness) to 1 (the cone is\n"    \
  "                  missing: red-blind, green-blind, blue-blind); default 1\n"

const char* const kCheckHelp =
    "usage: tintmoor-cli check [--vision LIST] [--severity S] [--column C]\n"
    "                          [--threshold N] [--format text|json]\n"
    "                          [--preset NAME | --scheme FILE] [location options]\n"
    "\n"
    "Checks that players can tell each other's colors apart: for every pair of\n"
    "players, how far apart their colors look (the CIEDE2000 color difference),\n"
    "with normal vision and as seen with each chosen kind of color blindness.\n"
    "About 1 is the smallest difference people notice side by side; the program\n"
    "aims for 10, which it takes as easy to tell apart on a battlefield.\n"
    "\n"
    "Prints the closest pair, the closest pair under each vision, then every pair\n"
    "closer than the threshold, closest first, with each vision it is too close\n"
    "under and its distance there. Exit status 0 when no pair is closer, 4 when\n"
    "some are.\n"
    "\n" TINTMOOR_VISION_OPTIONS("check")
    "  --column C      unit, minimap, dead, or all three (default unit and minimap)\n"
    "  --threshold N   the smallest distance accepted (default 10)\n"
    "  --format F      text (the default), or json: every pair of every column\n"
    "                  checked, with its distance under each vision\n"
    "  --preset NAME   check a built-in scheme instead of the game's colors\n"
    "  --scheme FILE   check a scheme file instead of the game's colors\n";

const char* const kPreviewHelp =
    "usage: tintmoor-cli preview --out FILE [--vision LIST] [--severity S]\n"
    "                            [--threshold N] [--preset NAME | --scheme FILE]\n"
    "                            [location options]\n"
    "\n"
    "Draws the colors as a PNG picture: a row per player and, for the unit and\n"
    "the minimap colors, a column per vision checked (normal, and for example\n"
    "green-blind) showing each color as seen with it, simulated as check does.\n"
    "A pair that check lists as closer than the threshold is framed in black on\n"
    "both swatches, under each vision it is too close under, with the other\n"
    "player named in the corner (G for Gaia); the pairs are listed at the bottom.\n"
    "\n"
    "  --out FILE      the PNG to write (\"-\" for standard output)\n" TINTMOOR_VISION_OPTIONS(
        "draw")
    "  --threshold N   the smallest distance accepted (default 10, as check)\n"
    "  --preset NAME   draw a built-in scheme instead of the game's colors\n"
    "  --scheme FILE   draw a scheme file instead of the game's colors\n";

// The way back to the game's file as Tintmoor first found it.
const char* const kRestoreOriginalHelp =
    "usage: tintmoor-cli restore-original [location options]\n"
    "\n"
    "Puts back playercolors.xml.orig: the game's color file as it was before\n"
    "Tintmoor first replaced it, whatever it held. Where Tintmoor created the file\n"
    "(the window's first start, or a command on a data folder without one), that\n"
    "is the program's default file it started from. The file goes where the game\n"
    "reads it (your VirtualStore copy on Windows, when there is one), in the same\n"
    "safe way as a save, and playercolors.xmb is deleted in both folders. The\n"
    ".orig file stays, so this can be done again. Only a regular file (not a\n"
    "link) holding all 13 rows of 3 colors is put back; anything else is refused,\n"
    "and nothing is changed.\n";

int RestoreOriginal(const Args& a, CliEnv& env) {
  ExpectPositionals(a, 0);
  const std::string folder = FindDataFolder(a);
  if (!env.fs.IsFolder(folder))
    throw common::TintError("the game's data folder " + folder + " does not exist");
  auto lock = colorfile::LockGameFiles(env.fs, folder, WaitSaying(env));
  const colorfile::ColorFileLocation at = colorfile::LocateColorFile(env.fs, folder);
  const bool hadXmb =
      env.fs.IsFile(colorfile::XmbFilePath(at.dataFolder)) ||
      (!at.virtualFolder.empty() && env.fs.IsFile(colorfile::XmbFilePath(at.virtualFolder)));
  const colorfile::GameWrite done = colorfile::RestoreOriginalColorFile(env.fs, at);
  lock.reset();
  env.savedTo = colorfile::ColorFilePath(done.folder);
  if (done.movedToVirtualStore)
    env.out << "Windows does not let this program change " << common::EscapeControls(at.path())
            << "; the original went into your own copy, which the game reads when you play as "
               "this Windows user.\n";
  env.out << "Put " << common::EscapeControls(colorfile::OriginalFilePath(done.folder))
          << " back as " << common::EscapeControls(colorfile::ColorFilePath(done.folder));
  if (done.xmbLeft) {
    env.out << '\n';
    throw *done.xmbLeft;
  }
  if (hadXmb) env.out << " and deleted " << colorfile::kXmbFileName;
  env.out << "\nRestart the game to see its colors.\n";
  return kExitOk;
}

const char* const kSeparateHelp =
    "usage: tintmoor-cli separate [--vision LIST] [--severity S] [--column C]\n"
    "                             [--threshold D] [--dry-run] [location options]\n"
    "\n"
    "Moves as few of the game's colors as it needs, each as little as it can,\n"
    "until every pair of players' colors is at least D apart (as check measures\n"
    "it) with normal vision and with each chosen kind of color blindness, and\n"
    "saves them. Each moved color is listed once, with how far it moved from\n"
    "yours; a move too small to see (under 1) is given back, other colors moving\n"
    "instead, unless D cannot be reached without it. Then the closest pair before\n"
    "and after, as check prints it. The same colors always give the same result.\n"
    "Exit status 0 when every pair is far enough apart, 4 when D could not be\n"
    "reached (the best found is saved).\n"
    "\n" TINTMOOR_VISION_OPTIONS("separate")
    "  --column C      unit, minimap, dead, or all three (default unit and minimap,\n"
    "                  as check and the window)\n"
    "  --threshold D   the smallest distance wanted (default 10, as check)\n"
    "  --dry-run       show what would change; write nothing\n";

#undef TINTMOOR_VISION_OPTIONS

const CliCommand kColorCommands[] = {
    {"list",
     "[--format text|csv|json]",
     "show the game's 39 player colors",
     {{"--format"}, {}},
     kListHelp,
     true,
     List},
    {"set",
     "ROW COLUMN R G B|#RRGGBB [--dry-run]",
     "change one color and save the file",
     {{}, {"--dry-run"}},
     kSetHelp,
     true,
     Set},
    {"export", "FILE", "write the game's colors to a scheme file", {}, kExportHelp, true, Export},
    {"import",
     "FILE [--dry-run]",
     "save the colors of a scheme file",
     {{}, {"--dry-run"}},
     kImportHelp,
     true,
     Import},
    {"presets", "", "list the built-in schemes", {}, kPresetsHelp, false, PresetList},
    {"apply",
     "NAME [--dry-run]",
     "save a built-in scheme",
     {{}, {"--dry-run"}},
     kApplyHelp,
     true,
     Apply},
    {"check",
     "[--vision V] [--severity S] [--format F]",
     "find players that are hard to tell apart",
     {{"--vision", "--severity", "--column", "--threshold", "--format", "--preset", "--scheme"},
      {}},
     kCheckHelp,
     true,
     Check},
    {"separate",
     "[--vision V] [--severity S] [--dry-run]",
     "move colors apart until every player can tell them apart",
     {{"--vision", "--severity", "--column", "--threshold"}, {"--dry-run"}},
     kSeparateHelp,
     true,
     Separate},
    {"preview",
     "--out FILE [--vision V] [--severity S]",
     "draw the colors as each kind of vision sees them",
     {{"--out", "--vision", "--severity", "--threshold", "--preset", "--scheme"}, {}},
     kPreviewHelp,
     true,
     Preview},
    {"restore-original",
     "",
     "put back the color file as Tintmoor first found it",
     {},
     kRestoreOriginalHelp,
     true,
     RestoreOriginal},
};

}  // namespace

std::span<const CliCommand> ColorCommands() { return kColorCommands; }

}  // namespace tintmoor::cli
