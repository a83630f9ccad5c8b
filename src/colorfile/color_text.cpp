#include "colorfile/color_text.h"

#include <array>
#include <cstdio>

namespace tintmoor::colorfile {

namespace {

bool IsSpace(char ch) { return ch == ' ' || ch == '\t'; }

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && IsSpace(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsSpace(text.back())) text.remove_suffix(1);
  return text;
}

// Text copied from a page or an editor often brings its line end along.
bool IsSpaceOrLineEnd(char ch) { return IsSpace(ch) || ch == '\r' || ch == '\n'; }

int HexDigit(char ch) {
  if (ch >= '0' && ch <= '9') return ch - '0';
  if (ch >= 'a' && ch <= 'f') return ch - 'a' + 10;
  if (ch >= 'A' && ch <= 'F') return ch - 'A' + 10;
  return -1;
}

std::optional<Rgb> FromHex(std::string_view digits) {
  if (digits.size() != 6) return std::nullopt;
  std::array<uint8_t, 3> rgb{};
  for (size_t i = 0; i < 3; ++i) {
    const int high = HexDigit(digits[2 * i]);
    const int low = HexDigit(digits[2 * i + 1]);
    if (high < 0 || low < 0) return std::nullopt;
    rgb[i] = static_cast<uint8_t>(high * 16 + low);
  }
  return Rgb{rgb[0], rgb[1], rgb[2]};
}

// Three components with separators between them: spaces alone when
// commas is false, one comma (and any spaces) when it is true.
std::optional<Rgb> FromDecimal(std::string_view text, bool commas) {
  std::array<uint8_t, 3> rgb{};
  for (size_t i = 0; i < 3; ++i) {
    if (i > 0) {
      const size_t before = text.size();
      text = Trimmed(text);
      if (commas) {
        if (text.empty() || text.front() != ',') return std::nullopt;
        text = Trimmed(text.substr(1));
      } else if (text.size() == before) {
        return std::nullopt;  // no space between two numbers
      }
    }
    size_t digits = 0;
    while (digits < text.size() && text[digits] >= '0' && text[digits] <= '9') ++digits;
    const auto component = ParseColorComponent(text.substr(0, digits));
    if (!component) return std::nullopt;
    rgb[i] = *component;
    text.remove_prefix(digits);
  }
  if (!text.empty()) return std::nullopt;
  return Rgb{rgb[0], rgb[1], rgb[2]};
}

}  // namespace

std::optional<uint8_t> ParseColorComponent(std::string_view text) {
  if (text.empty() || text.size() > 3) return std::nullopt;
  int value = 0;
  for (char ch : text) {
    if (ch < '0' || ch > '9') return std::nullopt;
    value = value * 10 + (ch - '0');
  }
  if (value > 255) return std::nullopt;
  return static_cast<uint8_t>(value);
}

std::string_view ColorTextCore(std::string_view text) {
  while (!text.empty() && IsSpaceOrLineEnd(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsSpaceOrLineEnd(text.back())) text.remove_suffix(1);
  return text;
}

std::optional<Rgb> ParseColorText(std::string_view text, unsigned forms) {
  text = ColorTextCore(text);
  if (text.starts_with('#')) {
    if (forms & kColorHash) return FromHex(text.substr(1));
    return std::nullopt;
  }
  if (forms & kColorBareHex)
    if (const auto rgb = FromHex(text)) return rgb;
  if (text.find(',') != std::string_view::npos)
    return forms & kColorCommas ? FromDecimal(text, true) : std::nullopt;
  return forms & kColorDecimal ? FromDecimal(text, false) : std::nullopt;
}

std::string HexColorText(Rgb color) {
  char hex[8];
  std::snprintf(hex, sizeof(hex), "#%02X%02X%02X", color.r, color.g, color.b);
  return hex;
}

}  // namespace tintmoor::colorfile
