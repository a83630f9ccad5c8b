#include "colorfile/color_value.h"

#include <charconv>

void SplitColor(int32_t colour, int32_t& red, int32_t& green, int32_t& blue) {
  // C++ division truncates toward zero, as the colour value's definition asks.
  red = colour & 255;
  green = (colour / 256) & 255;
  blue = (colour / 65536) & 255;
}

int32_t GetRed(int32_t value) {
  int32_t r, g, b;
  SplitColor(value, r, g, b);
  return r;
}

int32_t GetGreen(int32_t value) {
  int32_t r, g, b;
  SplitColor(value, r, g, b);
  return g;
}

int32_t GetBlue(int32_t value) {
  int32_t r, g, b;
  SplitColor(value, r, g, b);
  return b;
}

int32_t GetRed(std::string_view tag) { return GetRed(TagToColor(tag)); }
int32_t GetGreen(std::string_view tag) { return GetGreen(TagToColor(tag)); }
int32_t GetBlue(std::string_view tag) { return GetBlue(TagToColor(tag)); }

int32_t TagToColor(std::string_view tag) {
  const char* first = tag.data();
  const char* last = tag.data() + tag.size();
  // from_chars takes a leading minus but no plus sign or spaces: exactly the texts we accept.
  if (first == last || (*first == '-' && tag.size() == 1)) return kGreyColor;
  int32_t value = 0;
  auto [end, err] = std::from_chars(first, last, value, 10);
  if (err != std::errc() || end != last) return kGreyColor;
  return value;
}

std::string ColorToTag(int32_t colour) { return std::to_string(colour); }

int32_t ComposeColor(int32_t red, int32_t green, int32_t blue) {
  return red + 256 * green + 65536 * blue;
}
