// A colour as the game's colour file, the window's boxes and the command-line
// tool all hold it: three 8-bit sRGB components. The file's text form is in
// table_binding.h; the window converts to its system's colour type itself.
// Portable: no window system here.
#pragma once

#include <cstdint>

namespace tintmoor::colorfile {

// An 8-bit sRGB colour, as the game's colour file stores it.
struct Rgb {
  uint8_t r = 0;
  uint8_t g = 0;
  uint8_t b = 0;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

// What a box holds before anything set it, and what a missing or unreadable
// cell shows: grey 128, 128, 128.
inline constexpr Rgb kGreyColor{128, 128, 128};

}  // namespace tintmoor::colorfile
