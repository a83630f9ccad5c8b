// The search, column by column: a penalised descent in continuous sRGB
// (squared moves plus heavily weighted shortfalls, the weight raised step by
// step) from the user's colours, then rounding to whole components and
// mending what rounding broke. If the threshold is not met, further descents
// aim between the minimum reached and the lowest goal that failed, and the
// closest pair is pushed apart. Last, what is not needed is given back: each
// moved colour goes home if it fits there, or to the nearest place that fits
// (looked for along rays from its original), and each is tried home while the
// others make room for it. A move too small to see is given back even when
// that costs the others a little more, unless the threshold needs it.
#include "colorfile/separation.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <stdexcept>
#include <vector>

#include "colorfile/color_check.h"
#include "colorfile/color_science.h"
#include "colorfile/separation_search.h"

namespace tintmoor::colorfile {

namespace separation_detail {

// The column as separated: each row's colour.
std::array<Rgb, kN> ColumnSearch::Run() {
  State start;
  for (size_t i = 0; i < kN; ++i) start.cell[i] = {PointOf(original_[i]), originalViews_[i], 0};
  State s = start;
  const double before = Minimum(s);
  const std::vector<size_t> unfit = Unfit(s);
  if (unfit.empty()) return original_;

  if (threshold_ <= kWidest) {
    // Half the work at most, so that lifting has the rest when this falls short.
    budget_ = kEvaluations / 2;
    Descend(s, unfit, kPenalties, 60);
    Round(s);
    Repair(s, unfit);
    budget_ = kEvaluations;
  }
  if (!Reached(s)) {
    // A threshold out of reach can leave the descent worse off than it began.
    if (Minimum(s) < before) s = start;
    Lift(s);
    Spread(s);
  }
  // Out of reach, the search keeps the larger minimum it found, and gives
  // back only what does not take the minimum below that.
  const double keep = Reached(s) ? INFINITY : Minimum(s);
  if (keep <= before) return original_;
  Improve(s, keep);
  GoHome(s, keep);
  GiveBackUnseen(s, keep);
  GoHome(s, keep);

  std::array<Rgb, kN> out{};
  for (size_t i = 0; i < kN; ++i) out[i] = RgbOf(s.cell[i].pos);
  return out;
}

}  // namespace separation_detail

using separation_detail::ColumnSearch;
using separation_detail::Gap;
using separation_detail::kN;
using separation_detail::PointOf;
using separation_detail::Views;
using separation_detail::ViewsOf;

double ColumnMinimum(const ColorTable& table, int column, const Audience& audience) {
  if (column < 0 || column >= kColumns) throw std::invalid_argument("no such color column");
  std::array<Views, kN> views{};
  for (size_t i = 0; i < kN; ++i)
    views[i] = ViewsOf(PointOf(table[i][size_t(column)]), audience.sights);
  double d = INFINITY;
  for (size_t i = 0; i < kN; ++i)
    for (size_t j = i + 1; j < kN; ++j)
      d = std::min(d, Gap(views[i], views[j], audience.sights.size()));
  return d;
}

SeparationResult SeparateColors(const ColorTable& table, const CheckOptions& options) {
  const double threshold = options.threshold;
  if (!std::isfinite(threshold))
    throw std::invalid_argument("the separation threshold is not a number");
  std::array<bool, kColumns> chosen{};
  for (int c : options.columns) {
    if (c < 0 || c >= kColumns) throw std::invalid_argument("no such color column");
    chosen[size_t(c)] = true;
  }
  const Audience& audience = options.audience;
  SeparationResult result;
  result.table = table;
  result.reached = true;
  result.minimumBefore = INFINITY;
  result.minimumAfter = INFINITY;
  for (int c = 0; c < kColumns; ++c) {
    if (!chosen[size_t(c)]) continue;
    ColumnSearch search(table, c, threshold, audience);
    const auto column = search.Run();
    result.givenBack += search.GivenBack();
    for (size_t i = 0; i < kN; ++i) result.table[i][size_t(c)] = column[i];
    const double before = ColumnMinimum(table, c, audience);
    const double after = ColumnMinimum(result.table, c, audience);
    result.minimumBefore = std::min(result.minimumBefore, before);
    result.minimumAfter = std::min(result.minimumAfter, after);
    if (RoundDistance(after) < threshold) result.reached = false;
  }
  for (int r = 0; r < kRows; ++r)
    for (int c = 0; c < kColumns; ++c) {
      const Rgb before = table[size_t(r)][size_t(c)];
      const Rgb after = result.table[size_t(r)][size_t(c)];
      if (before != after)
        result.moves.push_back(
            {r, c, before, after, Ciede2000(LabUnder(before, Sight{}), LabUnder(after, Sight{}))});
    }
  return result;
}

}  // namespace tintmoor::colorfile
