// The window's geometry: twips to pixels, and the pixel places the window was
// drawn with at 96 dpi (written out here, not computed from the table).
#include <gtest/gtest.h>

#include "ui/layout.h"

namespace tintmoor::ui {

using colorfile::kCells;
using colorfile::RowCaption;

namespace {

TEST(TwipsToPixels, FifteenTwipsAPixelAt96AndTenAt144) {
  EXPECT_EQ(TwipsToPixels(1140, 96), 76);
  EXPECT_EQ(TwipsToPixels(6555, 96), 437);
  EXPECT_EQ(TwipsToPixels(15, 96), 1);
  EXPECT_EQ(TwipsToPixels(1140, 144), 114);
  EXPECT_EQ(TwipsToPixels(195, 144), 20);    // 19.5 rounds up
  EXPECT_EQ(TwipsToPixels(4755, 120), 396);  // 396.25
  EXPECT_EQ(TwipsToPixels(0, 192), 0);
  EXPECT_EQ(TwipsToPixels(-15, 96), -1);
}

// The one table of the boxes' pixels at 96 dpi: every box is 69 by 21 on a
// regular grid. The window tests check that the window uses these places.
TEST(Layout, BoxesAt96Dpi) {
  for (int k = 0; k < kCells; ++k) {
    const PixelRect want{76 + 76 * (k % 3), 92 + 24 * (k / 3), 145 + 76 * (k % 3),
                         113 + 24 * (k / 3)};
    EXPECT_EQ(ToPixels(BoxTwips(k), 96), want) << k;
  }
  // The last row ends above the link.
  EXPECT_LT(BoxTwips(38).top + BoxTwips(38).height, kHyperLinkTwips.top);
}

TEST(Layout, LabelsAndLinkAt96Dpi) {
  EXPECT_EQ(ToPixels(RowLabelTwips(0), 96), (PixelRect{24, 96, 85, 113}));
  EXPECT_EQ(ToPixels(RowLabelTwips(12), 96), (PixelRect{24, 384, 85, 401}));
  EXPECT_EQ(RowCaption(0), "Gaia");
  EXPECT_EQ(RowCaption(1), "Player 1");
  EXPECT_EQ(RowCaption(12), "Player 12");
  EXPECT_EQ(ToPixels(kColumnHeaders[0].label, 96), (PixelRect{56, 20, 305, 37}));
  EXPECT_EQ(ToPixels(kColumnHeaders[1].label, 96), (PixelRect{124, 40, 289, 57}));
  EXPECT_EQ(ToPixels(kColumnHeaders[2].label, 96), (PixelRect{212, 60, 369, 77}));
  EXPECT_EQ(ToPixels(kHyperLinkTwips, 96), (PixelRect{156, 404, 317, 421}));
  // Lines at x = 110, 186, 260, all ending at y = 88, within 8 px of their column's centre.
  const int xs[] = {110, 186, 260};
  for (int c = 0; c < 3; ++c) {
    EXPECT_EQ(TwipsToPixels(kColumnHeaders[c].lineX, 96), xs[c]);
    EXPECT_EQ(TwipsToPixels(kColumnHeaders[c].lineBottom, 96), 88);
    const PixelRect box = ToPixels(BoxTwips(c), 96);
    EXPECT_LE(std::abs(xs[c] - (box.left + box.right) / 2), 8);
  }
}

TEST(Layout, FramePiecesAt96Dpi) {
  struct Case {
    const char* name;
    PixelRect px;
  };
  const Case cases[] = {
      {"top", {0, 0, 330, 13}},
      {"bottom", {0, 424, 330, 437}},
      {"left, upper", {0, 0, 13, 330}},
      {"left, lower", {0, 96, 13, 426}},
      {"right, upper", {304, 0, 317, 330}},
      {"right, lower", {304, 96, 317, 426}},
      {"top-left corner", {0, 0, 13, 13}},
      {"top-right corner", {304, 0, 317, 13}},
      {"bottom-left corner", {0, 424, 13, 437}},
      {"bottom-right corner", {304, 424, 317, 437}},
  };
  ASSERT_EQ(std::size(cases), kFramePieces.size());
  for (size_t i = 0; i < kFramePieces.size(); ++i) {
    EXPECT_EQ(kFramePieces[i].name, cases[i].name);
    EXPECT_EQ(ToPixels(kFramePieces[i].place, 96), cases[i].px) << cases[i].name;
  }
  // Corners are drawn after every strip.
  for (size_t i = 0; i < kFramePieces.size(); ++i) {
    const bool corner = kFramePieces[i].art >= FrameArt::CornerBottomLeft;
    EXPECT_EQ(corner, i >= 6) << kFramePieces[i].name;
  }
}

TEST(Layout, At144DpiEveryEdgeScalesByOneAndAHalf) {
  EXPECT_EQ(ToPixels(kClientTwips, 144), (PixelRect{0, 0, 476, 656}));
  EXPECT_EQ(ToPixels(BoxTwips(0), 144), (PixelRect{114, 138, 218, 170}));
  EXPECT_EQ(ToPixels(BoxTwips(38), 144), (PixelRect{342, 570, 446, 602}));
  EXPECT_EQ(ToPixels(kHyperLinkTwips, 144), (PixelRect{234, 606, 476, 632}));
  // Neighbours never overlap after rounding.
  for (int k = 0; k + 1 < kCells; ++k) {
    if (k % 3 == 2) continue;
    EXPECT_LT(ToPixels(BoxTwips(k), 144).right, ToPixels(BoxTwips(k + 1), 144).left);
  }
}

}  // namespace

}  // namespace tintmoor::ui
