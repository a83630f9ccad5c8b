// The check, the presets it judges, the words it names visions with, and the
// row and column names users type.
#include "cli/check_report.h"

#include <gtest/gtest.h>

#include <sstream>

#include "colorfile/cell_names.h"
#include "colorfile/presets.h"
#include "colorfile/vision_words.h"

namespace tintmoor::cli {

using colorfile::CheckedLine;
using colorfile::CheckOptions;
using colorfile::CheckResult;
using colorfile::CheckTable;
using colorfile::ColorTable;
using colorfile::ColourVisionScheme;
using colorfile::DefaultScheme;
using colorfile::EveryVision;
using colorfile::FindPreset;
using colorfile::kRows;
using colorfile::MakeAudience;
using colorfile::PairDistances;
using colorfile::ParseColumn;
using colorfile::ParseRow;
using colorfile::RowCaption;
using colorfile::SrgbToLab;
using colorfile::Vision;
using colorfile::VisionFromKey;
using colorfile::VisionFullName;
using colorfile::VisionKey;

namespace {

// No unit colour is near black; no pair is close for anyone (for every
// vision, at full severity).
TEST(ColourVisionPreset, KeepsEveryPairApartForEveryVision) {
  const ColorTable& t = ColourVisionScheme();
  for (int a = 0; a < kRows; ++a) EXPECT_GE(SrgbToLab(t[a][0]).L, 35) << RowCaption(a);
  EXPECT_TRUE(CheckTable(t, CheckOptions{}).close.empty());
}

// That the default preset is the default file cell for cell shows in
// cmd_colors_test: applying it gives the file back byte for byte.
TEST(Presets, AreFoundByTheirExactNames) {
  ASSERT_NE(FindPreset("color-vision"), nullptr);
  EXPECT_EQ(FindPreset("colour-vision"), FindPreset("color-vision"));
  EXPECT_EQ(&FindPreset("default")->table, &DefaultScheme());
  EXPECT_EQ(FindPreset("Default"), nullptr);
  EXPECT_EQ(FindPreset(""), nullptr);
}

CheckOptions Options(std::vector<Vision> kinds, double severity, std::vector<int> columns,
                     double threshold = 10) {
  return {MakeAudience(kinds, severity), std::move(columns), threshold};
}

TEST(Check, OptionsDecideWhatIsListed) {
  ColorTable t = ColourVisionScheme();
  // Two identical minimap colours fail under every vision at distance 0.
  t[3][1] = t[9][1];
  const CheckResult r = CheckTable(t, CheckOptions{});
  ASSERT_EQ(r.close.size(), 1u);
  EXPECT_EQ(r.close[0].column, 1);
  EXPECT_EQ(r.close[0].distance, 0);
  EXPECT_EQ(r.close[0].failures.size(), 4u);
  EXPECT_EQ(r.pairs.size(), 2u * 78);
  EXPECT_EQ(r.overall.column, 1);
  EXPECT_NEAR(r.overall.distance, 0, 1e-12);  // not exactly 0 on the x87 unit
  // The colour-vision scheme's worst unit pair is 10.87, for blue-blind vision.
  EXPECT_GT(CheckTable(t, {EveryVision(), {0, 1}, 11}).close.size(), 1u);
  EXPECT_NEAR(r.closest[0][3].distance, 10.87, 0.005);

  // The default colours: what is close depends on for whom and which colours.
  const struct {
    CheckOptions options;
    size_t close;
    size_t pairs;
  } cases[] = {
      {CheckOptions{}, 22, 156},
      {Options({Vision::Deutan}, 1, {0, 1}), 10, 156},
      {Options({Vision::Deutan}, 0.6, {0, 1}), 3, 156},
      {Options({Vision::Tritan}, 0.1, {0}), 0, 78},
      {Options({Vision::Protan, Vision::Deutan, Vision::Tritan}, 1, {0, 1, 2}), 22 + 19, 234},
  };
  for (const auto& c : cases) {
    const CheckResult d = CheckTable(DefaultScheme(), c.options);
    EXPECT_EQ(d.close.size(), c.close) << CheckedLine(c.options);
    EXPECT_EQ(d.pairs.size(), c.pairs) << CheckedLine(c.options);
    for (const PairDistances& p : d.pairs)
      EXPECT_EQ(p.distance.size(), c.options.audience.sights.size());
  }
}

TEST(Check, NamesVisionsInPlainWords) {
  const struct {
    Vision vision;
    double severity;
    const char* full;
  } names[] = {
      {Vision::Normal, 1, "normal"},
      {Vision::Protan, 0.9, "red-weak (protanomaly)"},
      {Vision::Deutan, 1, "green-blind (deuteranopia)"},
      {Vision::Tritan, 0.1, "blue-weak (tritanomaly)"},
  };
  for (const auto& n : names) {
    EXPECT_EQ(VisionFullName(n.vision, n.severity), n.full);
    EXPECT_EQ(VisionFromKey(VisionKey(n.vision)), n.vision);
  }
  EXPECT_EQ(VisionFromKey("deuteranopia"), std::nullopt);

  EXPECT_EQ(CheckedLine(Options({Vision::Deutan}, 0.6, {2})),
            "Checked: dead colors, for normal vision and green-weak (deuteranomaly) vision, at "
            "severity 0.6 (0.1 is the mildest, 1 full color blindness).");

  // The whole report is held byte for byte by cli_color_check_default; here:
  // a medical term only ever in brackets after its plain words.
  std::ostringstream text;
  PrintCheck(CheckTable(DefaultScheme(), CheckOptions{}), text);
  std::string outside = text.str();
  for (size_t open; (open = outside.find('(')) != std::string::npos;)
    outside.erase(open, outside.find(')', open) + 1 - open);
  EXPECT_EQ(outside.find("anopia"), std::string::npos) << outside;
}

// For scripts: every pair of every column, each distance keyed by vision.
TEST(Check, JsonGivesEveryPair) {
  std::ostringstream json;
  PrintCheckJson(CheckTable(DefaultScheme(), Options({Vision::Deutan}, 0.6, {0, 1})),
                 "Preset default", json);
  const std::string s = json.str();
  for (const char* part :
       {"\"severity\": 0.6,", "\"visions\": [\"normal\", \"deutan\"],",
        "\"deutan\": \"green-weak (deuteranomaly)\"", "\"columns\": [\"unit\", \"minimap\"],",
        "\"closest\": {\"column\": \"minimap\", \"rows\": [\"Player 6\", \"Player 9\"], "
        "\"vision\": \"deutan\", \"distance\": 7.3",
        "    {\"column\": \"unit\", \"rows\": [\"Gaia\", \"Player 1\"], \"distance\": "
        "{\"normal\": 61.7701, \"deutan\": ",
        "\"too_close\": [\"deutan\"]}"})
    EXPECT_NE(s.find(part), std::string::npos) << part << "\n" << s.substr(0, 900);
  size_t pairs = 0;
  for (size_t at = s.find("{\"column\""); at != std::string::npos;
       at = s.find("{\"column\"", at + 1))
    ++pairs;
  EXPECT_EQ(pairs, 1 + 2 * 78u);  // the closest, then every pair
}

TEST(RowsAndColumns, AcceptNumbersAndCaptions) {
  const std::pair<const char*, int> rows[] = {
      {"0", 0},         {"12", 12},         {"Gaia", 0},       {"gaia", 0},
      {"Player 7", 7},  {" player  7 ", 7}, {"PLAYER 12", 12}, {"13", -1},
      {"Player 0", -1}, {"-1", -1},         {"", -1},          {"Player", -1},
      {"007", -1},      {"Player7", 7},     {"player12", 12},  {"player13", -1}};
  for (const auto& [text, row] : rows) EXPECT_EQ(ParseRow(text).value_or(-1), row) << text;
  const std::pair<const char*, int> columns[] = {
      {"0", 0}, {"2", 2}, {"unit", 0}, {"Minimap", 1}, {"dead", 2}, {"3", -1}, {"units", -1}};
  for (const auto& [text, column] : columns)
    EXPECT_EQ(ParseColumn(text).value_or(-1), column) << text;
}

}  // namespace

}  // namespace tintmoor::cli
