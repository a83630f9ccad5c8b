#include "cli/text.h"

#include <cstdio>

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

std::string EscapeControls(std::string_view text) {
  static const char kHex[] = "0123456789abcdef";
  std::string out;
  out.reserve(text.size());
  for (char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    if (c < 0x20 || c == 0x7f) {
      out += "\\x";
      out += kHex[c >> 4];
      out += kHex[c & 15];
    } else {
      out += ch;
    }
  }
  return out;
}

std::string Shown(std::string_view text) {
  constexpr size_t kLongest = 60;
  if (text.size() <= kLongest) return EscapeControls(text);
  return EscapeControls(text.substr(0, kLongest)) + "...";
}

std::string JsonString(std::string_view s) {
  std::string out = "\"";
  for (char ch : s) {
    const auto u = static_cast<unsigned char>(ch);
    if (ch == '"' || ch == '\\') {
      out += '\\';
      out += ch;
    } else if (u < 0x20) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\u%04x", u);
      out += buf;
    } else {
      out += ch;
    }
  }
  return out + "\"";
}
