// Where the keys move the focus, and the words a box is read out in.
#include <gtest/gtest.h>

#include "ui/grid_access.h"

namespace {

TEST(GridAccess, KeysMoveWithinTheGridAndStopAtItsEdges) {
  using enum GridKey;
  const struct {
    int from;
    GridKey key;
    int to;
  } cases[] = {
      {0, kRight, 1},
      {1, kRight, 2},
      {2, kRight, 2},
      {2, kLeft, 1},
      {0, kLeft, 0},
      {0, kDown, 3},
      {0, kUp, 0},
      {36, kDown, 36},
      {37, kUp, 34},
      {38, kDown, 38},
      {4, kHome, 3},
      {4, kEnd, 5},
      {36, kEnd, 38},
      {38, kHome, 36},
      {5, kEnd, 5},
      {17, kTab, kLinkStop},
      {17, kShiftTab, kLinkStop},
      {kLinkStop, kTab, 9},
      {kLinkStop, kShiftTab, 9},
      {kLinkStop, kLeft, kLinkStop},
      {kLinkStop, kUp, kLinkStop},
      {kLinkStop, kHome, kLinkStop},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(NextStop(c.from, c.key, 9), c.to)
        << "from " << c.from << " key " << static_cast<int>(c.key);
  }
}

TEST(GridAccess, BoxesAreNamedByRowAndColumn) {
  const struct {
    int box;
    const char *title, *name;
  } cases[] = {
      {0, "Color: Gaia, unit", "Gaia, unit color"},
      {10, "Color: Player 3, minimap", "Player 3, minimap color"},
      {38, "Color: Player 12, dead", "Player 12, dead color"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ColorDialogTitle(c.box), c.title);
    EXPECT_EQ(AccessibleBoxName(c.box), c.name);
  }
  EXPECT_EQ(AccessibleColorValue({0, 128, 255}), "red 0, green 128, blue 255");
  EXPECT_EQ(BoxTip(2, {255, 10, 0}), "Gaia: Color on dead unit\n255 10 0 (#FF0A00)");
}

}  // namespace
