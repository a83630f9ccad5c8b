// The check for colours that are hard to tell apart: the CIEDE2000 distance
// of every pair of players' colours in the checked columns, for normal vision
// and as seen with the chosen kinds of colour vision deficiency. The window's
// Check Colors and the command line's check, separate and preview all run
// this one check with the same options, so they give one answer.
#pragma once

#include <array>
#include <cmath>
#include <span>
#include <vector>

#include "colorfile/color_science.h"
#include "colorfile/color_table.h"

namespace tintmoor::colorfile {

// Distances are compared and shown rounded to two decimals, so a pair printed
// as "10.00" never appears in a list of pairs closer than 10.
double RoundDistance(double d);

// Pairs closer than this (CIEDE2000) are listed unless a caller asks otherwise:
// what the program takes as easy to tell apart on a battlefield.
inline constexpr double kDefaultThreshold = 10;
// About the smallest CIEDE2000 difference people notice between two colours
// side by side (Mokrzycki and Tatol, "Colour difference Delta E - a survey",
// Machine Graphics and Vision 20(4), 2011).
inline constexpr double kJustNoticeable = 1;

// For whom the colours are checked: always normal vision (the other players
// see normally), and the chosen kinds of deficiency, all at one severity.
struct Audience {
  double severity = kFullSeverity;
  // Normal first, then the chosen kinds in kVisions order.
  std::vector<Sight> sights;

  // The position of v in sights, or sights.size() when it is not checked.
  size_t IndexOf(Vision v) const;
};

// Normal vision and the given kinds (repeats and Normal itself ignored) at a
// severity from kWeakestSeverity to kFullSeverity. Throws
// std::invalid_argument for any other severity.
Audience MakeAudience(std::span<const Vision> kinds, double severity);
// Normal vision and all three kinds at full severity: what is checked unless
// the player chooses otherwise.
const Audience& EveryVision();

// The columns checked unless told otherwise: unit and minimap. Dead units are
// seldom told apart by their colour in play.
inline constexpr std::array<int, 2> kDefaultColumns = {0, 1};

// What the check and the separation look at.
struct CheckOptions {
  Audience audience = EveryVision();
  // Each of 0 (unit), 1 (minimap), 2 (dead) at most once, in that order.
  std::vector<int> columns{kDefaultColumns.begin(), kDefaultColumns.end()};
  double threshold = kDefaultThreshold;
};

struct PairDistance {
  int rowA = 0;
  int rowB = 0;
  double distance = 0;
};

// Every pair of rows in a checked column, with its distance under each sight.
struct PairDistances {
  int column = 0;
  int rowA = 0;
  int rowB = 0;
  std::vector<double> distance;  // unrounded, one per sight in audience order
};

// A pair of rows whose colours in one column are closer than the threshold
// under at least one sight.
struct ClosePair {
  int column = 0;
  int rowA = 0;
  int rowB = 0;
  double distance = 0;  // the smallest over the visions it fails under
  Vision vision = Vision::Normal;
  // Every vision under which the pair fails, closest first (rounded).
  std::vector<std::pair<Vision, double>> failures;
};

// The closest pair of all the checked columns and sights (unrounded; the
// first in column, table and audience order on a tie).
struct Closest {
  int column = 0;
  int rowA = 0;
  int rowB = 1;
  Vision vision = Vision::Normal;
  double distance = INFINITY;
};

struct CheckResult {
  CheckOptions options;
  // Column by column, pairs in table order.
  std::vector<PairDistances> pairs;
  // closest[c][s]: the closest pair of options.columns[c] under sight s.
  std::vector<std::vector<PairDistance>> closest;
  Closest overall;
  // Closest first; ties in table order.
  std::vector<ClosePair> close;
};

// Throws std::invalid_argument for a column outside 0..2 or a threshold that
// is not a finite number.
CheckResult CheckTable(const ColorTable& table, const CheckOptions& options);

// The rows whose colour in the column is closer than the threshold to row's
// under vision v, in row order: what frames a swatch.
std::vector<int> ClosePartners(const CheckResult& result, int column, int row, Vision v);

}  // namespace tintmoor::colorfile
