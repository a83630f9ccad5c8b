// What the check dialog shows: the check's own simulation and CheckTable's pairs, in order.
#include <gtest/gtest.h>

#include "colorfile/presets.h"
#include "ui/check_view.h"

namespace {

TEST(CheckView, SwatchesAndPairLinesFollowTheCheck) {
  const ColorTable& table = DefaultScheme();
  const CheckView view = MakeCheckView(table, 10);
  const CheckResult check = CheckTable(table, 10);
  ASSERT_FALSE(check.close.empty()) << "the default colors have close pairs to show";
  ASSERT_EQ(view.pairLines.size(), check.close.size());
  for (size_t i = 0; i < check.close.size(); ++i) {
    const ClosePair& p = check.close[i];
    const std::string& line = view.pairLines[i];
    EXPECT_EQ(
        line.rfind(std::string(RowCaption(p.rowA)) + " and " + std::string(RowCaption(p.rowB)) +
                       ", " + std::string(ColumnName(p.column)) + ": ",
                   0),
        0u)
        << line;
    EXPECT_NE(line.find(std::string(VisionName(p.vision))), std::string::npos) << line;
  }
  // A swatch is the colour the check measured, give or take the 8-bit rounding.
  for (size_t column = 0; column < 2; ++column)
    for (size_t row = 0; row < kRows; ++row)
      for (size_t v = 0; v < kVisions.size(); ++v) {
        const Rgb seen = view.seen[column][row][v];
        EXPECT_LT(Ciede2000(SrgbToLab(seen), LabUnder(table[row][column], kVisions[v])), 0.5);
        if (kVisions[v] == Vision::Normal) {
          EXPECT_EQ(seen, table[row][column]);
        }
      }
}

TEST(CheckView, Lines) {
  ColorTable apart = ColourVisionScheme();
  for (auto& row : apart) row[1] = row[0];  // its unit colours are kept apart
  EXPECT_EQ(
      MakeCheckView(apart, 10).pairLines,
      std::vector<std::string>{"Every pair is at least 10 apart under all four kinds of vision."});
  ClosePair pair{0, 3, 7, 4.21, Vision::Protanopia, {{Vision::Protanopia, 4.21}}};
  pair.failures.emplace_back(Vision::Deuteranopia, 6.1);
  auto separated = [](size_t moves, bool reached) {
    return SeparationLine(moves, reached, 7.518, 10);
  };
  const struct {
    std::string got, want;
  } cases[] = {
      {PairLine(pair), "Player 3 and Player 7, unit: 4.21 protanopia, 6.10 deuteranopia"},
      {PairListTitle(10), "Pairs closer than 10, closest first:"},
      {separated(3, true), "3 colors moved; every pair is now at least 10 apart."},
      {separated(0, true), "Nothing moved: every pair was already at least 10 apart."},
      {separated(1, false),
       "Not every pair could be brought 10 apart: 1 color moved, the closest pair is now 7.52 "
       "apart."},
  };
  for (const auto& c : cases) EXPECT_EQ(c.got, c.want);
}

}  // namespace
