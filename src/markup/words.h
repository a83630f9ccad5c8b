// The word splitter and small string helpers the markup reader stands on.
#pragma once

#include <string>
#include <string_view>

#include "markup/element.h"

namespace tintmoor::markup {

// Called after every position SplitWords examines, so the window can process
// pending messages during a load. Must be cheap: it runs once per character.
using YieldHook = void (*)();
// Installs the hook (null restores the default, which does nothing); returns the previous one.
YieldHook SetYieldHook(YieldHook hook);

// Cuts text into words: each of the thirteen delimiters is a word of its own,
// runs of other characters are single words. Words equal to dropWord are then
// removed, unless dropWord is "-1".
OrderedList<Word> SplitWords(std::string_view text, std::string_view dropWord);

// text without every character equal to ch; nothing is removed unless ch is
// exactly one character.
std::string RemoveChar(std::string_view text, std::string_view ch);

}  // namespace tintmoor::markup
