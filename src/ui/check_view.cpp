#include "ui/check_view.h"

#include <cstdio>

#include "colorfile/color_science.h"
#include "colorfile/vision_words.h"

std::string ForWhomLabel(Vision v) {
  if (v == Vision::Normal) return "Everyone";
  std::string weak = VisionName(v, kWeakestSeverity);
  weak[0] = static_cast<char>(weak[0] - 'a' + 'A');
  return weak + " or " + VisionName(v, kFullSeverity) + " (" + std::string(VisionKey(v)) + ")";
}

std::string StrengthLabel(int tenths) {
  char figure[16];
  std::snprintf(figure, sizeof figure, "%d.%d", tenths / 10, tenths % 10);
  if (tenths <= kMildestTenths) return std::string(figure) + " (mildest)";
  if (tenths >= kFullTenths) return std::string(figure) + " (full: blind to the color)";
  return figure;
}

CheckOptions DialogOptions(Vision forWhom, int tenths) {
  CheckOptions options;
  const Vision one[] = {forWhom};
  options.audience = forWhom == Vision::Normal ? MakeAudience(kVisions, tenths / 10.0)
                                               : MakeAudience(one, tenths / 10.0);
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

std::string PairLine(const ClosePair& pair, double severity) {
  std::string line = std::string(RowCaption(pair.rowA)) + " and " +
                     std::string(RowCaption(pair.rowB)) + ", " +
                     std::string(ColumnName(pair.column)) + ":";
  for (size_t i = 0; i < pair.failures.size(); ++i) {
    line += i ? ", " : " ";
    line +=
        DistanceText(pair.failures[i].second) + " " + VisionName(pair.failures[i].first, severity);
  }
  return line;
}

std::string AllClearLine(double threshold) {
  return "Every pair is at least " + NumberText(threshold) + " apart for everyone checked.";
}

std::string PairListTitle(double threshold) {
  return "Pairs closer than " + NumberText(threshold) +
         ", closest first, with the distance under each vision:";
}

CheckView MakeCheckView(const ColorTable& table, const CheckOptions& options) {
  CheckView view;
  view.options = options;
  view.options.columns = {kDefaultColumns.begin(), kDefaultColumns.end()};
  view.result = CheckTable(table, view.options);
  const std::vector<Sight>& sights = view.options.audience.sights;
  for (size_t column = 0; column < kCheckedColumns; ++column)
    for (size_t row = 0; row < kRows; ++row)
      for (const Sight& sight : sights) {
        view.seen[column][row].push_back(SeenAs(table[row][column], sight));
        view.partners[column][row].push_back(
            ClosePartners(view.result, int(column), int(row), sight.vision));
      }
  const double severity = view.options.audience.severity;
  view.checkedLine = CheckedLine(view.options);
  view.distanceLine = DistanceLine(view.options.threshold);
  view.closestLine = "Closest pair: " + ClosestWords(view.result.overall, severity);
  for (const ClosePair& pair : view.result.close)
    view.pairLines.push_back(PairLine(pair, severity));
  if (view.pairLines.empty()) view.pairLines.push_back(AllClearLine(view.options.threshold));
  return view;
}

std::string SeparationLine(const SeparationResult& result, double threshold) {
  const size_t n = result.moves.size();
  const std::string moved = std::to_string(n) + (n == 1 ? " color moved" : " colors moved");
  const std::string apart = NumberText(threshold) + " apart";
  std::string line;
  if (!result.reached)
    line = "Not every pair could be brought " + apart + ": " + moved +
           ", the closest pair is now " + DistanceText(result.minimumAfter) + " apart.";
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

SeparationView SeparateForView(const ColorTable& table, const CheckOptions& options) {
  SeparationView view;
  CheckOptions shown = options;
  shown.columns = {kDefaultColumns.begin(), kDefaultColumns.end()};
  view.result = SeparateColors(table, shown);
  view.line = SeparationLine(view.result, shown.threshold);
  return view;
}
