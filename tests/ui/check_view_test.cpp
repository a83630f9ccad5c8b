// What the check dialog shows, and that it gives the command line's answer:
// the same pairs, distances and separation for the same colours and choice.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "cli/cli.h"
#include "colorfile/color_store.h"
#include "colorfile/presets.h"
#include "colorfile/scheme.h"
#include "colorfile/table_binding.h"
#include "colorfile/vision_words.h"
#include "support/clash_schemes.h"
#include "ui/check_view.h"

namespace tintmoor::ui {

using cli::CliEnv;
using cli::kExitClosePairs;
using cli::kExitOk;
using cli::RunCli;
using colorfile::CellMove;
using colorfile::CellText;
using colorfile::CheckOptions;
using colorfile::ClashSchemes;
using colorfile::ClosePair;
using colorfile::ColorTable;
using colorfile::ColourVisionScheme;
using colorfile::ColumnName;
using colorfile::DefaultScheme;
using colorfile::DistanceText;
using colorfile::FailureWords;
using colorfile::RowCaption;
using colorfile::SeparationResult;
using colorfile::SystemFileSystem;
using colorfile::Vision;
using colorfile::VisionKey;
using colorfile::WriteScheme;

namespace {

namespace fs = std::filesystem;

TEST(CheckView, Lines) {
  ColorTable apart = ColourVisionScheme();
  for (auto& row : apart) row[1] = row[0];  // its unit colours are kept apart
  EXPECT_EQ(MakeCheckView(apart, CheckOptions{}).pairLines,
            std::vector<std::string>{"Every pair is at least 10 apart for everyone checked."});
  ClosePair pair{0, 3, 7, 4.21, Vision::Protan, {{Vision::Protan, 4.21}}};
  pair.failures.emplace_back(Vision::Deutan, 6.1);
  auto separated = [](size_t moves, bool reached, size_t givenBack) {
    SeparationResult r;
    r.moves.resize(moves);
    r.reached = reached;
    r.minimumAfter = 7.518;
    r.givenBack = givenBack;
    return SeparationLine(r, 10);
  };
  const struct {
    std::string got, want;
  } cases[] = {
      {PairLine(pair, 0.3), "Player 3 and Player 7, unit: 4.21 red-weak, 6.10 green-weak"},
      {PairListTitle(10),
       "Pairs closer than 10, closest first, with the distance under each "
       "vision:"},
      {PartnerTag({0, 7, 12}), "G 7 12"},
      {ForWhomLabel(Vision::Deutan), "Green-weak or green-blind (deutan)"},
      {StrengthLabel(1), "0.1 (mildest)"},
      {StrengthLabel(10), "1.0 (full: blind to the color)"},
      {separated(2, true, 1),
       "2 colors moved; every pair is now at least 10 apart. 1 move too small to see was given "
       "back."},
      {separated(1, false, 0),
       "Not every pair could be brought 10 apart: 1 color moved, the closest pair is now 7.52 "
       "apart."},
  };
  for (const auto& c : cases) EXPECT_EQ(c.got, c.want);
}

// The command line on a scheme, as a player types it.
std::string Cli(std::vector<std::string> args, int& status) {
  std::ostringstream out, err;
  std::istringstream in;
  CliEnv env{out, err, in, SystemFileSystem()};
  status = RunCli(args, env);
  EXPECT_EQ(err.str(), "") << args[0];
  return out.str();
}

// The lines of text that start with the given prefix, in order.
std::vector<std::string> LinesWith(const std::string& text, const std::string& start) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);)
    if (line.rfind(start, 0) == 0) lines.push_back(line);
  return lines;
}

// For the same colours and the same choice of vision and severity, check and
// separate on the command line and the dialog find the same close pairs with
// the same distances, the same closest pair, and move the same colours to the
// same places.
TEST(CheckView, AgreesWithTheCommandLine) {
  const char* source = std::getenv("TINTMOOR_SOURCE_DIR");
  ASSERT_NE(source, nullptr);
  const fs::path root = fs::temp_directory_path() / "tintmoor-check-view";
  fs::remove_all(root);
  fs::create_directories(root / "data");
  fs::copy_file(fs::path(source) / "data" / "playercolors.xml", root / "data" / "playercolors.xml");
  const std::string scheme = (root / "scheme.txt").string();
  const std::string data = (root / "data").string();

  const struct {
    const char* name;
    ColorTable table;
    Vision forWhom;
    int tenths;
  } cases[] = {{"default", DefaultScheme(), Vision::Normal, 10},
               {"default", DefaultScheme(), Vision::Deutan, 6},
               {"default", DefaultScheme(), Vision::Protan, 3},
               {"near reds", ClashSchemes()[0].table, Vision::Tritan, 10}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.name) + " " + std::string(VisionKey(c.forWhom)) + " " +
                 std::to_string(c.tenths));
    std::ofstream(scheme, std::ios::binary) << WriteScheme(c.table);
    std::vector<std::string> choice;
    if (c.forWhom != Vision::Normal) choice = {"--vision", std::string(VisionKey(c.forWhom))};
    choice.insert(choice.end(), {"--severity", std::to_string(c.tenths / 10.0)});
    int status = 0;
    std::vector<std::string> args = {"check", "--scheme", scheme};
    args.insert(args.end(), choice.begin(), choice.end());
    const std::string check = Cli(args, status);

    const CheckView view = MakeCheckView(c.table, DialogOptions(c.forWhom, c.tenths));
    EXPECT_EQ(status, view.result.close.empty() ? kExitOk : kExitClosePairs);
    EXPECT_NE(check.find(view.closestLine + "\n"), std::string::npos) << view.closestLine;
    // "  1.48  unit     Player 2 / Player 12    blue-blind 1.48, green-blind 9.97"
    const std::vector<std::string> cliPairs = LinesWith(check, "  ");
    ASSERT_EQ(cliPairs.size(), view.result.close.size());
    for (size_t i = 0; i < cliPairs.size(); ++i) {
      const ClosePair& p = view.result.close[i];
      for (const std::string& part :
           {DistanceText(p.distance) + "  " + std::string(ColumnName(p.column)) + " ",
            std::string(RowCaption(p.rowA)) + " / " + std::string(RowCaption(p.rowB)) + " ",
            FailureWords(p, c.tenths / 10.0) + "$"})
        EXPECT_NE((cliPairs[i] + "$").find(part), std::string::npos) << cliPairs[i] << part;
    }

    Cli({"import", scheme, "--data-dir", data}, status);
    args = {"separate", "--dry-run", "--data-dir", data};
    args.insert(args.end(), choice.begin(), choice.end());
    const std::string separated = Cli(args, status);
    const SeparationView dialog = SeparateForView(c.table, DialogOptions(c.forWhom, c.tenths));
    EXPECT_EQ(status, dialog.result.reached ? kExitOk : kExitClosePairs);
    std::set<std::string> cliMoves, dialogMoves;
    for (const std::string& line : LinesWith(separated, ""))
      if (line.find(" (moved ") != std::string::npos)
        cliMoves.insert(line.substr(0, line.find(" (moved")));
    for (const CellMove& m : dialog.result.moves)
      dialogMoves.insert(std::string(RowCaption(m.row)) + " " + std::string(ColumnName(m.column)) +
                         ": " + CellText(m.before) + " -> " + CellText(m.after));
    EXPECT_EQ(cliMoves, dialogMoves);
  }
  fs::remove_all(root);
}

}  // namespace

}  // namespace tintmoor::ui
