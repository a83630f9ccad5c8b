// The markup reader and writer.
//
// Reader: line-oriented and forgiving. Each line (ended by CR, CRLF or LF) is
// trimmed of spaces, stripped of tabs and split into words; a small state
// machine turns a start line, a complete line or an end line into a change of
// the tree, and drops any other line without a message. Bytes go in and out
// unchanged: no character-set conversion.
//
// Writer: a declaration line, an empty line, then one line per leaf, start tag
// or end tag, indented with one tab per level, every line ended by CRLF.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "markup/markup.h"

// True when word is exactly one of the thirteen delimiter characters.
bool IsDelimiter(std::string_view word);

// Reads the file into gDocument (or into root). Throws FileError when the file
// cannot be read, and OverflowError (naming file and line) when a line holds
// more than 32767 words; then nothing of the file reaches the tree. The
// gDocument form looks gDocument up afresh for every line, since the window
// may replace it while the splitter yields.
void LoadMarkupFile(const std::string& path);
void LoadMarkupFile(const std::string& path, clsMarkUp& root);

// Applies the lines of bytes to root; sourceName names them in errors.
void ReadMarkup(std::string_view bytes, clsMarkUp& root, const std::string& sourceName);

// Applies one cleaned-up line to the tree under gDocument (or under root).
void ParseLine(std::string_view line);
void ParseLine(std::string_view line, clsMarkUp& root);

// The deepest element reachable from m through open elements, or m itself.
clsMarkUp& FindOpenMarkup(clsMarkUp& m);

// Writes gDocument (or root) to path. The target is replaced only once every
// byte is written: on failure it is as it was. Throws FileError or OverflowError.
void SaveMarkupFile(const std::string& path);
void SaveMarkupFile(const std::string& path, const clsMarkUp& root);

// The bytes SaveMarkupFile writes for root.
std::string WriteDocument(const clsMarkUp& root);

// Appends element (at nesting level depth) and its children to sink.
void WriteMarkup(const clsMarkUp& element, int16_t depth, std::string& sink);

// text repeated count times; empty below 1; OverflowError from 32767 up.
std::string RepeatString(std::string_view text, int32_t count);
