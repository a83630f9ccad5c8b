// Positional binding of the colour table; see table_binding.h.
#include "colorfile/table_binding.h"

#include <algorithm>
#include <cstdint>

#include "markup/words.h"

namespace tintmoor::colorfile {

namespace {

std::string Quoted(std::string_view text) {
  std::string quoted;
  quoted.reserve(text.size() + 2);
  quoted.append(1, '"').append(text).append(1, '"');
  return quoted;
}

// A decimal integer word: an optional minus and digits. Values beyond the
// int32 range saturate; they are clamped into 0..255 later anyway.
std::optional<int64_t> ParseComponent(const std::string& word) {
  size_t i = word.size() > 1 && word[0] == '-' ? 1 : 0;
  if (i == word.size()) return std::nullopt;
  int64_t value = 0;
  for (; i < word.size(); ++i) {
    if (word[i] < '0' || word[i] > '9') return std::nullopt;
    value = std::min<int64_t>(value * 10 + (word[i] - '0'), INT32_MAX);
  }
  return word[0] == '-' ? -value : value;
}

const markup::Element* TableElement(const markup::Element& root) {
  return root.children().Count() >= 1 ? &root.children().Item(1) : nullptr;
}

std::string CellName(int cell) {
  return Quoted(RowCaption(cell / kColumns)) + ", " + Quoted(ColumnCaption(cell % kColumns));
}

}  // namespace

std::string CellText(Rgb color) {
  return std::to_string(color.r) + " " + std::to_string(color.g) + " " + std::to_string(color.b);
}

const markup::Attribute* FindCell(const markup::Element& root, int cell) {
  const markup::Element* table = TableElement(root);
  const int row = cell / kColumns + 1;
  const int column = cell % kColumns + 2;
  if (table == nullptr || table->children().Count() < row) return nullptr;
  const markup::Element& rowElement = table->children().Item(row);
  if (rowElement.attributes().Count() < column) return nullptr;
  return &rowElement.attributes().Item(column);
}

markup::Attribute* FindCell(markup::Element& root, int cell) {
  return const_cast<markup::Attribute*>(FindCell(static_cast<const markup::Element&>(root), cell));
}

std::array<std::optional<std::string>, kCells> CellTexts(const markup::Element& root) {
  std::array<std::optional<std::string>, kCells> texts;
  for (int cell = 0; cell < kCells; ++cell) {
    if (const markup::Attribute* a = FindCell(root, cell)) texts[cell] = a->value();
  }
  return texts;
}

CellRead ParseCellText(std::string_view text) {
  markup::OrderedList<markup::Word> words = markup::SplitWords(text, " ");
  if (words.Count() < 3) return {kGreyColor, CellState::kNotNumbers};
  uint8_t components[3];
  bool clamped = false;
  for (int i = 0; i < 3; ++i) {
    std::optional<int64_t> value = ParseComponent(words.Item(i + 1).text());
    if (!value) return {kGreyColor, CellState::kNotNumbers};
    components[i] = static_cast<uint8_t>(std::clamp<int64_t>(*value, 0, 255));
    clamped = clamped || components[i] != *value;
  }
  return {{components[0], components[1], components[2]},
          clamped ? CellState::kClamped : CellState::kOk};
}

std::array<CellRead, kCells> ReadColorTable(const markup::Element& root) {
  const auto texts = CellTexts(root);
  std::array<CellRead, kCells> cells;
  for (int cell = 0; cell < kCells; ++cell) {
    if (texts[cell]) cells[cell] = ParseCellText(*texts[cell]);
  }
  return cells;
}

std::string DescribeMissingShape(const markup::Element& root) {
  const markup::Element* table = TableElement(root);
  if (table == nullptr) return "the color file holds no elements at all";
  const int rows = table->children().Count();
  if (rows < kRows) {
    return "the row for " + Quoted(RowCaption(rows)) + " is missing (the color table has " +
           std::to_string(rows) + " of its 13 rows)";
  }
  for (int row = 0; row < kRows; ++row) {
    const int attributes = table->children().Item(row + 1).attributes().Count();
    if (attributes < kColumns + 1) {
      const int colours = std::max(0, attributes - 1);
      std::string text = "the row for ";
      text += Quoted(RowCaption(row));
      if (colours == 0) {
        text += " has no colors";
      } else {
        text += " has only ";
        text += std::to_string(colours);
        text += colours == 1 ? " color" : " colors";
      }
      text += " (it needs 3)";
      return text;
    }
  }
  return {};
}

std::vector<std::string> DescribeTableProblems(const markup::Element& root,
                                               const std::array<CellRead, kCells>& cells) {
  std::vector<std::string> problems;
  if (std::string missing = DescribeMissingShape(root); !missing.empty()) {
    problems.push_back(std::move(missing));
  }
  for (int cell = 0; cell < kCells; ++cell) {
    const markup::Attribute* param = FindCell(root, cell);
    if (param == nullptr) continue;
    if (cells[cell].state == CellState::kNotNumbers) {
      problems.push_back(CellName(cell) + ": " + Quoted(param->value()) +
                         " is not three numbers; shown as grey");
    } else if (cells[cell].state == CellState::kClamped) {
      problems.push_back(CellName(cell) + ": " + Quoted(param->value()) +
                         " has a number outside 0 to 255; shown as " + CellText(cells[cell].color));
    }
  }
  return problems;
}

bool WriteCell(markup::Element& root, int cell, Rgb color) {
  markup::Attribute* param = FindCell(root, cell);
  if (param == nullptr) return false;
  param->set_value(CellText(color));
  return true;
}

}  // namespace tintmoor::colorfile
