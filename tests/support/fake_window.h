// The window as the window's commands see it, recording what they do to it;
// shared by the commands' tests on fakes and on real Windows files.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "colorfile/color_table.h"
#include "colorfile/color_value.h"
#include "ui/version.h"
#include "ui/window_commands.h"

namespace test {

const std::string kTitle = TINTMOOR_TITLE;
const std::string kMarked = kTitle + " *";
const std::string kGrey = ColorToTag(kGreyColor);

struct Message {
  std::string text, title;
  MessageKind kind;
};

// The window as the commands see it, recording what they do to it.
class FakeWindow : public ColorWindow {
 public:
  FakeWindow() { tags.fill(kGrey); }
  std::string BoxTag(int box) const override { return tags[box]; }
  void SetBoxTag(int box, const std::string& tag) override {
    tags[box] = tag;
    calls.push_back("tag");
  }
  void SetBoxColor(int box, int32_t color) override {
    colors[box] = color;
    calls.push_back("color");
  }
  void SetCaption(const std::string& text) override { caption = text; }
  void ShowMessage(const std::string& text, const std::string& title, MessageKind kind) override {
    messages.push_back({text, title, kind});
  }
  Answer Ask(const std::string& text, const std::string& title) override {
    messages.push_back({text, title, MessageKind::kWarning});
    return answer;
  }
  // A colour picked in the dialog.
  void Pick(int box, int32_t color) {
    caption = kMarked;
    colors[box] = color;
    tags[box] = std::to_string(color);
  }

  std::array<std::string, kCells> tags;
  std::array<int32_t, kCells> colors{};
  std::vector<std::string> calls;
  std::string caption = kTitle;
  std::vector<Message> messages;
  Answer answer = Answer::kCancel;  // how every question is answered
};

}  // namespace test
