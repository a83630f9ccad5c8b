// Small text helpers the commands share.
#pragma once

#include <string>
#include <string_view>

namespace tintmoor::common {

// s padded with spaces to width.
std::string Pad(std::string s, size_t width);

// Words of text put on lines of at most width characters (a longer word gets
// a line of its own), each line ended by '\n'.
std::string Wrap(std::string_view text, size_t width);

// A message of several lines and paragraphs as one line, for "error: ".
std::string OneLine(const std::string& message);

// Text safe to print on a terminal, so a file or folder name cannot retitle
// or recolour it: C0 controls, DEL and the C1 controls (U+0080 to U+009F, as
// decoded from UTF-8) as their bytes in \xNN form, and so is every byte that
// is not part of well-formed UTF-8. Other UTF-8 text passes unchanged.
std::string EscapeControls(std::string_view text);

// What the user gave, echoed in a message: controls escaped, and cut to 60
// characters and "..." when longer.
std::string Shown(std::string_view text);

// The length of s up to the end of its last whole UTF-8 character: what a
// stream can pass on while the rest of a character its buffer cut is still to
// come. Bytes that cannot end up as part of a character count as whole.
size_t WholeUtf8Length(std::string_view s);

// s as a JSON string literal; controls as EscapeControls sees them are
// \u escapes, and a byte that is not UTF-8 is the text \xNN.
std::string JsonString(std::string_view s);

}  // namespace tintmoor::common
