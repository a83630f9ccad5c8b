// The built-in colour schemes that `presets` lists and `apply` writes.
#pragma once

#include <span>
#include <string_view>

#include "colorfile/color_table.h"

namespace tintmoor::colorfile {

struct Preset {
  std::string_view name;
  // As the window's menu lists it, with its access key.
  std::string_view menuText;
  // Another spelling the preset answers to (empty for none).
  std::string_view otherName;
  std::string_view description;
  const ColorTable& table;
};

// A dead unit's colour made from its unit colour: half as bright, as the
// default scheme's are.
constexpr Rgb HalfBrightness(Rgb unit) {
  auto half = [](uint8_t v) { return static_cast<uint8_t>((v + 1) / 2); };
  return {half(unit.r), half(unit.g), half(unit.b)};
}

// The program's own default colours (those of the default playercolors.xml).
const ColorTable& DefaultScheme();
// Unit colours kept apart for normal vision and every kind of colour blindness.
const ColorTable& ColourVisionScheme();

std::span<const Preset> Presets();
// The preset of that name or other spelling, or null.
const Preset* FindPreset(std::string_view name);

}  // namespace tintmoor::colorfile
