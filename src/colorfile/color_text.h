// A color as a person types or pastes it: "R G B", "R,G,B", "#RRGGBB" or
// "RRGGBB". Each caller says which forms it takes, so a command line and a
// paste into the window read colors alike. Portable.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "colorfile/color_value.h"

namespace tintmoor::colorfile {

// The written forms of a color; combine them with |.
enum ColorTextForm : unsigned {
  kColorDecimal = 1u << 0,  // "153 102 0": red, green and blue, 0 to 255, between spaces
  kColorCommas = 1u << 1,   // "153,102,0", also with spaces around the commas
  kColorHash = 1u << 2,     // "#996600", hexadecimal digits in either case
  kColorBareHex = 1u << 3,  // "996600"
};

// The color text stands for, in one of the given forms, or nothing. Spaces,
// tabs and line ends around the whole text are ignored; anything else extra,
// and a line end between the numbers, is refused.
std::optional<Rgb> ParseColorText(std::string_view text, unsigned forms);

// The text ParseColorText reads: without the spaces, tabs and line ends
// around it, so a refusal can quote what the person meant.
std::string_view ColorTextCore(std::string_view text);

// One component written in decimal, 0 to 255, at most three digits: "7",
// "007", "255". Signs, spaces and anything else are refused.
std::optional<uint8_t> ParseColorComponent(std::string_view text);

// "#E69F00": the hexadecimal form, upper case, as web pages and colour
// pickers show a colour and kColorHash reads it back.
std::string HexColorText(Rgb color);

}  // namespace tintmoor::colorfile
