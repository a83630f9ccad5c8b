// The check, the presets it judges, and the row and column names users type.
#include "cli/check_report.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>

#include "cli/cell_names.h"
#include "colorfile/presets.h"

namespace {

using ::testing::HasSubstr;

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

TEST(Presets, DefaultIsTheProgramsDefaultFile) {
  const ColorTable& t = DefaultScheme();
  EXPECT_EQ(t[0][0], (Rgb{153, 102, 0}));
  EXPECT_EQ(t[1][1], (Rgb{0, 0, 255}));
  EXPECT_EQ(t[10][1], (Rgb{146, 205, 185}));
  EXPECT_EQ(t[12][2], (Rgb{128, 0, 51}));
  ASSERT_NE(FindPreset("colour-vision"), nullptr);
  EXPECT_EQ(&FindPreset("default")->table, &DefaultScheme());
  EXPECT_EQ(FindPreset("Default"), nullptr);
}

TEST(Check, DefaultSchemesWorstPairIsUnderTritanopia) {
  const CheckResult r = CheckTable(DefaultScheme(), 10);
  ASSERT_FALSE(r.close.empty());
  const ClosePair& worst = r.close.front();
  EXPECT_EQ(worst.column, 0);
  EXPECT_EQ(RowCaption(worst.rowA), "Player 2");
  EXPECT_EQ(RowCaption(worst.rowB), "Player 12");
  EXPECT_EQ(worst.vision, Vision::Tritanopia);
  EXPECT_NEAR(worst.distance, 1.48, 0.005);
  for (size_t i = 1; i < r.close.size(); ++i)
    EXPECT_LE(r.close[i - 1].distance, r.close[i].distance) << "closest first";
  for (const ClosePair& p : r.close) {
    EXPECT_LT(p.distance, 10);
    EXPECT_LT(p.rowA, p.rowB);
    for (const auto& [vision, d] : p.failures) EXPECT_LT(d, 10) << VisionName(vision);
  }
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

TEST(Check, ReportListsPairsWithTheirVisions) {
  std::ostringstream out;
  PrintCheck(CheckTable(DefaultScheme(), 10), out);
  const std::string s = out.str();
  EXPECT_THAT(s, HasSubstr("tritanopia      1.48  Player 2 / Player 12"));
  EXPECT_THAT(
      s, HasSubstr("22 pairs are closer than 10, closest first:\n"
                   "  1.48  unit     Player 2 / Player 12    tritanopia, deuteranopia 9.97\n"));
  std::ostringstream none;
  PrintCheck(CheckTable(ColourVisionScheme(), 10), none);
  EXPECT_THAT(none.str(), HasSubstr("No pair is closer than 10.\n"));
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
