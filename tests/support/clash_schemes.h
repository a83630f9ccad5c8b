// Colour tables with players that are hard to tell apart, for the separation
// tests and benchmark: the colour-vision preset (already kept apart) with a
// few rows replaced by colours that collide, in all three columns (the dead
// colour at half brightness, as the presets make it).
#pragma once

#include <initializer_list>
#include <string_view>
#include <utility>

#include "colorfile/color_table.h"
#include "colorfile/presets.h"

namespace tintmoor::colorfile {

struct ClashScheme {
  std::string_view name;
  ColorTable table;
};

inline ColorTable WithRows(std::initializer_list<std::pair<int, Rgb>> rows) {
  ColorTable table = ColourVisionScheme();
  for (const auto& [row, c] : rows) {
    auto half = [](uint8_t v) { return static_cast<uint8_t>((v + 1) / 2); };
    table[static_cast<size_t>(row)] = {c, c, Rgb{half(c.r), half(c.g), half(c.b)}};
  }
  return table;
}

inline const std::array<ClashScheme, 3>& ClashSchemes() {
  static const std::array<ClashScheme, 3> schemes = {{
      // Four reds within a few steps of each other: a close call for anyone.
      {"near-reds",
       WithRows({{2, {230, 30, 30}}, {7, {236, 36, 28}}, {8, {224, 24, 44}}, {12, {240, 20, 24}}})},
      // Red, olive, brown and green: far apart for most, within 2 for deuteranopes.
      {"deuteranopia",
       WithRows({{0, {200, 40, 40}}, {2, {120, 120, 40}}, {3, {160, 90, 30}}, {7, {90, 130, 60}}})},
      // Sky blue against teal and purple against salmon: 15 to 20 apart for
      // most, under 4.5 for tritanopes.
      {"tritanopia",
       WithRows(
           {{1, {0, 187, 255}}, {4, {102, 204, 204}}, {5, {221, 85, 153}}, {12, {221, 102, 102}}})},
  }};
  return schemes;
}

}  // namespace tintmoor::colorfile
