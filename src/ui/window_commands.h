// The colour-file commands the main window runs: start-up loading, showing and
// storing the colour table, Save and Restore. They see the window only through
// ColorWindow, the disk only through ColorFileSystem and the registry only
// through GameRegistry, so tests run them against fakes on any host.
//
// Failures are thrown where they happen and caught once, by the window's
// command boundary. Those the user must fix (no game found, a file that cannot
// be written) are CommandFailures that say everything in their own words;
// notices after a command did its work (a table with problems, colours moved
// into the VirtualStore) are shown through ColorWindow::ShowMessage.
#pragma once

#include <memory>
#include <string>

#include "colorfile/color_value.h"
#include "colorfile/game_location.h"
#include "common/errors.h"

namespace markup {
class Element;
}  // namespace markup

// The icon and sound of a message; the window maps them to its system's.
enum class MessageKind { kError, kWarning, kInformation };
enum class Answer { kYes, kNo, kCancel };

// A failure a command explains in full. The command boundary shows its text as
// it stands, under its title, in an error box, and keeps what the command left:
// it is thrown only where the state is whole (nothing changed yet, or a change
// on disk that the state already follows).
class CommandFailure : public TintError {
 public:
  // Under the program's title.
  explicit CommandFailure(const std::string& text);
  CommandFailure(const std::string& text, std::string title);
  const std::string& title() const { return title_; }

 private:
  std::string title_;
};

// What the colour-file commands need of the main window.
class ColorWindow {
 public:
  virtual ~ColorWindow() = default;
  // Box 0..38: row = box / 3, column = box % 3. Between a load and the next
  // save the boxes' colours are the live colour table; a box paints its colour.
  virtual Rgb BoxColor(int box) const = 0;
  virtual void SetBoxColor(int box, Rgb color) = 0;
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

  // Finds the game, seeds and reads its colour file. Throws a CommandFailure,
  // with the previous state kept, when that failed.
  void Load(ColorWindow& window);
  // Tree -> boxes: every cell is read before any box changes.
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
  void Seed(const ColorFileLocation& at);
  void ReportTableProblems(ColorWindow& window);
  void ReportWrite(ColorWindow& window, const GameWrite& done, const std::string& what);

  ColorFileSystem& fs_;
  GameRegistry& registry_;
  State state_;
};
