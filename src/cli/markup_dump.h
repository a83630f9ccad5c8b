// The text form of a tree that tintmoor-cli dump prints.
#pragma once

#include <iosfwd>
#include <string>
#include <string_view>

#include "markup/element.h"

namespace tintmoor::cli {

// text in double quotes: \" \\ \t \r \n escaped, bytes 0x20-0x7E as they
// are, every other byte as \x and two lowercase hex digits.
std::string Quote(std::string_view text);

// "root open" or "root closed", then one line per element, depth first: two
// spaces per level, the quoted name, open or closed, each attribute as
// "name"="value", then " : " and the quoted value. Every line ends in LF.
void DumpTree(const markup::Element& root, std::ostream& out);

}  // namespace tintmoor::cli
