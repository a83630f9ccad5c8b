#include "common/text.h"

#include <cstdint>
#include <cstdio>

namespace tintmoor::common {

std::string Pad(std::string s, size_t width) {
  if (s.size() < width) s.append(width - s.size(), ' ');
  return s;
}

std::string Wrap(std::string_view text, size_t width) {
  std::string out, line;
  size_t pos = 0;
  while (pos < text.size()) {
    const size_t space = text.find(' ', pos);
    const size_t end = space == std::string_view::npos ? text.size() : space;
    const std::string_view word = text.substr(pos, end - pos);
    pos = end + 1;
    if (word.empty()) continue;
    if (!line.empty() && line.size() + 1 + word.size() > width) {
      out += line + '\n';
      line.clear();
    }
    if (!line.empty()) line += ' ';
    line += word;
  }
  if (!line.empty()) out += line + '\n';
  return out;
}

std::string OneLine(const std::string& message) {
  std::string out;
  size_t pos = 0;
  bool paragraph = false;
  while (pos <= message.size()) {
    size_t end = message.find('\n', pos);
    if (end == std::string::npos) end = message.size();
    std::string line = message.substr(pos, end - pos);
    pos = end + 1;
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
    while (!line.empty() && line.front() == ' ') line.erase(0, 1);
    if (line.empty()) {
      paragraph = !out.empty();
      continue;
    }
    if (!out.empty()) {
      const char last = out.back();
      if (paragraph && last != '.' && last != ':' && last != '!' && last != '?') out += '.';
      out += ' ';
    }
    out += line;
    paragraph = false;
  }
  return out;
}

namespace {

constexpr char kHex[] = "0123456789abcdef";

void AppendHexByte(std::string& out, unsigned char c) {
  out += "\\x";
  out += kHex[c >> 4];
  out += kHex[c & 15];
}

// The length of the well-formed UTF-8 sequence at the start of text, and its
// code point; 0 when the first byte starts none (a stray continuation byte,
// an overlong form, a surrogate, past U+10FFFF, or cut short).
size_t Utf8Sequence(std::string_view text, uint32_t& codePoint) {
  const auto b = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = b(0);
  if (lead < 0x80) {
    codePoint = lead;
    return 1;
  }
  size_t length = 0;
  unsigned char low = 0x80, high = 0xbf;  // the range of the second byte
  if (lead >= 0xc2 && lead <= 0xdf) {
    length = 2;
  } else if (lead >= 0xe0 && lead <= 0xef) {
    length = 3;
    if (lead == 0xe0) low = 0xa0;
    if (lead == 0xed) high = 0x9f;
  } else if (lead >= 0xf0 && lead <= 0xf4) {
    length = 4;
    if (lead == 0xf0) low = 0x90;
    if (lead == 0xf4) high = 0x8f;
  } else {
    return 0;
  }
  if (text.size() < length || b(1) < low || b(1) > high) return 0;
  codePoint = lead & (0x7f >> length);
  for (size_t i = 1; i < length; ++i) {
    if (b(i) < 0x80 || b(i) > 0xbf) return 0;
    codePoint = (codePoint << 6) | (b(i) & 0x3f);
  }
  return length;
}

// What a terminal acts on rather than shows: C0 controls, DEL, C1 controls.
bool IsControl(uint32_t codePoint) {
  return codePoint < 0x20 || (codePoint >= 0x7f && codePoint <= 0x9f);
}

}  // namespace

std::string EscapeControls(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  size_t at = 0;
  while (at < text.size()) {
    uint32_t codePoint = 0;
    const size_t length = Utf8Sequence(text.substr(at), codePoint);
    if (length == 0) {
      AppendHexByte(out, static_cast<unsigned char>(text[at++]));
      continue;
    }
    if (IsControl(codePoint)) {
      for (size_t i = 0; i < length; ++i)
        AppendHexByte(out, static_cast<unsigned char>(text[at + i]));
    } else {
      out.append(text, at, length);
    }
    at += length;
  }
  return out;
}

std::string Shown(std::string_view text) {
  constexpr size_t kLongest = 60;
  if (text.size() <= kLongest) return EscapeControls(text);
  // Cut between characters, not inside one.
  size_t cut = kLongest;
  while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xc0) == 0x80) --cut;
  return EscapeControls(text.substr(0, cut)) + "...";
}

std::string JsonString(std::string_view s) {
  std::string out = "\"";
  size_t at = 0;
  while (at < s.size()) {
    uint32_t codePoint = 0;
    const size_t length = Utf8Sequence(s.substr(at), codePoint);
    if (length == 0) {
      // JSON holds only UTF-8: a stray byte is written as the text \xNN.
      out += '\\';
      AppendHexByte(out, static_cast<unsigned char>(s[at++]));
      continue;
    }
    if (codePoint == '"' || codePoint == '\\') {
      out += '\\';
      out += s[at];
    } else if (IsControl(codePoint)) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\u%04x", static_cast<unsigned>(codePoint));
      out += buf;
    } else {
      out.append(s, at, length);
    }
    at += length;
  }
  return out + "\"";
}

size_t WholeUtf8Length(std::string_view s) {
  const size_t n = s.size();
  for (size_t k = 1; k <= 4 && k <= n; ++k) {
    const auto c = static_cast<unsigned char>(s[n - k]);
    if ((c & 0xC0) == 0x80) continue;  // a continuation byte: its lead is further back
    // Lead bytes that no character starts with stand alone.
    const size_t length = c >= 0xF5 ? 1 : c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 ? 2 : 1;
    return length > k ? n - k : n;
  }
  return n;  // no lead byte where one must be: not UTF-8, passed on as it is
}

}  // namespace tintmoor::common
