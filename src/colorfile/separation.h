// Moving players' colours apart until each pair in a column can be told apart
// with normal vision and with each of the three dichromacies: only colours
// that must move, each as little as the search can, inside the 8-bit sRGB cube.
#pragma once

#include <span>
#include <vector>

#include "colorfile/color_check.h"
#include "colorfile/color_table.h"
#include "colorfile/color_value.h"

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
  // The smallest pair distance over the chosen columns and the four visions
  // (infinite when no column is chosen).
  double minimumBefore = 0;
  double minimumAfter = 0;
  // The colour-vision check, which rounds distances to two decimals, finds no
  // pair of a chosen column closer than the threshold. When false, the table
  // holds the largest minimum the search found; when it found none larger
  // than the input's, the chosen columns come back unchanged.
  bool reached = false;
};

// The closest pair in one column, over normal vision and the three simulations.
double ColumnMinimum(const ColorTable& table, int column);

// Separates the given columns (0 unit, 1 minimap, 2 dead; repeats ignored)
// independently of each other: within each, it moves colours until every pair
// is at least the threshold apart, unrounded, with normal vision and with each
// dichromacy, keeping the sum of squared moves (CIEDE2000, normal vision, from
// the user's own colours) small. A colour stays moved only if, put back alone,
// it would be closer than the threshold (or, out of reach, than the minimum
// reached) to another. The same input always gives the same result. Throws
// std::invalid_argument for a column outside 0..2 or a threshold that is not
// a finite number.
SeparationResult SeparateColors(const ColorTable& table, double threshold,
                                std::span<const int> columns);
