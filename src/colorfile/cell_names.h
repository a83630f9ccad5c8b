// Names users type for the colour table's rows and columns.
// "Player 1" to "Player 12") of three colours (unit, minimap, dead), with the
// window's captions and the names a user may type for rows and columns.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "colorfile/color_table.h"

namespace tintmoor::colorfile {

// A row given as 0..12 or as its caption (case and spacing ignored: "player 7", "Player7").
std::optional<int> ParseRow(std::string_view text);
// A column given as 0..2 or as unit, minimap or dead (any case).
std::optional<int> ParseColumn(std::string_view text);

}  // namespace tintmoor::colorfile
