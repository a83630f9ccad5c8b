#include "colorfile/cell_names.h"

#include <cctype>

namespace tintmoor::colorfile {

namespace {

// Lower case with runs of blanks folded to one space and the ends trimmed.
std::string Normalise(std::string_view text) {
  std::string out;
  bool blank = false;
  for (char ch : text) {
    const auto u = static_cast<unsigned char>(ch);
    if (std::isspace(u)) {
      blank = !out.empty();
      continue;
    }
    if (blank) out += ' ';
    blank = false;
    out += static_cast<char>(std::tolower(u));
  }
  return out;
}

std::optional<int> SmallNumber(std::string_view text, int limit) {
  if (text.empty() || text.size() > 2) return std::nullopt;
  int value = 0;
  for (char ch : text) {
    if (ch < '0' || ch > '9') return std::nullopt;
    value = value * 10 + (ch - '0');
  }
  if (value >= limit) return std::nullopt;
  return value;
}

}  // namespace

std::optional<int> ParseRow(std::string_view text) {
  std::string s = Normalise(text);
  if (auto n = SmallNumber(s, kRows)) return n;
  // "player7", as people type it without the space.
  if (s.size() > 6 && s.starts_with("player") && s[6] != ' ') s.insert(6, 1, ' ');
  for (int row = 0; row < kRows; ++row)
    if (s == Normalise(RowCaption(row))) return row;
  return std::nullopt;
}

std::optional<int> ParseColumn(std::string_view text) {
  const std::string s = Normalise(text);
  if (auto n = SmallNumber(s, kColumns)) return n;
  for (int column = 0; column < kColumns; ++column)
    if (s == ColumnName(column)) return column;
  return std::nullopt;
}

}  // namespace tintmoor::colorfile
