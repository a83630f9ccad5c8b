#include "ui/check_view.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "colorfile/color_science.h"

namespace {

std::string Number(const char* format, double d) {
  char buf[32];
  std::snprintf(buf, sizeof buf, format, d);
  return buf;
}

uint8_t ToByte(double linear) {
  return static_cast<uint8_t>(std::lround(std::clamp(LinearToSrgb(linear), 0.0, 1.0) * 255));
}

}  // namespace

Rgb SeenAs(Rgb colour, Vision vision) {
  if (vision == Vision::Normal) return colour;  // no round trip through linear light
  const LinearRgb seen = Simulate(ToLinear(colour), vision);
  return {ToByte(seen.r), ToByte(seen.g), ToByte(seen.b)};
}

std::string PairLine(const ClosePair& pair) {
  std::string line = std::string(RowCaption(pair.rowA)) + " and " +
                     std::string(RowCaption(pair.rowB)) + ", " +
                     std::string(ColumnName(pair.column)) + ":";
  for (size_t i = 0; i < pair.failures.size(); ++i) {
    line += i ? ", " : " ";
    line += Number("%.2f", pair.failures[i].second);
    line += ' ';
    line += VisionName(pair.failures[i].first);
  }
  return line;
}

std::string AllClearLine(double threshold) {
  return "Every pair is at least " + Number("%g", threshold) +
         " apart under all four kinds of vision.";
}

std::string PairListTitle(double threshold) {
  return "Pairs closer than " + Number("%g", threshold) + ", closest first:";
}

std::string SeparationLine(size_t n, bool reached, double closest, double threshold) {
  const std::string moved = std::to_string(n) + (n == 1 ? " color moved" : " colors moved");
  const std::string apart = Number("%g", threshold) + " apart";
  if (!reached) {
    return "Not every pair could be brought " + apart + ": " + moved +
           ", the closest pair is now " + Number("%.2f", RoundDistance(closest)) + " apart.";
  }
  if (n == 0) return "Nothing moved: every pair was already at least " + apart + ".";
  return moved + "; every pair is now at least " + apart + ".";
}

CheckView MakeCheckView(const ColorTable& table, double threshold) {
  CheckView view;
  for (size_t column = 0; column < kCheckedColumns; ++column)
    for (size_t row = 0; row < kRows; ++row)
      for (size_t v = 0; v < kVisions.size(); ++v)
        view.seen[column][row][v] = SeenAs(table[row][column], kVisions[v]);
  view.result = CheckTable(table, threshold);
  for (const ClosePair& pair : view.result.close) view.pairLines.push_back(PairLine(pair));
  if (view.pairLines.empty()) view.pairLines.push_back(AllClearLine(threshold));
  return view;
}
