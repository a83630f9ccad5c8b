// The markup writer: a declaration line, an empty line, then one line per
// leaf, start tag or end tag, indented with one tab per level, every line
// ended by CRLF. The game's colour file is in exactly this layout.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "markup/element.h"

namespace tintmoor::markup {

// Writes gDocument (or root) to path. The target is replaced only once every
// byte is written: on failure it is as it was. Throws FileError or OverflowError.
void SaveMarkupFile(const std::string& path);
void SaveMarkupFile(const std::string& path, const Element& root);

// The bytes SaveMarkupFile writes for root.
std::string WriteDocument(const Element& root);

// Appends element (at nesting level depth) and its children to sink.
void WriteMarkup(const Element& element, int16_t depth, std::string& sink);

// text repeated count times; empty below 1; OverflowError from 32767 up.
std::string RepeatString(std::string_view text, int32_t count);

}  // namespace tintmoor::markup
