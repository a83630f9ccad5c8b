// The reader against a literal transcription of its rules: every line split
// with SplitWords and run word by word through the transition table, the
// receiving element found by the first-open-child rule from the root. The
// reader itself works on bytes and keeps its path between lines; on random
// documents both must build the same tree and yield to the window equally
// often.
#include <gtest/gtest.h>

#include <random>

#include "markup/modMain.h"
#include "markup/modObject.h"
#include "markup/modString.h"
#include "round_trip.h"
#include "tree_text.h"

namespace {

enum class State {
  LineStart,
  ElementName,
  AttributeName,
  AttributeValue,
  Content,
  EndTag,
  EndTagDone
};

void ReferenceParseLine(const std::string& line, clsMarkUp& root) {
  OrderedList<clsWord> words = SplitWords(line, "-1");
  State state = State::LineStart;
  std::unique_ptr<clsMarkUp> element;
  int16_t position = 0;
  for (const clsWord& w : words) {
    ++position;
    const std::string& word = w.sWord();
    auto next = [&]() -> std::string {
      return position + 1 <= words.Count() ? words.Item(position + 1).sWord() : std::string();
    };
    switch (state) {
      case State::LineStart:
        if (word != "<") return;
        if (position == words.Count()) return;  // "<" is the last word
        if (next() == "/") {
          state = State::EndTag;
        } else {
          element = std::make_unique<clsMarkUp>();
          element->bOpen(true);
          state = State::ElementName;
        }
        break;
      case State::ElementName:
        if (IsDelimiter(word) && element->sName().empty()) return;
        if (word == " ")
          state = State::AttributeName;
        else if (word == ">")
          state = State::Content;
        else if (!IsDelimiter(word))
          element->sName(element->sName() + word);
        break;
      case State::AttributeName:
        if (word == ">") {
          state = State::Content;
        } else if (word != " ") {
          clsParam& p = element->Params().Add();
          p.sName(word);
          state = State::AttributeValue;
        }
        break;
      case State::AttributeValue: {
        clsParam& last = element->Params().Item(element->Params().Count());
        if (word == "=") break;
        if (word == "\"") {
          if (last.nOpenState() == 0)
            last.nOpenState(1);
          else
            state = State::AttributeName;
        } else {
          last.sValue(last.sValue() + word);
        }
        break;
      }
      case State::Content:
        if (word == "<") {
          if (position == words.Count() || next() != "/") return;
          state = State::EndTag;
        } else {
          element->sValue(element->sValue() + word);
        }
        break;
      case State::EndTag:
        if (word == ">") state = State::EndTagDone;
        break;
      case State::EndTagDone:
        break;
    }
  }
  clsMarkUp& deepest = round_trip::FindOpenByRule(root);
  if (state == State::Content && !IsNothing(element.get())) {
    deepest.Markups().Add(std::move(element));
  } else if (state == State::EndTagDone) {
    if (!IsNothing(element.get())) {
      element->bOpen(false);
      deepest.Markups().Add(std::move(element));
    } else {
      deepest.bOpen(false);
    }
  }
}

void ReferenceRead(const std::string& bytes, clsMarkUp& root) {
  size_t p = 0;
  while (p < bytes.size()) {
    size_t e = bytes.find_first_of("\r\n", p);
    if (e == std::string::npos) e = bytes.size();
    std::string line = bytes.substr(p, e - p);
    size_t b = line.find_first_not_of(' ');
    line = b == std::string::npos ? "" : line.substr(b, line.find_last_not_of(' ') - b + 1);
    ReferenceParseLine(RemoveChar(line, "\t"), root);
    if (e == bytes.size()) break;
    p = (bytes[e] == '\r' && e + 1 < bytes.size() && bytes[e + 1] == '\n') ? e + 2 : e + 1;
  }
}

int yields = 0;

TEST(ReaderAgainstRules, RandomDocuments) {
  const char* pieces[] = {"<",        ">",    "/",  " ",  "=",    "\"",      "?",
                          "(",        "a",    "bc", "x",  "1",    "!",       "-",
                          "\t",       "\r\n", "\n", "\r", "<a>",  "</a>",    "<b x=\"1\">",
                          "<c>v</c>", "  ",   "'",  "|",  "\xff", "<?xml?>", "<d/>"};
  std::mt19937 rng(7);
  YieldHook previous = SetYieldHook([] { ++yields; });
  for (int round = 0; round < 20000; ++round) {
    std::string doc;
    for (int n = static_cast<int>(rng() % 40); n > 0; --n) doc += pieces[rng() % std::size(pieces)];
    clsMarkUp expected, actual;
    expected.bOpen(true);
    actual.bOpen(true);
    yields = 0;
    ReferenceRead(doc, expected);
    const int expectedYields = yields;
    yields = 0;
    ReadMarkup(doc, actual, "random");
    ASSERT_EQ(TreeText(actual), TreeText(expected)) << doc;
    ASSERT_EQ(yields, expectedYields) << doc;
    // nOpenState of every attribute read is 1: both quotes were seen.
    ASSERT_EQ(round_trip::Check(doc), "") << doc;
  }
  SetYieldHook(previous);
}

}  // namespace
