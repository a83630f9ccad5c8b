#include "ui/layout.h"

#include <algorithm>
#include <cstdint>

namespace tintmoor::ui {

int TwipsToPixels(int twips, int dpi) {
  const int64_t scaled = static_cast<int64_t>(twips) * dpi;
  const int64_t half = 720;
  return static_cast<int>(scaled >= 0 ? (scaled + half) / 1440 : (scaled - half) / 1440);
}

PixelRect ToPixels(const Twips& t, int dpi) {
  return {TwipsToPixels(t.left, dpi), TwipsToPixels(t.top, dpi),
          TwipsToPixels(t.left + t.width, dpi), TwipsToPixels(t.top + t.height, dpi)};
}

Twips BoxTwips(int box) {
  const int row = box / 3, column = box % 3;
  return {1140 + 1140 * column, 1380 + 360 * row, 1035, 315};
}

Twips RowLabelTwips(int row) { return {360, 1440 + 360 * row, 915, 255}; }

Twips CaptionTwips(int caption) {
  return caption < colorfile::kRows ? RowLabelTwips(caption)
                                    : kColumnHeaders[caption - colorfile::kRows].label;
}

std::string_view CaptionText(int caption) {
  return caption < colorfile::kRows ? colorfile::RowCaption(caption)
                                    : colorfile::ColumnCaption(caption - colorfile::kRows);
}

Twips TextRoom(const Twips& box) {
  constexpr int kFrameInnerRight = 4560;  // where the right strip begins
  const Twips grid = BoxTwips(0);
  int right = std::min(box.left + box.width, kFrameInnerRight);
  if (box.left < grid.left && box.top + box.height > grid.top) right = std::min(right, grid.left);
  return {box.left, box.top, std::max(0, right - box.left), box.height};
}

const std::array<ColumnHeader, colorfile::kColumns> kColumnHeaders{{
    {{840, 300, 3735, 255}, 1650, 600, 1320},
    {{1860, 600, 2475, 255}, 2790, 840, 1320},
    {{3180, 900, 2355, 255}, 3900, 1140, 1320},
}};

const std::array<FramePiece, 10> kFramePieces{{
    {"top", FrameArt::Top, {0, 0, 4950, 195}},
    {"bottom", FrameArt::Bottom, {0, 6360, 4950, 195}},
    {"left, upper", FrameArt::Left, {0, 0, 195, 4950}},
    {"left, lower", FrameArt::Left, {0, 1440, 195, 4950}},
    {"right, upper", FrameArt::Right, {4560, 0, 195, 4950}},
    {"right, lower", FrameArt::Right, {4560, 1440, 195, 4950}},
    {"top-left corner", FrameArt::CornerTopLeft, {0, 0, 195, 195}},
    {"top-right corner", FrameArt::CornerTopRight, {4560, 0, 195, 195}},
    {"bottom-left corner", FrameArt::CornerBottomLeft, {0, 6360, 195, 195}},
    {"bottom-right corner", FrameArt::CornerBottomRight, {4560, 6360, 195, 195}},
}};

}  // namespace tintmoor::ui
