// The markup reader: line-oriented and forgiving. Each line (ended by CR, CRLF or LF) is
// trimmed of spaces, stripped of tabs and split into words; a small state
// machine turns a start line, a complete line or an end line into a change of
// the tree, and drops any other line without a message. Bytes go in and out
// unchanged: no character-set conversion.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "markup/element.h"

namespace tintmoor::markup {

// True when word is exactly one of the thirteen delimiter characters.
bool IsDelimiter(std::string_view word);

// Reads the file into gDocument (or into root). Throws FileError when the file
// cannot be read, and OverflowError (naming file and line) when a line holds
// more than 32767 words; then nothing of the file reaches the tree. The
// gDocument form looks gDocument up afresh for every line, since the window
// may replace it while the splitter yields.
void LoadMarkupFile(const std::string& path);
void LoadMarkupFile(const std::string& path, Element& root);

// Applies the lines of bytes to root; sourceName names them in errors.
void ReadMarkup(std::string_view bytes, Element& root, const std::string& sourceName);

// Applies one cleaned-up line to the tree under gDocument (or under root).
void ParseLine(std::string_view line);
void ParseLine(std::string_view line, Element& root);

// The deepest element reachable from m through open elements, or m itself.
Element& FindOpenMarkup(Element& m);

}  // namespace tintmoor::markup
