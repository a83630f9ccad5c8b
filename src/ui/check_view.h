// What the colour-check dialog shows, worked out apart from the window so it
// can be tested on any host: for whom it checks (the player's choice of
// vision and severity), each row's unit and minimap colour as each of them
// sees it, which swatches are too close to which rows, and one line per
// close pair. The check and the separation are the command line's own
// (CheckTable, SeparateColors with the same options), worded the same way,
// so the window and tintmoor-cli give one answer.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "colorfile/color_check.h"
#include "colorfile/color_table.h"
#include "colorfile/separation.h"

namespace tintmoor::ui {

// The columns the dialog shows: unit (0) and minimap (1), the check's own.
inline constexpr int kCheckedColumns = static_cast<int>(colorfile::kDefaultColumns.size());

// For whom the dialog checks: everyone (the three kinds), or one kind.
inline constexpr std::array<colorfile::Vision, 4> kForWhom = {
    colorfile::Vision::Normal, colorfile::Vision::Protan, colorfile::Vision::Deutan,
    colorfile::Vision::Tritan};
// "Everyone", "Red-weak or red-blind (protan)" ...: the choices' labels.
std::string ForWhomLabel(colorfile::Vision v);
// How strong, in tenths from 1 (the mildest weakness) to 10 (blind to the colour).
inline constexpr int kMildestTenths = 1;
inline constexpr int kFullTenths = 10;
// "0.1 (mildest)", "0.5", "1.0 (full: blind to the color)".
std::string StrengthLabel(int tenths);
// The check the choice stands for: forWhom Normal means every kind.
colorfile::CheckOptions DialogOptions(colorfile::Vision forWhom, int tenths);

struct CheckView {
  colorfile::CheckOptions options;
  // seen[column][row][sight], sights in the audience's order.
  std::array<std::array<std::vector<colorfile::Rgb>, colorfile::kRows>, kCheckedColumns> seen{};
  // For each swatch, as seen: the rows it is too close to; the dialog frames
  // it and names them in its corner.
  std::array<std::array<std::vector<std::vector<int>>, colorfile::kRows>, kCheckedColumns>
      partners{};
  colorfile::CheckResult result;
  std::string checkedLine;   // who was checked, and which colours
  std::string distanceLine;  // what a distance means
  std::string closestLine;   // "Closest pair: 1.48 (unit colors of ...)"
  // One line per close pair, closest first; a single all-clear line when none.
  std::vector<std::string> pairLines;
};

CheckView MakeCheckView(const colorfile::ColorTable& table, const colorfile::CheckOptions& options);

// The swatch's corner tag naming its partners: "G 7" (G for Gaia).
std::string PartnerTag(const std::vector<int>& rows);
// "Player 3 and Player 7, unit: 4.21 red-blind, 6.10 green-blind"
std::string PairLine(const colorfile::ClosePair& pair, double severity);
// "Pairs closer than 10, closest first, with the distance under each vision:"
std::string PairListTitle(double threshold);
// "Every pair is at least 10 apart for everyone checked."
std::string AllClearLine(double threshold);

// What Separate Closest Colors does: the separation and the line the dialog
// shows after it.
struct SeparationView {
  colorfile::SeparationResult result;
  std::string line;
};
SeparationView SeparateForView(const colorfile::ColorTable& table,
                               const colorfile::CheckOptions& options);
// The line: how many colours moved, how many moves too small to see were
// given back, and whether every pair is now at least the threshold apart or
// how close the closest still is.
std::string SeparationLine(const colorfile::SeparationResult& result, double threshold);

}  // namespace tintmoor::ui
