// The colour-file commands the main window runs: start-up loading, showing and
// storing the colour table, Save and Restore. They see the window only through
// ColorWindow, the disk only through ColorFileSystem and the registry only
// through GameRegistry, so tests run them against fakes on any host.
//
// Failures the user must fix (no game found, a file that cannot be written) are
// shown through ColorWindow::ShowMessage; what else is thrown is caught by the
// window's command boundary.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "colorfile/game_location.h"

namespace markup {
class Element;
}  // namespace markup

// The icon and sound of a message; the window maps them to its system's.
enum class MessageKind { kError, kWarning, kInformation };
enum class Answer { kYes, kNo, kCancel };

// What the colour-file commands need of the main window.
class ColorWindow {
 public:
  virtual ~ColorWindow() = default;
  // Box 0..38: row = box / 3, column = box % 3. The tag is the decimal colour value.
  virtual std::string BoxTag(int box) const = 0;
  virtual void SetBoxTag(int box, const std::string& tag) = 0;
  virtual void SetBoxColor(int box, int32_t color) = 0;
  virtual void SetCaption(const std::string& caption) = 0;
  // A modal message box with an OK button.
  virtual void ShowMessage(const std::string& text, const std::string& title, MessageKind kind) = 0;
  // A modal question with Yes, No and Cancel buttons and a warning icon.
  virtual Answer Ask(const std::string& text, const std::string& title) = 0;
};

class WindowCommands {
 public:
  // The loaded colour file and where it came from. They change only together,
  // so a Save always writes a tree back into the file it was read from.
  struct State {
    ColorFileLocation location;             // empty folders until a load succeeded
    std::unique_ptr<markup::Element> tree;  // null until a load succeeded
    LoadedColorFile loaded;                 // what the load saw, so Save notices a change
  };

  WindowCommands(ColorFileSystem& fs, GameRegistry& registry);
  ~WindowCommands();
  WindowCommands(const WindowCommands&) = delete;
  WindowCommands& operator=(const WindowCommands&) = delete;

  // Finds the game, seeds and reads its colour file. False, with a message
  // shown and the previous state kept, when that failed.
  bool Load(ColorWindow& window);
  // Tree -> boxes (all tags, then all background colours).
  void Show(ColorWindow& window);
  // Boxes -> tree.
  void Store(ColorWindow& window);
  // The bodies of the Save and Restore menu commands.
  void Save(ColorWindow& window);
  void Restore(ColorWindow& window);

  const State& state() const { return state_; }
  // For the window's command boundary: a copy to put back after a failure.
  State Snapshot() const;
  void PutBack(State before) noexcept;

 private:
  bool Seed(ColorWindow& window, const ColorFileLocation& at);
  void ReportTableProblems(ColorWindow& window);
  void ReportWrite(ColorWindow& window, const GameWrite& done, const std::string& what);

  ColorFileSystem& fs_;
  GameRegistry& registry_;
  State state_;
};
