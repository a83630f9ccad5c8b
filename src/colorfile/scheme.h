// Colour scheme files: the 39 colours as a small text file a person can read,
// edit and share.
//
// Grammar, one line at a time:
//   line    := blank | comment | row
//   comment := '#' anything            (also allowed after a row)
//   row     := caption colour colour colour
//   caption := "Gaia" | "Player 1" .. "Player 12" (any case, any spacing) | 0..12
//   colour  := number number number    (red green blue, each 0..255)
// The three colours are the unit, minimap and dead colours in that order.
// Every one of the 13 rows must appear exactly once, in any order.
//
// Reading is strict: a scheme that is incomplete or malformed is refused as a
// whole, naming the line, so that nothing half-read ever reaches the game.
// The window's Import and Export and the command line's import and export
// read and write schemes here, so both accept and refuse the same files in
// the same words.
#pragma once

#include <string>
#include <string_view>

#include "colorfile/cell_names.h"
#include "colorfile/color_store.h"
#include "common/errors.h"

namespace tintmoor::colorfile {

// A scheme that cannot be used; what() names the file and line.
class SchemeError : public common::TintError {
 public:
  using common::TintError::TintError;
};

// The scheme text for the table, with a short explanation at the top.
std::string WriteScheme(const ColorTable& table);

// Parses a scheme file's bytes (8-bit text, or UTF-8 or UTF-16 with a byte-order
// mark); sourceName names it in errors ("cv.txt, line 4: ...").
ColorTable ReadScheme(std::string_view bytes, const std::string& sourceName);

// The scheme in a file, read through fs. A file that cannot be read is a
// TintError naming it and why; a bad scheme a SchemeError.
ColorTable LoadSchemeFile(ColorFileSystem& fs, const std::string& file);

}  // namespace tintmoor::colorfile
