#include "colorfile/color_check.h"

#include <algorithm>
#include <cmath>

double RoundDistance(double d) { return std::round(d * 100) / 100; }

PairDistance ClosestPair(const std::vector<Rgb>& colours, Vision v) {
  std::vector<Lab> labs;
  labs.reserve(colours.size());
  for (Rgb c : colours) labs.push_back(LabUnder(c, v));
  PairDistance best{0, 1, INFINITY};
  for (size_t i = 0; i < labs.size(); ++i)
    for (size_t j = i + 1; j < labs.size(); ++j) {
      const double d = Ciede2000(labs[i], labs[j]);
      if (d < best.distance) best = {static_cast<int>(i), static_cast<int>(j), d};
    }
  return best;
}

CheckResult CheckTable(const ColorTable& table, double threshold) {
  CheckResult result;
  result.threshold = threshold;
  for (int column = 0; column < 2; ++column) {
    std::vector<Rgb> colours;
    for (const auto& row : table) colours.push_back(row[static_cast<size_t>(column)]);
    std::array<std::vector<Lab>, kVisions.size()> labs;
    for (size_t v = 0; v < kVisions.size(); ++v) {
      for (Rgb c : colours) labs[v].push_back(LabUnder(c, kVisions[v]));
      result.closest[static_cast<size_t>(column)][v] = ClosestPair(colours, kVisions[v]);
    }
    for (int a = 0; a < kRows; ++a)
      for (int b = a + 1; b < kRows; ++b) {
        ClosePair pair{column, a, b, 0, Vision::Normal, {}};
        for (size_t v = 0; v < kVisions.size(); ++v) {
          const double d = RoundDistance(
              Ciede2000(labs[v][static_cast<size_t>(a)], labs[v][static_cast<size_t>(b)]));
          if (d < threshold) pair.failures.emplace_back(kVisions[v], d);
        }
        if (pair.failures.empty()) continue;
        std::stable_sort(pair.failures.begin(), pair.failures.end(),
                         [](const auto& x, const auto& y) { return x.second < y.second; });
        pair.vision = pair.failures.front().first;
        pair.distance = pair.failures.front().second;
        result.close.push_back(std::move(pair));
      }
  }
  std::stable_sort(result.close.begin(), result.close.end(),
                   [](const ClosePair& x, const ClosePair& y) { return x.distance < y.distance; });
  return result;
}
