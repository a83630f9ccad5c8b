// Moving players' colours apart until each pair in a column can be told apart
// with normal vision and with each chosen kind of colour vision deficiency:
// only colours that must move, each as little as the search can, inside the
// 8-bit sRGB cube.
#pragma once

#include <vector>

#include "colorfile/color_check.h"
#include "colorfile/color_table.h"
#include "colorfile/color_value.h"

namespace tintmoor::colorfile {

// The smallest separation the button and the command ask for unless told
// otherwise: the distance the check asks for.
inline constexpr double kDefaultSeparation = kDefaultThreshold;

// One colour the separation changed.
struct CellMove {
  int row = 0;
  int column = 0;
  Rgb before{};
  Rgb after{};
  // CIEDE2000 with normal vision from before to after.
  double distance = 0;
};

struct SeparationResult {
  ColorTable table{};
  // Table order (row by row, columns left to right); unmoved cells are not listed.
  std::vector<CellMove> moves;
  // The smallest pair distance over the chosen columns and the audience's
  // sights (infinite when no column is chosen).
  double minimumBefore = 0;
  double minimumAfter = 0;
  // The colour-vision check, which rounds distances to two decimals, finds no
  // pair of a chosen column closer than the threshold. When false, the table
  // holds the largest minimum the search found; when it found none larger
  // than the input's, the chosen columns come back unchanged.
  bool reached = false;
  // Moves too small to see (under kJustNoticeable) that were given back, the
  // other colours making room instead.
  size_t givenBack = 0;
};

// The closest pair in one column, over the audience's sights.
double ColumnMinimum(const ColorTable& table, int column, const Audience& audience);

// Separates the options' columns (0 unit, 1 minimap, 2 dead; repeats
// ignored) independently of each other: within each, it moves colours until
// every pair is at least the threshold apart, unrounded, under each of the
// audience's sights, keeping the sum of squared moves (CIEDE2000, normal
// vision, from the user's own colours) small. A colour stays moved only if,
// put back alone, it would be closer than the threshold (or, out of reach,
// than the minimum reached) to another; and a move too small to see only if
// the others cannot make room for it for less than kJustNoticeable more in
// all. The same input always gives the same
// result. Throws std::invalid_argument for a column outside 0..2 or a
// threshold that is not a finite number.
SeparationResult SeparateColors(const ColorTable& table, const CheckOptions& options);

}  // namespace tintmoor::colorfile
