// Internal to the markup library: the delimiter alphabet as a table, and the
// word scan shared by SplitWords and the reader, so both cut words and yield
// to the window exactly alike.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

#include "markup/words.h"

namespace tintmoor::markup {

namespace detail {

// The thirteen characters that are words of their own: < > / space = " ? ( ) [ ] + |
inline constexpr std::array<bool, 256> kDelimiter = [] {
  std::array<bool, 256> t{};
  for (unsigned char c : std::string_view("<>/ =\"?()[]+|")) t[c] = true;
  return t;
}();

inline bool IsDelimiterChar(char c) { return kDelimiter[static_cast<unsigned char>(c)]; }

// The installed hook, or null for the default that does nothing.
YieldHook CurrentYieldHook();

// Calls the installed hook, read afresh each time (a hook may install another).
inline void Yield() {
  if (YieldHook h = CurrentYieldHook()) h();
}

// Cuts text into words, calling emit(begin, length) for each, and yields after
// every examined position: once per character, and once more for a delimiter
// that ends a word, which is examined again as a word of its own.
template <bool kYield, class Emit>
void ScanWords(std::string_view text, Emit&& emit) {
  const size_t n = text.size();
  size_t i = 0;
  while (i < n) {
    if (IsDelimiterChar(text[i])) {
      emit(i, size_t{1});
      if constexpr (kYield) Yield();
      ++i;
      continue;
    }
    const size_t start = i;
    if constexpr (kYield) Yield();
    ++i;
    while (i < n && !IsDelimiterChar(text[i])) {
      if constexpr (kYield) Yield();
      ++i;
    }
    emit(start, i - start);
    if constexpr (kYield) {
      if (i < n) Yield();  // the delimiter that ended the word, seen in the word
    }
  }
}

// Number of words SplitWords makes of text (before any drop word is removed).
size_t CountWords(std::string_view text);

}  // namespace detail

}  // namespace tintmoor::markup
