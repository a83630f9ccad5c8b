// The check, the presets it judges, the words it names visions with, and the
// row and column names users type.
#include "cli/check_report.h"

#include <gtest/gtest.h>

#include <sstream>

#include "cli/cell_names.h"
#include "colorfile/presets.h"
#include "colorfile/vision_words.h"

namespace tintmoor::cli {

namespace {

TEST(ColourVisionPreset, KeepsEveryPairApartForEveryVision) {
  const colorfile::ColorTable& t = colorfile::ColourVisionScheme();
  for (int a = 0; a < colorfile::kRows; ++a) {
    EXPECT_GE(colorfile::SrgbToLab(t[a][0]).L, 35) << colorfile::RowCaption(a) << " is near black";
    for (int b = a + 1; b < colorfile::kRows; ++b)
      for (colorfile::Vision v : colorfile::kVisions) {
        const colorfile::Sight s = colorfile::MakeSight(v, 1);
        const double d =
            colorfile::Ciede2000(colorfile::LabUnder(t[a][0], s), colorfile::LabUnder(t[b][0], s));
        EXPECT_GE(d, 10.0) << colorfile::RowCaption(a) << " / " << colorfile::RowCaption(b) << " "
                           << int(v);
      }
  }
  EXPECT_TRUE(colorfile::CheckTable(t, colorfile::CheckOptions{}).close.empty());
}

// That the default preset is the default file cell for cell shows in
// cmd_colors_test: applying it gives the file back byte for byte.
TEST(Presets, AreFoundByTheirExactNames) {
  ASSERT_NE(colorfile::FindPreset("color-vision"), nullptr);
  EXPECT_EQ(colorfile::FindPreset("colour-vision"), colorfile::FindPreset("color-vision"));
  EXPECT_EQ(&colorfile::FindPreset("default")->table, &colorfile::DefaultScheme());
  EXPECT_EQ(colorfile::FindPreset("Default"), nullptr);
  EXPECT_EQ(colorfile::FindPreset(""), nullptr);
}

colorfile::CheckOptions Options(std::vector<colorfile::Vision> kinds, double severity,
                                std::vector<int> columns, double threshold = 10) {
  return {colorfile::MakeAudience(kinds, severity), std::move(columns), threshold};
}

TEST(Check, OptionsDecideWhatIsListed) {
  colorfile::ColorTable t = colorfile::ColourVisionScheme();
  EXPECT_TRUE(colorfile::CheckTable(t, colorfile::CheckOptions{}).close.empty());
  // Two identical minimap colours fail under every vision at distance 0.
  t[3][1] = t[9][1];
  const colorfile::CheckResult r = colorfile::CheckTable(t, colorfile::CheckOptions{});
  ASSERT_EQ(r.close.size(), 1u);
  EXPECT_EQ(r.close[0].column, 1);
  EXPECT_EQ(r.close[0].distance, 0);
  EXPECT_EQ(r.close[0].failures.size(), 4u);
  EXPECT_EQ(r.pairs.size(), 2u * 78);
  EXPECT_EQ(r.overall.column, 1);
  EXPECT_NEAR(r.overall.distance, 0, 1e-12);  // not exactly 0 on the x87 unit
  // The colour-vision scheme's worst unit pair is 10.87, for blue-blind vision.
  EXPECT_GT(colorfile::CheckTable(t, {colorfile::EveryVision(), {0, 1}, 11}).close.size(), 1u);
  EXPECT_NEAR(r.closest[0][3].distance, 10.87, 0.005);

  // The default colours: what is close depends on for whom and which colours.
  const struct {
    colorfile::CheckOptions options;
    size_t close;
    size_t pairs;
  } cases[] = {
      {colorfile::CheckOptions{}, 22, 156},
      {Options({colorfile::Vision::Deutan}, 1, {0, 1}), 10, 156},
      {Options({colorfile::Vision::Deutan}, 0.6, {0, 1}), 3, 156},
      {Options({colorfile::Vision::Tritan}, 0.1, {0}), 0, 78},
      {Options({colorfile::Vision::Protan, colorfile::Vision::Deutan, colorfile::Vision::Tritan}, 1,
               {0, 1, 2}),
       22 + 19, 234},
  };
  for (const auto& c : cases) {
    const colorfile::CheckResult d = colorfile::CheckTable(colorfile::DefaultScheme(), c.options);
    EXPECT_EQ(d.close.size(), c.close) << colorfile::CheckedLine(c.options);
    EXPECT_EQ(d.pairs.size(), c.pairs) << colorfile::CheckedLine(c.options);
    for (const colorfile::PairDistances& p : d.pairs)
      EXPECT_EQ(p.distance.size(), c.options.audience.sights.size());
  }
}

TEST(Check, NamesVisionsInPlainWords) {
  const struct {
    colorfile::Vision vision;
    double severity;
    const char* full;
  } names[] = {
      {colorfile::Vision::Normal, 1, "normal"},
      {colorfile::Vision::Protan, 0.9, "red-weak (protanomaly)"},
      {colorfile::Vision::Deutan, 1, "green-blind (deuteranopia)"},
      {colorfile::Vision::Tritan, 0.1, "blue-weak (tritanomaly)"},
  };
  for (const auto& n : names) {
    EXPECT_EQ(colorfile::VisionFullName(n.vision, n.severity), n.full);
    EXPECT_EQ(colorfile::VisionFromKey(colorfile::VisionKey(n.vision)), n.vision);
  }
  EXPECT_EQ(colorfile::VisionFromKey("deuteranopia"), std::nullopt);

  const struct {
    colorfile::CheckOptions options;
    const char* line;
  } lines[] = {
      {Options({colorfile::Vision::Deutan}, 0.6, {2}),
       "Checked: dead colors, for normal vision and green-weak (deuteranomaly) vision, at "
       "severity 0.6 (0.1 is the mildest, 1 full color blindness)."},
  };
  for (const auto& l : lines) EXPECT_EQ(colorfile::CheckedLine(l.options), l.line);

  // The whole report is held byte for byte by cli_color_check_default; here:
  // a medical term only ever in brackets after its plain words.
  std::ostringstream text;
  PrintCheck(colorfile::CheckTable(colorfile::DefaultScheme(), colorfile::CheckOptions{}), text);
  std::string outside = text.str();
  for (size_t open; (open = outside.find('(')) != std::string::npos;)
    outside.erase(open, outside.find(')', open) + 1 - open);
  EXPECT_EQ(outside.find("anopia"), std::string::npos) << outside;
}

// For scripts: every pair of every column, each distance keyed by vision.
TEST(Check, JsonGivesEveryPair) {
  std::ostringstream json;
  PrintCheckJson(colorfile::CheckTable(colorfile::DefaultScheme(),
                                       Options({colorfile::Vision::Deutan}, 0.6, {0, 1})),
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
