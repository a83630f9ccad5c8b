// The shape of the game's colour table, and what its rows and columns are
// called: 13 players ("Gaia", "Player 1" .. "Player 12"), each with three
// colours (unit, minimap, dead). The window, the file binding and the
// command-line tool all take their captions and counts from here.
#pragma once

#include <array>
#include <string_view>

#include "colorfile/color_value.h"

namespace tintmoor::colorfile {

inline constexpr int kRows = 13;
inline constexpr int kColumns = 3;
inline constexpr int kCells = kRows * kColumns;

// table[row][column]
using ColorTable = std::array<std::array<Rgb, kColumns>, kRows>;

// "Gaia", "Player 1" .. "Player 12".
std::string_view RowCaption(int row);
// The window's column headers, as the window shows them.
std::string_view ColumnCaption(int column);
// The short names users type and read: "unit", "minimap", "dead".
std::string_view ColumnName(int column);

}  // namespace tintmoor::colorfile
