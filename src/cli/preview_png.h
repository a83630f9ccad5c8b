// The picture `tintmoor-cli preview` writes: every player's unit and minimap
// colour as seen with normal vision and with each kind of vision checked, the
// same simulation the check judges by, with the pairs the check finds too
// close framed on the swatches concerned and listed underneath.
//
// Layout, in pixels: the picture is kPreviewWidth wide; its height is
// PreviewHeight(result), which grows with the longer of the two lists of close
// pairs (unit, minimap) at the bottom. A row per player (Gaia, Player 1 ..
// Player 12); on the left a column for the unit colours under each sight of
// the check's audience, in its order, on the right the same for the minimap
// colours; the fewer the sights, the wider the swatches. A swatch whose
// colour is closer than the threshold to another row's under that vision gets a
// frame of kPreviewMark kPreviewFrame pixels wide around it, and a tag in its
// lower right corner naming the other rows (G for Gaia, the player's number
// otherwise); every other swatch has a thin grey border and nothing else.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "colorfile/color_check.h"
#include "colorfile/color_table.h"

namespace tintmoor::cli {

inline constexpr int kPreviewWidth = 1504;
inline constexpr int kPreviewFrame = 3;
inline constexpr colorfile::Rgb kPreviewMark = {0, 0, 0};
inline constexpr colorfile::Rgb kPreviewBackground = {242, 242, 240};

// 8-bit RGB, three bytes a pixel, rows top to bottom.
struct PreviewImage {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgb;

  colorfile::Rgb At(int x, int y) const;
};

struct PixelRect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};

// Where the swatch of a row's colour in a checked column (0 unit, 1 minimap)
// under the sight-th of `sights` sights lies. A tag covers at most its lower half.
PixelRect SwatchRect(int row, int column, size_t sight, size_t sights);

int PreviewHeight(const colorfile::CheckResult& result);

// The picture for the table and what the check found in it; title (one line
// of ASCII; other bytes show as '?') names what is shown.
PreviewImage RenderPreview(const colorfile::ColorTable& table, const colorfile::CheckResult& result,
                           std::string_view title);

// The picture as PNG file bytes.
std::string EncodePng(const PreviewImage& image);

// The PNG of the table checked with the options (their unit and minimap columns).
std::string PreviewPng(const colorfile::ColorTable& table, const colorfile::CheckOptions& options,
                       std::string_view title);

}  // namespace tintmoor::cli
