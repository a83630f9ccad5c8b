#include "markup/words.h"

#include "markup/word_scan.h"

namespace tintmoor::markup {

namespace {
YieldHook installedHook = nullptr;
}  // namespace

namespace detail {

YieldHook CurrentYieldHook() { return installedHook; }

size_t CountWords(std::string_view text) {
  size_t words = 0;
  bool inWord = false;
  for (char c : text) {
    if (IsDelimiterChar(c)) {
      ++words;
      inWord = false;
    } else if (!inWord) {
      ++words;
      inWord = true;
    }
  }
  return words;
}

}  // namespace detail

YieldHook SetYieldHook(YieldHook hook) {
  YieldHook previous = installedHook;
  installedHook = hook;
  return previous;
}

OrderedList<Word> SplitWords(std::string_view text, std::string_view dropWord) {
  using namespace detail;
  OrderedList<Word> words;
  const bool dropping = dropWord != "-1";
  // Words equal to the drop word are never appended rather than removed after
  // the scan: the same list, and nothing can look at it in between.
  auto emit = [&](size_t begin, size_t length) {
    std::string_view w = text.substr(begin, length);
    if (dropping && w == dropWord) return;
    Word& word = words.Add();
    word.set_text(std::string(w));
    word.set_first(static_cast<int32_t>(begin));
    word.set_last(static_cast<int32_t>(begin + length - 1));
  };
  if (CurrentYieldHook())
    ScanWords<true>(text, emit);
  else
    ScanWords<false>(text, emit);
  return words;
}

std::string RemoveChar(std::string_view text, std::string_view ch) {
  if (ch.size() != 1) return std::string(text);
  std::string out;
  out.reserve(text.size());
  for (char c : text)
    if (c != ch[0]) out += c;
  return out;
}

}  // namespace tintmoor::markup
