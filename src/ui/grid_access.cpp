#include "ui/grid_access.h"

#include "colorfile/color_text.h"

namespace tintmoor::ui {

int NextStop(int from, GridKey key, int lastBox) {
  if (from == kLinkStop) {
    return key == GridKey::kTab || key == GridKey::kShiftTab ? lastBox : from;
  }
  const int row = from / colorfile::kColumns, column = from % colorfile::kColumns;
  switch (key) {
    case GridKey::kLeft:
      return column > 0 ? from - 1 : from;
    case GridKey::kRight:
      return column < colorfile::kColumns - 1 ? from + 1 : from;
    case GridKey::kUp:
      return row > 0 ? from - colorfile::kColumns : from;
    case GridKey::kDown:
      return row < colorfile::kRows - 1 ? from + colorfile::kColumns : from;
    case GridKey::kHome:
      return row * colorfile::kColumns;
    case GridKey::kEnd:
      return row * colorfile::kColumns + colorfile::kColumns - 1;
    case GridKey::kTab:
    case GridKey::kShiftTab:
      return kLinkStop;
  }
  return from;
}

std::string BoxName(int box) {
  return std::string(colorfile::RowCaption(box / colorfile::kColumns)) + ", " +
         std::string(colorfile::ColumnName(box % colorfile::kColumns));
}

std::string ColorDialogTitle(int box) { return "Color: " + BoxName(box); }

std::string AccessibleBoxName(int box) { return BoxName(box) + " color"; }

std::string AccessibleColorValue(colorfile::Rgb color) {
  return "red " + std::to_string(color.r) + ", green " + std::to_string(color.g) + ", blue " +
         std::to_string(color.b);
}

std::string BoxTip(int box, colorfile::Rgb color) {
  return std::string(colorfile::RowCaption(box / colorfile::kColumns)) + ": " +
         std::string(colorfile::ColumnCaption(box % colorfile::kColumns)) + "\n" +
         std::to_string(color.r) + " " + std::to_string(color.g) + " " + std::to_string(color.b) +
         " (" + colorfile::HexColorText(color) + ")";
}

}  // namespace tintmoor::ui
