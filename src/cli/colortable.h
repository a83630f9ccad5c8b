// The game's colour table as the command line sees it: 13 rows ("Gaia",
// "Player 1" to "Player 12") of three colours (unit, minimap, dead), with the
// window's captions and the names a user may type for rows and columns.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "cli/colorscience.h"
#include "colorfile/colortable.h"  // RowCaption, ColumnCaption: the window's captions

inline constexpr int kRows = kColorRows;
inline constexpr int kColumns = kColorColumns;

// table[row][column]
using ColorTable = std::array<std::array<Rgb, kColumns>, kRows>;

// "unit", "minimap", "dead".
std::string_view ColumnName(int column);

// A row given as 0..12 or as its caption (case and spacing ignored: "player 7", "Player7").
std::optional<int> ParseRow(std::string_view text);
// A column given as 0..2 or as unit, minimap or dead (any case).
std::optional<int> ParseColumn(std::string_view text);

// "R G B", as the game's file writes it.
std::string FormatRgb(Rgb c);
