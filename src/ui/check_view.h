// What the colour-check dialog shows, worked out apart from the window so it
// can be tested on any host: each row's unit and minimap colour as the four
// kinds of vision see it, and one line per pair of players that are closer
// than the threshold (the same pairs, order and distances as the command-line
// check, since both come from CheckTable).
#pragma once

#include <array>
#include <string>
#include <vector>

#include "colorfile/color_check.h"
#include "colorfile/color_table.h"

// The columns the check covers: unit (0) and minimap (1). Dead units are never
// told apart by colour in play.
inline constexpr int kCheckedColumns = 2;

struct CheckView {
  // seen[column][row][vision], vision in kVisions order.
  std::array<std::array<std::array<Rgb, kVisions.size()>, kRows>, kCheckedColumns> seen{};
  CheckResult result;
  // One line per close pair, closest first; a single all-clear line when none.
  std::vector<std::string> pairLines;
};

// The colour as a viewer with that vision sees it, back in 8-bit sRGB.
Rgb SeenAs(Rgb colour, Vision vision);

CheckView MakeCheckView(const ColorTable& table, double threshold);

// "Player 3 and Player 7, unit: 4.21 protanopia, 6.10 deuteranopia"
std::string PairLine(const ClosePair& pair);
// "Pairs closer than 10, closest first:"
std::string PairListTitle(double threshold);
// "Every pair is at least 10 apart under all four kinds of vision."
std::string AllClearLine(double threshold);
// The one line the dialog shows after separating: how many colours moved, and
// whether every pair is now at least threshold apart or how close the closest still is.
std::string SeparationLine(size_t moved, bool reached, double closest, double threshold);
