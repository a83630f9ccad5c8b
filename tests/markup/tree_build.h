// Trees built by hand for the tests: a child or an attribute, named and valued.
#pragma once

#include <string>

#include "markup/element.h"

namespace tintmoor::markup {

inline Element& AddChild(Element& parent, const std::string& name, const std::string& value = "") {
  Element& c = parent.children().Add();
  c.set_name(name);
  c.set_value(value);
  return c;
}

inline Attribute& AddAttribute(Element& e, const std::string& name, const std::string& value) {
  Attribute& a = e.attributes().Add();
  a.set_name(name);
  a.set_value(value);
  return a;
}

}  // namespace tintmoor::markup
