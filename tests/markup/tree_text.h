// A one-line picture of a tree for test expectations:
//   element  = name ["+" if open] [" " attr]* [":" value] ["[" element ("," element)* "]"]
//   attr     = name "=" value
// Texts are shown as they are, so tests pick names that need no quoting.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "markup/markup.h"

inline std::string TreeText(const clsMarkUp& e) {
  std::string out;
  // Written iteratively so the picture of a very deep tree cannot overflow the stack.
  struct Frame {
    const clsMarkUp* e;
    int next;
  };
  std::vector<Frame> frames{{&e, 0}};
  while (!frames.empty()) {
    Frame& f = frames.back();
    if (f.next == 0) {
      out += f.e->sName();
      if (f.e->bOpen()) out += '+';
      for (const clsParam& p : f.e->Params()) out += " " + p.sName() + "=" + p.sValue();
      if (!f.e->sValue().empty()) out += ":" + f.e->sValue();
      if (f.e->Markups().Count() == 0) {
        frames.pop_back();
        continue;
      }
      out += '[';
    }
    if (f.next < f.e->Markups().Count()) {
      if (f.next > 0) out += ',';
      const clsMarkUp* child = &f.e->Markups().Item(++f.next);
      frames.push_back({child, 0});
    } else {
      out += ']';
      frames.pop_back();
    }
  }
  return out;
}
