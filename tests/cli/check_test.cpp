// The check, the presets it judges, and the row and column names users type.
#include "cli/check_report.h"

#include <gtest/gtest.h>

#include "cli/cell_names.h"
#include "colorfile/presets.h"

namespace {

TEST(ColourVisionPreset, KeepsEveryPairApartForEveryVision) {
  const ColorTable& t = ColourVisionScheme();
  for (int a = 0; a < kRows; ++a) {
    EXPECT_GE(SrgbToLab(t[a][0]).L, 35) << RowCaption(a) << " is near black";
    for (int b = a + 1; b < kRows; ++b)
      for (Vision v : kVisions) {
        const double d = Ciede2000(LabUnder(t[a][0], v), LabUnder(t[b][0], v));
        EXPECT_GE(d, 10.0) << RowCaption(a) << " / " << RowCaption(b) << " " << VisionName(v);
      }
  }
  EXPECT_TRUE(CheckTable(t, 10).close.empty());
}

// That the default preset is the default file cell for cell shows in
// cmd_colors_test: applying it gives the file back byte for byte.
TEST(Presets, AreFoundByTheirExactName) {
  ASSERT_NE(FindPreset("colour-vision"), nullptr);
  EXPECT_EQ(&FindPreset("default")->table, &DefaultScheme());
  EXPECT_EQ(FindPreset("Default"), nullptr);
}

TEST(Check, ThresholdDecidesWhatIsListed) {
  ColorTable t = ColourVisionScheme();
  EXPECT_TRUE(CheckTable(t, 10).close.empty());
  // Two identical minimap colours fail under every vision at distance 0.
  t[3][1] = t[9][1];
  const CheckResult r = CheckTable(t, 10);
  ASSERT_EQ(r.close.size(), 1u);
  EXPECT_EQ(r.close[0].column, 1);
  EXPECT_EQ(r.close[0].distance, 0);
  EXPECT_EQ(r.close[0].failures.size(), 4u);
  // Closest pairs overall: the colour-vision scheme's worst is 10.87 under tritanopia.
  EXPECT_GT(CheckTable(t, 11).close.size(), 1u);
  EXPECT_NEAR(r.closest[0][3].distance, 10.87, 0.005);
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
