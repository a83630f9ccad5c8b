// Where everything stands in the main window. Positions are kept in twips
// (1/1440 inch) from the top-left of the client area, as the window was
// designed; they become pixels at the window's DPI, 15 twips a pixel at 96 dpi.
// Portable: the window code and the tests both read this table.
#pragma once

#include <array>
#include <string_view>

#include "colorfile/color_table.h"

namespace tintmoor::ui {

struct Twips {
  int left, top, width, height;
};

struct PixelRect {
  int left, top, right, bottom;
  int width() const { return right - left; }
  int height() const { return bottom - top; }
  bool operator==(const PixelRect&) const = default;
};

// twips -> pixels at dpi, rounded to nearest (halves away from zero).
int TwipsToPixels(int twips, int dpi);
// Both edges are converted, so neighbouring boxes never overlap or gap by rounding.
PixelRect ToPixels(const Twips& t, int dpi);

inline constexpr Twips kClientTwips{0, 0, 4755, 6555};

// The window's background.
inline constexpr colorfile::Rgb kBackColor{228, 205, 122};
// The link's text colour.
inline constexpr colorfile::Rgb kLinkColor{64, 64, 64};

Twips BoxTwips(int box);       // box 0..38 is row box / 3, column box % 3
Twips RowLabelTwips(int row);  // the caption of row 0..12

// Each column's caption, and the line that leads from it down to its boxes.
// The caption of column c is ColumnCaption(c).
struct ColumnHeader {
  Twips label;
  int lineX, lineTop, lineBottom;  // twips; the line is one pixel wide
};
extern const std::array<ColumnHeader, colorfile::kColumns> kColumnHeaders;

inline constexpr Twips kHyperLinkTwips{2340, 6060, 2415, 255};

// The captions the window draws itself: the 13 row captions, then the 3 column captions.
inline constexpr int kCaptions = colorfile::kRows + colorfile::kColumns;
Twips CaptionTwips(int caption);
std::string_view CaptionText(int caption);

// The part of a box that text may use: it stops at the frame's inner edge, and
// a box left of the colour grid (the row captions' reach under the first
// column) stops where the grid begins, so no text hides under a colour box.
Twips TextRoom(const Twips& box);

// The eight frame bitmaps. Strips are drawn first, then the corners over them.
enum class FrameArt {
  Top,
  Left,
  Right,
  Bottom,
  CornerBottomLeft,
  CornerBottomRight,
  CornerTopLeft,
  CornerTopRight
};
struct FramePiece {
  std::string_view name;  // for messages: the side, and which half of a two-piece strip
  FrameArt art;
  Twips place;
};
extern const std::array<FramePiece, 10> kFramePieces;  // in drawing order

}  // namespace tintmoor::ui
