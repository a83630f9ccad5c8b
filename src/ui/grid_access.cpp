#include "ui/grid_access.h"

#include "colorfile/color_text.h"

int NextStop(int from, GridKey key, int lastBox) {
  if (from == kLinkStop) {
    return key == GridKey::kTab || key == GridKey::kShiftTab ? lastBox : from;
  }
  const int row = from / kColumns, column = from % kColumns;
  switch (key) {
    case GridKey::kLeft:
      return column > 0 ? from - 1 : from;
    case GridKey::kRight:
      return column < kColumns - 1 ? from + 1 : from;
    case GridKey::kUp:
      return row > 0 ? from - kColumns : from;
    case GridKey::kDown:
      return row < kRows - 1 ? from + kColumns : from;
    case GridKey::kHome:
      return row * kColumns;
    case GridKey::kEnd:
      return row * kColumns + kColumns - 1;
    case GridKey::kTab:
    case GridKey::kShiftTab:
      return kLinkStop;
  }
  return from;
}

std::string BoxName(int box) {
  return std::string(RowCaption(box / kColumns)) + ", " + std::string(ColumnName(box % kColumns));
}

std::string ColorDialogTitle(int box) { return "Color: " + BoxName(box); }

std::string AccessibleBoxName(int box) { return BoxName(box) + " color"; }

std::string AccessibleColorValue(Rgb color) {
  return "red " + std::to_string(color.r) + ", green " + std::to_string(color.g) + ", blue " +
         std::to_string(color.b);
}

std::string BoxTip(int box, Rgb color) {
  return std::string(RowCaption(box / kColumns)) + ": " +
         std::string(ColumnCaption(box % kColumns)) + "\n" + std::to_string(color.r) + " " +
         std::to_string(color.g) + " " + std::to_string(color.b) + " (" + HexColorText(color) + ")";
}
