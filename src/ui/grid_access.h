// What the keyboard, a screen reader and a tooltip make of the colour grid:
// where a key moves the focus, and how a box is named and read out.
// Portable: the window uses it, the host tests check it.
#pragma once

#include <string>

#include "colorfile/color_table.h"

namespace tintmoor::ui {

// The window's focus stops: box k is stop k (row k / 3, column k % 3), then
// the home-page link.
inline constexpr int kLinkStop = colorfile::kCells;
inline constexpr int kFocusStops = colorfile::kCells + 1;

enum class GridKey { kLeft, kRight, kUp, kDown, kHome, kEnd, kTab, kShiftTab };

// The stop the focus moves to from stop `from`. Arrows move one box within the
// row (Left, Right) or the column (Up, Down) and stop at the grid's edges;
// Home and End go to the row's first and last box; Tab and Shift+Tab go from
// the grid to the link, and from the link back to lastBox, the box the grid
// had. On the link the arrows, Home and End do nothing.
int NextStop(int from, GridKey key, int lastBox);

// "Player 3, minimap": the row's caption and the column's short name.
std::string BoxName(int box);
// The colour dialog's title for a box: "Color: Player 3, minimap".
std::string ColorDialogTitle(int box);
// What a screen reader reads: "Player 3, minimap color" and
// "red 50, green 50, blue 255".
std::string AccessibleBoxName(int box);
std::string AccessibleColorValue(colorfile::Rgb color);
// The tooltip over a box: its row and column caption on one line, its colour
// in decimal and hexadecimal on the next.
std::string BoxTip(int box, colorfile::Rgb color);

}  // namespace tintmoor::ui
