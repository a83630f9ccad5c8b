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

#include "markup/modMain.h"

namespace round_trip {

// The first-open-child rule, step by step.
inline clsMarkUp& FindOpenByRule(clsMarkUp& m) {
  clsMarkUp* at = &m;
  for (;;) {
    clsMarkUp* next = nullptr;
    if (at->bOpen())
      for (clsMarkUp& c : at->Markups())
        if (c.bOpen()) {
          next = &c;
          break;
        }
    if (!next) return *at;
    at = next;
  }
}

// What differs between a and b in what a write and a read keep, or "".
inline std::string Difference(const clsMarkUp& a, const clsMarkUp& b) {
  std::vector<std::pair<const clsMarkUp*, const clsMarkUp*>> pending{{&a, &b}};
  while (!pending.empty()) {
    auto [x, y] = pending.back();
    pending.pop_back();
    if (x->sName() != y->sName())
      return "name \"" + x->sName() + "\" became \"" + y->sName() + "\"";
    if (x->Params().Count() != y->Params().Count()) return "attribute count of " + x->sName();
    for (int32_t i = 1; i <= x->Params().Count(); ++i) {
      const clsParam& p = x->Params().Item(i);
      const clsParam& q = y->Params().Item(i);
      if (p.sName() != q.sName() || p.sValue() != q.sValue())
        return "attribute " + p.sName() + "=" + p.sValue() + " became " + q.sName() + "=" +
               q.sValue();
    }
    if (x->Markups().Count() != y->Markups().Count()) return "child count of " + x->sName();
    if (x != &a && x->Markups().Count() == 0 && x->sValue() != y->sValue())
      return "value \"" + x->sValue() + "\" became \"" + y->sValue() + "\"";
    for (int32_t i = 1; i <= x->Markups().Count(); ++i)
      pending.emplace_back(&x->Markups().Item(i), &y->Markups().Item(i));
  }
  return {};
}

// "" when the property holds for bytes, else what broke. Inputs that overflow
// a 16-bit counter are outside the property and pass.
inline std::string Check(std::string_view bytes) {
  clsMarkUp first;
  first.bOpen(true);
  std::string written;
  try {
    ReadMarkup(bytes, first, "input");
    if (&FindOpenMarkup(first) != &FindOpenByRule(first)) return "FindOpenMarkup broke the rule";
    written = WriteDocument(first);
  } catch (const OverflowError&) {
    return {};
  }
  clsMarkUp second;
  second.bOpen(true);
  ReadMarkup(written, second, "written");
  if (!second.bOpen()) return "reading the written text closed the root";
  std::string difference = Difference(first, second);
  if (!difference.empty()) return difference;
  if (WriteDocument(second) != written) return "second write differs from the first";
  return {};
}

}  // namespace round_trip
