#include "colorfile/color_table.h"

namespace tintmoor::colorfile {

namespace {

constexpr std::array<std::string_view, kRows> kRowCaptions = {
    "Gaia",     "Player 1", "Player 2", "Player 3",  "Player 4",  "Player 5",  "Player 6",
    "Player 7", "Player 8", "Player 9", "Player 10", "Player 11", "Player 12",
};

constexpr std::array<std::string_view, kColumns> kColumnCaptions = {
    "Color for Highlight, Unit, HP Bar and Waypoint Flag",
    "Color shown on minimap",
    "Color on dead unit",
};

constexpr std::array<std::string_view, kColumns> kColumnNames = {"unit", "minimap", "dead"};

}  // namespace

std::string_view RowCaption(int row) { return kRowCaptions.at(static_cast<size_t>(row)); }
std::string_view ColumnCaption(int column) {
  return kColumnCaptions.at(static_cast<size_t>(column));
}
std::string_view ColumnName(int column) { return kColumnNames.at(static_cast<size_t>(column)); }

}  // namespace tintmoor::colorfile
