// The text form of a tree that tintmoor-cli dump prints.
#include "cli/markup_dump.h"

#include <ostream>
#include <utility>
#include <vector>

namespace tintmoor::cli {

std::string Quote(std::string_view text) {
  static const char kHex[] = "0123456789abcdef";
  std::string q = "\"";
  for (char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    switch (c) {
      case '"':
        q += "\\\"";
        break;
      case '\\':
        q += "\\\\";
        break;
      case '\t':
        q += "\\t";
        break;
      case '\r':
        q += "\\r";
        break;
      case '\n':
        q += "\\n";
        break;
      default:
        if (c >= 0x20 && c <= 0x7e) {
          q += ch;
        } else {
          q += "\\x";
          q += kHex[c >> 4];
          q += kHex[c & 15];
        }
    }
  }
  return q + "\"";
}

void DumpTree(const markup::Element& root, std::ostream& out) {
  out << (root.is_open() ? "root open\n" : "root closed\n");
  // Depth first in document order, with an explicit stack: a file may nest
  // far deeper than the stack would allow.
  std::vector<std::pair<const markup::Element*, size_t>> pending;
  const auto& top = root.children();
  for (int32_t i = top.Count(); i >= 1; --i) pending.emplace_back(&top.Item(i), 0);
  std::string line;
  while (!pending.empty()) {
    auto [e, depth] = pending.back();
    pending.pop_back();
    line.assign(2 * depth, ' ');
    line += Quote(e->name());
    line += e->is_open() ? " open" : " closed";
    for (const markup::Attribute& p : e->attributes()) {
      line += ' ';
      line += Quote(p.name());
      line += '=';
      line += Quote(p.value());
    }
    line += " : ";
    line += Quote(e->value());
    line += '\n';
    out << line;
    const auto& children = e->children();
    for (int32_t i = children.Count(); i >= 1; --i)
      pending.emplace_back(&children.Item(i), depth + 1);
  }
}

}  // namespace tintmoor::cli
