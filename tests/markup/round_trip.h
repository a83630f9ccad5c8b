// The round-trip property the fuzzer checks and the data-file test replays:
// read any bytes, write the tree, read that back. The second tree must have
// the first one's names, attributes, leaf values and structure, and writing
// it again must give the same bytes. FindOpenMarkup must agree with the
// first-open-child rule on the tree read.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "markup/reader.h"
#include "markup/writer.h"

namespace tintmoor::markup {

namespace round_trip {

// The first-open-child rule, step by step.
inline Element& FindOpenByRule(Element& m) {
  Element* at = &m;
  for (;;) {
    Element* next = nullptr;
    if (at->is_open())
      for (Element& c : at->children())
        if (c.is_open()) {
          next = &c;
          break;
        }
    if (!next) return *at;
    at = next;
  }
}

// What differs between a and b in what a write and a read keep, or "".
inline std::string Difference(const Element& a, const Element& b) {
  std::vector<std::pair<const Element*, const Element*>> pending{{&a, &b}};
  while (!pending.empty()) {
    auto [x, y] = pending.back();
    pending.pop_back();
    if (x->name() != y->name()) return "name \"" + x->name() + "\" became \"" + y->name() + "\"";
    if (x->attributes().Count() != y->attributes().Count())
      return "attribute count of " + x->name();
    for (int32_t i = 1; i <= x->attributes().Count(); ++i) {
      const Attribute& p = x->attributes().Item(i);
      const Attribute& q = y->attributes().Item(i);
      if (p.name() != q.name() || p.value() != q.value())
        return "attribute " + p.name() + "=" + p.value() + " became " + q.name() + "=" + q.value();
    }
    if (x->children().Count() != y->children().Count()) return "child count of " + x->name();
    if (x != &a && x->children().Count() == 0 && x->value() != y->value())
      return "value \"" + x->value() + "\" became \"" + y->value() + "\"";
    for (int32_t i = 1; i <= x->children().Count(); ++i)
      pending.emplace_back(&x->children().Item(i), &y->children().Item(i));
  }
  return {};
}

// "" when the property holds for bytes, else what broke. Inputs that overflow
// a 16-bit counter are outside the property and pass.
inline std::string Check(std::string_view bytes) {
  Element first;
  first.set_open(true);
  std::string written;
  try {
    ReadMarkup(bytes, first, "input");
    if (&FindOpenMarkup(first) != &FindOpenByRule(first)) return "FindOpenMarkup broke the rule";
    written = WriteDocument(first);
  } catch (const common::OverflowError&) {
    return {};
  }
  Element second;
  second.set_open(true);
  ReadMarkup(written, second, "written");
  if (!second.is_open()) return "reading the written text closed the root";
  std::string difference = Difference(first, second);
  if (!difference.empty()) return difference;
  if (WriteDocument(second) != written) return "second write differs from the first";
  return {};
}

}  // namespace round_trip

}  // namespace tintmoor::markup
