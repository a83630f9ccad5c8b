#include "colorfile/presets.h"

#include <array>

namespace tintmoor::colorfile {

namespace {

constexpr ColorTable kDefault = {{
    {{{153, 102, 0}, {153, 102, 0}, {77, 51, 0}}},        // Gaia
    {{{50, 50, 255}, {0, 0, 255}, {25, 25, 128}}},        // Player 1
    {{{255, 50, 50}, {225, 0, 0}, {128, 25, 25}}},        // Player 2
    {{{0, 150, 0}, {0, 184, 0}, {0, 75, 0}}},             // Player 3
    {{{50, 235, 255}, {0, 255, 255}, {25, 118, 128}}},    // Player 4
    {{{223, 52, 238}, {223, 52, 238}, {112, 26, 119}}},   // Player 5
    {{{255, 255, 0}, {255, 255, 0}, {128, 128, 0}}},      // Player 6
    {{{255, 102, 0}, {255, 102, 0}, {128, 51, 0}}},       // Player 7
    {{{128, 0, 64}, {128, 0, 64}, {64, 0, 32}}},          // Player 8
    {{{50, 255, 50}, {0, 255, 0}, {25, 128, 25}}},        // Player 9
    {{{179, 251, 186}, {146, 205, 185}, {90, 126, 93}}},  // Player 10
    {{{80, 80, 80}, {40, 40, 40}, {20, 20, 20}}},         // Player 11
    {{{255, 0, 102}, {255, 0, 102}, {128, 0, 51}}},       // Player 12
}};

// Unit colours from tools/colour-vision-search.cpp; see there for the method.
constexpr std::array<Rgb, kRows> kColourVisionUnits = {{
    {230, 159, 0},    // Gaia
    {0, 114, 178},    // Player 1
    {170, 0, 0},      // Player 2
    {0, 158, 115},    // Player 3
    {86, 180, 233},   // Player 4
    {136, 119, 255},  // Player 5
    {240, 228, 66},   // Player 6
    {213, 94, 0},     // Player 7
    {187, 17, 136},   // Player 8
    {0, 255, 255},    // Player 9
    {204, 221, 204},  // Player 10
    {85, 85, 85},     // Player 11
    {204, 121, 167},  // Player 12
}};

// The minimap shows the unit colour; dead units fade to half its brightness,
// as the default scheme's do.
constexpr ColorTable MakeScheme(const std::array<Rgb, kRows>& units) {
  ColorTable table{};
  for (size_t row = 0; row < units.size(); ++row) {
    const Rgb u = units[row];
    table[row] = {u, u, HalfBrightness(u)};
  }
  return table;
}

constexpr ColorTable kColourVision = MakeScheme(kColourVisionUnits);

// The window's menu spells the second "Color-Vision"; its first name here
// was "colour-vision", which scripts may still use.
const Preset kPresets[] = {
    {"default", "&Default Colors", "", "the program's default colors", kDefault},
    {"color-vision", "Color-&Vision", "colour-vision",
     "players kept apart for normal vision and for red-blind, green-blind and blue-blind vision",
     kColourVision},
};

}  // namespace

const ColorTable& DefaultScheme() { return kDefault; }
const ColorTable& ColourVisionScheme() { return kColourVision; }

std::span<const Preset> Presets() { return kPresets; }

const Preset* FindPreset(std::string_view name) {
  for (const Preset& p : kPresets)
    if (p.name == name || (!p.otherName.empty() && p.otherName == name)) return &p;
  return nullptr;
}

}  // namespace tintmoor::colorfile
