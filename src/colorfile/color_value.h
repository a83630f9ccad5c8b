// Colour values and their red, green and blue components. A colour value is a
// signed 32-bit integer red + 256 * green + 65536 * blue; the colour boxes keep
// it as decimal text in their tag. Portable: no window system here.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// An 8-bit sRGB colour, as the game's colour file stores it.
struct Rgb {
  uint8_t r = 0;
  uint8_t g = 0;
  uint8_t b = 0;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

// What a box holds before anything set it, and what an unreadable tag means: grey 128, 128, 128.
inline constexpr int32_t kGreyColor = 8421504;

// Splits colour into its components with truncating division, so a negative
// value gives what the game's own tools gave it (-1 -> 255, 0, 0).
void SplitColor(int32_t colour, int32_t& red, int32_t& green, int32_t& blue);

int32_t GetRed(int32_t value);
int32_t GetGreen(int32_t value);
int32_t GetBlue(int32_t value);

// The components of a box's tag text, read as TagToColor reads it.
int32_t GetRed(std::string_view tag);
int32_t GetGreen(std::string_view tag);
int32_t GetBlue(std::string_view tag);

// A tag's colour value: an optional minus sign and decimal digits within the
// 32-bit range. Anything else (the program never writes it) reads as grey.
int32_t TagToColor(std::string_view tag);

// The tag text of a colour value: plain decimal, no sign for non-negative values.
std::string ColorToTag(int32_t colour);

// red + 256 * green + 65536 * blue.
int32_t ComposeColor(int32_t red, int32_t green, int32_t blue);
