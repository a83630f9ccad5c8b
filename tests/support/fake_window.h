// The window as the window's commands see it, recording what they do to it,
// and the registry they read; shared by the commands' tests on fakes and on
// real Windows files.
#pragma once

#include <array>
#include <deque>
#include <string>
#include <vector>

#include "colorfile/color_table.h"
#include "colorfile/color_value.h"
#include "ui/version.h"
#include "ui/window_commands.h"

namespace tintmoor::ui {

namespace test {

const std::string kTitle = TINTMOOR_TITLE;
const std::string kMarked = kTitle + " *";

struct Message {
  std::string text, title;
  MessageKind kind;
  bool question = false;
  Question buttons = Question::kYesNoCancel;
};

// The window as the commands see it, recording what they do to it.
class FakeWindow : public ColorWindow {
 public:
  FakeWindow() { colors.fill(colorfile::kGreyColor); }
  colorfile::Rgb BoxColor(int box) const override { return colors[box]; }
  void SetBoxColor(int box, colorfile::Rgb color) override {
    colors[box] = color;
    calls.push_back("color");
  }
  void SetCaption(const std::string& text) override { caption = text; }
  void ShowMessage(const std::string& text, const std::string& title, MessageKind kind) override {
    messages.push_back({text, title, kind});
  }
  Answer Ask(const std::string& text, const std::string& title, Question buttons) override {
    messages.push_back({text, title, MessageKind::kWarning, true, buttons});
    if (answers.empty()) return answer;
    const Answer next = answers.front();
    answers.pop_front();
    return next;
  }
  bool GameRunning() override { return gameRunning; }
  // A colour picked in the dialog; the window tells its commands, when it has them.
  void Pick(int box, colorfile::Rgb color) {
    caption = kMarked;
    colors[box] = color;
    if (commands) commands->Changed(*this);
  }
  // Runs a command as the window's boundary does: a CommandFailure is shown in
  // its own words. False when the command failed.
  template <class Body>
  bool Run(Body&& body) {
    try {
      body();
      return true;
    } catch (const CommandFailure& e) {
      ShowMessage(e.what(), e.title(), MessageKind::kError);
      return false;
    }
  }

  std::array<colorfile::Rgb, colorfile::kCells> colors;
  std::vector<std::string> calls;
  std::string caption = kTitle;
  std::vector<Message> messages;
  std::deque<Answer> answers;       // how the next questions are answered, in turn
  Answer answer = Answer::kCancel;  // how every question after those is answered
  bool gameRunning = false;
  WindowCommands* commands = nullptr;
};

// The registry's entry for the game, as the test sets it.
class FakeRegistry : public colorfile::GameRegistry {
 public:
  std::string installFolder;
  std::string InstallFolder() override { return installFolder; }
};

}  // namespace test

}  // namespace tintmoor::ui
