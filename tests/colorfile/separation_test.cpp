// Separating players' colours: the threshold met as the check judges it, or
// the best minimum reported; only needed colours moved, and every move listed.
// For fewer kinds of vision, or weaker ones, less moves.
#include "colorfile/separation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <vector>

#include "colorfile/color_check.h"
#include "colorfile/color_science.h"
#include "colorfile/presets.h"
#include "support/clash_schemes.h"

namespace tintmoor::colorfile {

namespace {

const std::vector<int> kUnit = {0};
const std::vector<int> kAll = {0, 1, 2};

ColorTable AllWhite() {
  ColorTable t{};
  for (auto& row : t) row.fill({255, 255, 255});
  return t;
}

struct SeparationCase {
  const char* name;
  ColorTable table;
  double threshold;
  std::vector<int> columns;
  bool reached;
  bool untouched;  // already far enough apart: nothing may move
  Audience audience = EveryVision();
};

const Vision kDeutan[] = {Vision::Deutan};

const SeparationCase kCases[] = {
    {"default unit", DefaultScheme(), 10, kUnit, true, false},
    {"default all", DefaultScheme(), 10, kAll, true, false},
    {"near reds", ClashSchemes()[0].table, 10, {0, 1}, true, false},
    {"deuteranopia minimap", ClashSchemes()[1].table, 10, {1}, true, false},
    {"tritanopia unit", ClashSchemes()[2].table, 10, kUnit, true, false},
    // Thirteen identical colours in a corner of the cube: room only inward.
    {"thirteen whites", AllWhite(), 10, kUnit, true, false},
    {"colour-vision preset", ColourVisionScheme(), 10, {0, 1}, true, true},
    {"default, out of reach", DefaultScheme(), 60, kUnit, false, false},
    {"default, green-weak 0.6",
     DefaultScheme(),
     10,
     {0, 1},
     true,
     false,
     MakeAudience(kDeutan, 0.6)},
};

bool Chosen(const SeparationCase& c, int column) {
  return std::find(c.columns.begin(), c.columns.end(), column) != c.columns.end();
}

TEST(SeparateColors, MeetsTheThresholdMovingOnlyWhatItMustAndListingIt) {
  for (const SeparationCase& c : kCases) {
    SCOPED_TRACE(c.name);
    const CheckOptions options{c.audience, c.columns, c.threshold};
    const SeparationResult r = SeparateColors(c.table, options);
    EXPECT_EQ(r.reached, c.reached);
    if (c.untouched) {
      EXPECT_TRUE(r.moves.empty());
    }

    // Separated columns pass the check; out of reach, the minimum only grows.
    double before = INFINITY, after = INFINITY;
    for (int col : c.columns) {
      before = std::min(before, ColumnMinimum(c.table, col, c.audience));
      after = std::min(after, ColumnMinimum(r.table, col, c.audience));
      if (c.reached) {
        EXPECT_GE(ColumnMinimum(r.table, col, c.audience), c.threshold) << col;
      }
    }
    // The check with the same options agrees with what the separation reports.
    const CheckResult check = CheckTable(r.table, options);
    EXPECT_EQ(check.close.empty(), c.reached);
    EXPECT_DOUBLE_EQ(check.overall.distance, after);
    EXPECT_DOUBLE_EQ(r.minimumBefore, before);
    EXPECT_DOUBLE_EQ(r.minimumAfter, after);
    if (!c.reached) {
      EXPECT_GE(after, before);
      EXPECT_LT(RoundDistance(after), c.threshold);
    }

    // Every changed cell is listed once, in a chosen column, and was needed:
    // put back alone, its column falls short again.
    size_t changed = 0;
    for (int row = 0; row < kRows; ++row)
      for (int col = 0; col < kColumns; ++col)
        changed += r.table[size_t(row)][size_t(col)] != c.table[size_t(row)][size_t(col)];
    EXPECT_EQ(changed, r.moves.size());
    for (const CellMove& m : r.moves) {
      SCOPED_TRACE(RowCaption(m.row));
      EXPECT_TRUE(Chosen(c, m.column));
      EXPECT_EQ(m.before, c.table[size_t(m.row)][size_t(m.column)]);
      EXPECT_EQ(m.after, r.table[size_t(m.row)][size_t(m.column)]);
      EXPECT_NEAR(m.distance, Ciede2000(LabUnder(m.before, Sight{}), LabUnder(m.after, Sight{})),
                  1e-9);
      ColorTable back = r.table;
      back[size_t(m.row)][size_t(m.column)] = m.before;
      const double without = ColumnMinimum(back, m.column, c.audience);
      if (c.reached) {
        EXPECT_LT(without, c.threshold);
      } else {
        EXPECT_LT(without, ColumnMinimum(r.table, m.column, c.audience));
      }
    }
  }
}

// Separating for one kind of weak vision moves less than for everyone.
TEST(SeparateColors, FewerAndWeakerVisionsMoveLess) {
  auto total = [](const CheckOptions& options) {
    double sum = 0;
    for (const CellMove& m : SeparateColors(DefaultScheme(), options).moves) sum += m.distance;
    return sum;
  };
  const double everyone = total(CheckOptions{});
  const double greenBlind = total(CheckOptions{MakeAudience(kDeutan, 1), {0, 1}, 10});
  const double greenWeak = total(CheckOptions{MakeAudience(kDeutan, 0.6), {0, 1}, 10});
  EXPECT_LT(greenBlind, everyone);
  EXPECT_LT(greenWeak, greenBlind);
}

TEST(SeparateColors, SameInputSameResult) {
  const CheckOptions all{EveryVision(), kAll, 10};
  const SeparationResult a = SeparateColors(ClashSchemes()[1].table, all);
  const SeparationResult b = SeparateColors(ClashSchemes()[1].table, all);
  EXPECT_EQ(a.table, b.table);
  ASSERT_EQ(a.moves.size(), b.moves.size());
  for (size_t i = 0; i < a.moves.size(); ++i) {
    EXPECT_EQ(a.moves[i].row, b.moves[i].row);
    EXPECT_EQ(a.moves[i].column, b.moves[i].column);
    EXPECT_EQ(a.moves[i].after, b.moves[i].after);
  }
}

TEST(SeparateColors, RejectsUnknownColumnsAndThresholds) {
  const std::vector<int> bad[] = {{3}, {-1}, {0, 7}};
  for (const auto& columns : bad)
    EXPECT_THROW(SeparateColors(DefaultScheme(), {EveryVision(), columns, 10}),
                 std::invalid_argument);
  EXPECT_THROW(SeparateColors(DefaultScheme(), {EveryVision(), kUnit, NAN}), std::invalid_argument);
  EXPECT_THROW(ColumnMinimum(DefaultScheme(), 3, EveryVision()), std::invalid_argument);
  const Vision none[] = {Vision::Normal};
  for (double severity : {0.0, 0.09, 1.01, double(NAN)})
    EXPECT_THROW(MakeAudience(none, severity), std::invalid_argument) << severity;
}

}  // namespace

}  // namespace tintmoor::colorfile
