// The game's colour table as the command line sees it: 13 rows ("Gaia",
// "Player 1" to "Player 12") of three colours (unit, minimap, dead), with the
// window's captions and the names a user may type for rows and columns.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "cli/colorscience.h"

inline constexpr int kRows = 13;
inline constexpr int kColumns = 3;

// table[row][column]
using ColorTable = std::array<std::array<Rgb, kColumns>, kRows>;

// "Gaia" for row 0, "Player N" for row N.
std::string RowCaption(int row);
// The window's column header, e.g. "Color shown on minimap".
std::string ColumnCaption(int column);
// "unit", "minimap", "dead".
std::string_view ColumnName(int column);

// A row given as 0..12 or as its caption (case and spacing ignored: "player 7").
std::optional<int> ParseRow(std::string_view text);
// A column given as 0..2 or as unit, minimap or dead (any case).
std::optional<int> ParseColumn(std::string_view text);

// "R G B", as the game's file writes it.
std::string FormatRgb(Rgb c);
