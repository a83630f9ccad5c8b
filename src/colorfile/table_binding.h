// The colour table of the game's colour file: 13 rows (Gaia, Player 1..12) of
// three colours each, bound to the tree purely by position. The table is the
// first top-level element; row r is its child r + 1; column c is attribute
// c + 2 of that row. Names are never looked at, and everything else in the
// tree is left as it was read.
//
// A cell's text is three decimal numbers, red, green and blue, separated by
// spaces; it is written back in normal form ("0 0 0" to "255 255 255").
// Portable: the window and the command-line tool share this binding.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "colorfile/color_table.h"
#include "colorfile/color_value.h"
#include "markup/element.h"

namespace tintmoor::colorfile {

// The cell's text in normal form: "r g b" in plain decimal.
std::string CellText(Rgb color);

// How a cell was read.
enum class CellState {
  kOk,
  kMissing,     // the tree has no attribute at the cell's position
  kNotNumbers,  // not three decimal integers: shown grey
  kClamped,     // a component outside 0..255, brought into range
};

struct CellRead {
  Rgb color = kGreyColor;  // what a missing or unreadable cell shows
  CellState state = CellState::kMissing;
};

// The cell's attribute, or null when the tree is not that deep. Never throws.
const markup::Attribute* FindCell(const markup::Element& root, int cell);
markup::Attribute* FindCell(markup::Element& root, int cell);

// The texts of the 39 cells (empty where missing). Copying them first means
// nothing holds a reference into the tree while the splitter yields.
std::array<std::optional<std::string>, kCells> CellTexts(const markup::Element& root);

// Reads one cell text with SplitWords (drop word " "), so it yields to the window.
// Words after the third are ignored.
CellRead ParseCellText(std::string_view text);

// All 39 cells of the tree.
std::array<CellRead, kCells> ReadColorTable(const markup::Element& root);

// The first piece of the table's shape the tree lacks, in the user's words
// (for example: the row for "Player 7" has only 2 colours); empty when whole.
std::string DescribeMissingShape(const markup::Element& root);

// One line per problem: the first missing piece, then every cell that is not
// three numbers or was out of range, named by its row and column captions.
std::vector<std::string> DescribeTableProblems(const markup::Element& root,
                                               const std::array<CellRead, kCells>& cells);

// Sets the cell's text to the colour in normal form; false when the cell is missing.
bool WriteCell(markup::Element& root, int cell, Rgb color);

}  // namespace tintmoor::colorfile
