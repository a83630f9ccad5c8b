// The check for colours that are hard to tell apart: pairwise CIEDE2000 of the
// 13 unit colours and of the 13 minimap colours, for normal vision and as seen
// by protanopes, deuteranopes and tritanopes.
#pragma once

#include <array>
#include <vector>

#include "colorfile/color_science.h"
#include "colorfile/color_table.h"

// Distances are compared and shown rounded to two decimals, so a pair printed
// as "10.00" never appears in a list of pairs closer than 10.
double RoundDistance(double d);

struct PairDistance {
  int rowA = 0;
  int rowB = 0;
  double distance = 0;
};

// A pair of rows whose colours in one column are closer than the threshold
// under at least one vision.
struct ClosePair {
  int column = 0;
  int rowA = 0;
  int rowB = 0;
  double distance = 0;  // the smallest over the visions it fails under
  Vision vision = Vision::Normal;
  // Every vision under which the pair fails, closest first.
  std::vector<std::pair<Vision, double>> failures;
};

// Pairs closer than this (CIEDE2000) are listed unless a caller asks otherwise:
// about 1 is just noticeable side by side; 10 keeps players apart at a glance.
inline constexpr double kDefaultThreshold = 10;

struct CheckResult {
  double threshold = kDefaultThreshold;
  // The closest pair per checked column (0 unit, 1 minimap) and vision.
  std::array<std::array<PairDistance, kVisions.size()>, 2> closest{};
  // Closest first; ties in table order.
  std::vector<ClosePair> close;
};

// The closest pair among colours under one vision (at least two colours).
PairDistance ClosestPair(const std::vector<Rgb>& colours, Vision v);

CheckResult CheckTable(const ColorTable& table, double threshold);
