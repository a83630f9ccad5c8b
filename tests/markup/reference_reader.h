// A literal transcription of the reader's rules, for differential tests and
// the fuzzer: every line split with SplitWords and run word by word through
// the transition table, the receiving element found by the first-open-child
// rule from the root. Slow and simple on purpose.
#pragma once

#include <memory>
#include <string>

#include "markup/reader.h"
#include "markup/words.h"
#include "round_trip.h"

namespace tintmoor::markup {

namespace reference {

enum class State {
  LineStart,
  ElementName,
  AttributeName,
  AttributeValue,
  Content,
  EndTag,
  EndTagDone
};

inline void ParseLine(const std::string& line, Element& root) {
  OrderedList<Word> words = SplitWords(line, "-1");
  State state = State::LineStart;
  std::unique_ptr<Element> element;
  int16_t position = 0;
  for (const Word& w : words) {
    ++position;
    const std::string& word = w.text();
    auto next = [&]() -> std::string {
      return position + 1 <= words.Count() ? words.Item(position + 1).text() : std::string();
    };
    switch (state) {
      case State::LineStart:
        if (word != "<") return;
        if (position == words.Count()) return;  // "<" is the last word
        if (next() == "/") {
          state = State::EndTag;
        } else {
          element = std::make_unique<Element>();
          element->set_open(true);
          state = State::ElementName;
        }
        break;
      case State::ElementName:
        if (IsDelimiter(word) && element->name().empty()) return;
        if (word == " ")
          state = State::AttributeName;
        else if (word == ">")
          state = State::Content;
        else if (!IsDelimiter(word))
          element->set_name(element->name() + word);
        break;
      case State::AttributeName:
        if (word == ">") {
          state = State::Content;
        } else if (word != " ") {
          Attribute& p = element->attributes().Add();
          p.set_name(word);
          state = State::AttributeValue;
        }
        break;
      case State::AttributeValue: {
        Attribute& last = element->attributes().Item(element->attributes().Count());
        if (word == "=") break;
        if (word == "\"") {
          if (last.open_state() == 0)
            last.set_open_state(1);
          else
            state = State::AttributeName;
        } else {
          last.set_value(last.value() + word);
        }
        break;
      }
      case State::Content:
        if (word == "<") {
          if (position == words.Count() || next() != "/") return;
          state = State::EndTag;
        } else {
          element->set_value(element->value() + word);
        }
        break;
      case State::EndTag:
        if (word == ">") state = State::EndTagDone;
        break;
      case State::EndTagDone:
        break;
    }
  }
  Element& deepest = round_trip::FindOpenByRule(root);
  if (state == State::Content && element != nullptr) {
    deepest.children().Add(std::move(element));
  } else if (state == State::EndTagDone) {
    if (element != nullptr) {
      element->set_open(false);
      deepest.children().Add(std::move(element));
    } else {
      deepest.set_open(false);
    }
  }
}

inline void Read(const std::string& bytes, Element& root) {
  size_t p = 0;
  while (p < bytes.size()) {
    size_t e = bytes.find_first_of("\r\n", p);
    if (e == std::string::npos) e = bytes.size();
    std::string line = bytes.substr(p, e - p);
    size_t b = line.find_first_not_of(' ');
    line = b == std::string::npos ? "" : line.substr(b, line.find_last_not_of(' ') - b + 1);
    ParseLine(RemoveChar(line, "\t"), root);
    if (e == bytes.size()) break;
    p = (bytes[e] == '\r' && e + 1 < bytes.size() && bytes[e + 1] == '\n') ? e + 2 : e + 1;
  }
}

}  // namespace reference

}  // namespace tintmoor::markup
