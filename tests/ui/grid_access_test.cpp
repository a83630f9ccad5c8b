// Where the keys move the focus. The words a box is read out in are checked
// where the window uses them (keyboard_test).
#include <gtest/gtest.h>

#include "ui/grid_access.h"

namespace tintmoor::ui {

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

}  // namespace

}  // namespace tintmoor::ui
