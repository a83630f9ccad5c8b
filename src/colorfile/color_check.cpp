#include "colorfile/color_check.h"

#include <algorithm>
#include <stdexcept>

namespace tintmoor::colorfile {

double RoundDistance(double d) { return std::round(d * 100) / 100; }

size_t Audience::IndexOf(Vision v) const {
  for (size_t i = 0; i < sights.size(); ++i)
    if (sights[i].vision == v) return i;
  return sights.size();
}

Audience MakeAudience(std::span<const Vision> kinds, double severity) {
  if (!(severity >= kWeakestSeverity && severity <= kFullSeverity))
    throw std::invalid_argument("a severity is a number from 0.1 to 1");
  Audience audience;
  audience.severity = severity;
  for (Vision v : kVisions)
    if (v == Vision::Normal || std::find(kinds.begin(), kinds.end(), v) != kinds.end())
      audience.sights.push_back(MakeSight(v, severity));
  return audience;
}

const Audience& EveryVision() {
  static const Audience every = MakeAudience(kVisions, kFullSeverity);
  return every;
}

CheckResult CheckTable(const ColorTable& table, const CheckOptions& options) {
  if (!std::isfinite(options.threshold))
    throw std::invalid_argument("the threshold is not a number");
  CheckResult result;
  result.options = options;
  std::vector<int>& columns = result.options.columns;
  for (int c : columns)
    if (c < 0 || c >= kColumns) throw std::invalid_argument("no such color column");
  std::sort(columns.begin(), columns.end());
  columns.erase(std::unique(columns.begin(), columns.end()), columns.end());

  const std::vector<Sight>& sights = options.audience.sights;
  const double threshold = options.threshold;
  for (int column : columns) {
    std::vector<std::vector<Lab>> labs(sights.size());
    for (size_t s = 0; s < sights.size(); ++s)
      for (const auto& row : table) labs[s].push_back(LabUnder(row[size_t(column)], sights[s]));
    std::vector<PairDistance> closest(sights.size(), PairDistance{0, 1, INFINITY});
    for (int a = 0; a < kRows; ++a)
      for (int b = a + 1; b < kRows; ++b) {
        PairDistances pair{column, a, b, {}};
        ClosePair close{column, a, b, 0, Vision::Normal, {}};
        for (size_t s = 0; s < sights.size(); ++s) {
          const double d = Ciede2000(labs[s][size_t(a)], labs[s][size_t(b)]);
          pair.distance.push_back(d);
          if (d < closest[s].distance) closest[s] = {a, b, d};
          if (d < result.overall.distance) result.overall = {column, a, b, sights[s].vision, d};
          if (RoundDistance(d) < threshold)
            close.failures.emplace_back(sights[s].vision, RoundDistance(d));
        }
        result.pairs.push_back(std::move(pair));
        if (close.failures.empty()) continue;
        std::stable_sort(close.failures.begin(), close.failures.end(),
                         [](const auto& x, const auto& y) { return x.second < y.second; });
        close.vision = close.failures.front().first;
        close.distance = close.failures.front().second;
        result.close.push_back(std::move(close));
      }
    result.closest.push_back(std::move(closest));
  }
  std::stable_sort(result.close.begin(), result.close.end(),
                   [](const ClosePair& x, const ClosePair& y) { return x.distance < y.distance; });
  return result;
}

std::vector<int> ClosePartners(const CheckResult& result, int column, int row, Vision v) {
  std::vector<int> rows;
  for (const ClosePair& p : result.close) {
    if (p.column != column || (p.rowA != row && p.rowB != row)) continue;
    for (const auto& failure : p.failures)
      if (failure.first == v) rows.push_back(p.rowA == row ? p.rowB : p.rowA);
  }
  std::sort(rows.begin(), rows.end());
  return rows;
}

}  // namespace tintmoor::colorfile
