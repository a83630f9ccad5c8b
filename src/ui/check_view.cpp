#include "ui/check_view.h"

#include <cstdio>

#include "colorfile/color_science.h"
#include "colorfile/vision_words.h"

namespace tintmoor::ui {

std::string ForWhomLabel(colorfile::Vision v) {
  if (v == colorfile::Vision::Normal) return "Everyone";
  std::string weak = colorfile::VisionName(v, colorfile::kWeakestSeverity);
  weak[0] = static_cast<char>(weak[0] - 'a' + 'A');
  return weak + " or " + colorfile::VisionName(v, colorfile::kFullSeverity) + " (" +
         std::string(colorfile::VisionKey(v)) + ")";
}

std::string StrengthLabel(int tenths) {
  char figure[16];
  std::snprintf(figure, sizeof figure, "%d.%d", tenths / 10, tenths % 10);
  if (tenths <= kMildestTenths) return std::string(figure) + " (mildest)";
  if (tenths >= kFullTenths) return std::string(figure) + " (full: blind to the color)";
  return figure;
}

colorfile::CheckOptions DialogOptions(colorfile::Vision forWhom, int tenths) {
  colorfile::CheckOptions options;
  const colorfile::Vision one[] = {forWhom};
  options.audience = forWhom == colorfile::Vision::Normal
                         ? colorfile::MakeAudience(colorfile::kVisions, tenths / 10.0)
                         : colorfile::MakeAudience(one, tenths / 10.0);
  return options;
}

std::string PartnerTag(const std::vector<int>& rows) {
  std::string tag;
  for (int row : rows) {
    if (!tag.empty()) tag += ' ';
    tag += row == 0 ? "G" : std::to_string(row);
  }
  return tag;
}

std::string PairLine(const colorfile::ClosePair& pair, double severity) {
  std::string line = std::string(colorfile::RowCaption(pair.rowA)) + " and " +
                     std::string(colorfile::RowCaption(pair.rowB)) + ", " +
                     std::string(colorfile::ColumnName(pair.column)) + ":";
  for (size_t i = 0; i < pair.failures.size(); ++i) {
    line += i ? ", " : " ";
    line += colorfile::DistanceText(pair.failures[i].second) + " " +
            colorfile::VisionName(pair.failures[i].first, severity);
  }
  return line;
}

std::string AllClearLine(double threshold) {
  return "Every pair is at least " + colorfile::NumberText(threshold) +
         " apart for everyone checked.";
}

std::string PairListTitle(double threshold) {
  return "Pairs closer than " + colorfile::NumberText(threshold) +
         ", closest first, with the distance under each vision:";
}

CheckView MakeCheckView(const colorfile::ColorTable& table,
                        const colorfile::CheckOptions& options) {
  CheckView view;
  view.options = options;
  view.options.columns = {colorfile::kDefaultColumns.begin(), colorfile::kDefaultColumns.end()};
  view.result = colorfile::CheckTable(table, view.options);
  const std::vector<colorfile::Sight>& sights = view.options.audience.sights;
  for (size_t column = 0; column < kCheckedColumns; ++column)
    for (size_t row = 0; row < colorfile::kRows; ++row)
      for (const colorfile::Sight& sight : sights) {
        view.seen[column][row].push_back(colorfile::SeenAs(table[row][column], sight));
        view.partners[column][row].push_back(
            colorfile::ClosePartners(view.result, int(column), int(row), sight.vision));
      }
  const double severity = view.options.audience.severity;
  view.checkedLine = colorfile::CheckedLine(view.options);
  view.distanceLine = colorfile::DistanceLine(view.options.threshold);
  view.closestLine = "Closest pair: " + colorfile::ClosestWords(view.result.overall, severity);
  for (const colorfile::ClosePair& pair : view.result.close)
    view.pairLines.push_back(PairLine(pair, severity));
  if (view.pairLines.empty()) view.pairLines.push_back(AllClearLine(view.options.threshold));
  return view;
}

std::string SeparationLine(const colorfile::SeparationResult& result, double threshold) {
  const size_t n = result.moves.size();
  const std::string moved = std::to_string(n) + (n == 1 ? " color moved" : " colors moved");
  const std::string apart = colorfile::NumberText(threshold) + " apart";
  std::string line;
  if (!result.reached)
    line = "Not every pair could be brought " + apart + ": " + moved +
           ", the closest pair is now " + colorfile::DistanceText(result.minimumAfter) + " apart.";
  else if (n == 0)
    line = "Nothing moved: every pair was already at least " + apart + ".";
  else
    line = moved + "; every pair is now at least " + apart + ".";
  if (result.givenBack) {
    // Appended piece by piece: GCC 12 at -O3 takes " " + a string for an
    // overlapping copy (-Wrestrict).
    line += ' ';
    line += std::to_string(result.givenBack);
    line += result.givenBack == 1 ? " move too small to see was given back."
                                  : " moves too small to see were given back.";
  }
  return line;
}

SeparationView SeparateForView(const colorfile::ColorTable& table,
                               const colorfile::CheckOptions& options) {
  SeparationView view;
  colorfile::CheckOptions shown = options;
  shown.columns = {colorfile::kDefaultColumns.begin(), colorfile::kDefaultColumns.end()};
  view.result = colorfile::SeparateColors(table, shown);
  view.line = SeparationLine(view.result, shown.threshold);
  return view;
}

}  // namespace tintmoor::ui
