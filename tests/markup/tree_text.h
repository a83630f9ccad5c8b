// A one-line picture of a tree for test expectations:
//   element  = name ["+" if open] [" " attr]* [":" value] ["[" element ("," element)* "]"]
//   attr     = name "=" value
// Texts are shown as they are, so tests pick names that need no quoting.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "markup/element.h"

namespace tintmoor::markup {

inline std::string TreeText(const Element& e) {
  std::string out;
  // Written iteratively so the picture of a very deep tree cannot overflow the stack.
  struct Frame {
    const Element* e;
    int next;
  };
  std::vector<Frame> frames{{&e, 0}};
  while (!frames.empty()) {
    Frame& f = frames.back();
    if (f.next == 0) {
      out += f.e->name();
      if (f.e->is_open()) out += '+';
      for (const Attribute& p : f.e->attributes()) out += " " + p.name() + "=" + p.value();
      if (!f.e->value().empty()) out += ":" + f.e->value();
      if (f.e->children().Count() == 0) {
        frames.pop_back();
        continue;
      }
      out += '[';
    }
    if (f.next < f.e->children().Count()) {
      if (f.next > 0) out += ',';
      const Element* child = &f.e->children().Item(++f.next);
      frames.push_back({child, 0});
    } else {
      out += ']';
      frames.pop_back();
    }
  }
  return out;
}

}  // namespace tintmoor::markup
