// What the window tests share: a recorder that stands in for the colour
// dialog, message boxes and the shell; pixels read back from the window's own
// painting; a game installation in a temporary folder.
#pragma once

#include <windows.h>
// commdlg.h needs windows.h first.
#include <commdlg.h>

#include <array>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/main_window.h"
#include "ui/ui_system.h"

struct ColorDialogCall {
  CHOOSECOLORA record;
  std::array<COLORREF, 16> custom;
  bool windowVisible;
};

struct MessageCall {
  std::string text, title;
  UINT style;
  bool windowVisible;
};

struct ShellCall {
  HWND owner;
  std::string operation, file, parameters, directory;
  int show;
};

// Each colour-dialog call takes the next answer: a colour confirms, nullopt cancels.
struct Recorder {
  std::vector<ColorDialogCall> dialogs;
  std::deque<std::optional<COLORREF>> answers;
  std::function<void(CHOOSECOLORA*)> duringDialog;  // runs inside the dialog call
  std::vector<MessageCall> messages;
  std::vector<ShellCall> shells;

  UiSystem System();
};

// The window's client area as painted (WM_PRINTCLIENT), 0x00RRGGBB per pixel.
class Rendering {
 public:
  explicit Rendering(HWND hwnd);
  COLORREF At(int x, int y) const;  // as a COLORREF (0x00BBGGRR)
  int width() const { return width_; }
  int height() const { return height_; }

 private:
  int width_ = 0, height_ = 0;
  std::vector<uint32_t> pixels_;
};

// A child window's rectangle in its parent's client coordinates.
RECT ClientRectInParent(HWND child);
std::string WindowText(HWND hwnd);

// Sends a left-button press and release to the middle of a control, as a click does.
void Click(HWND control);

// Dispatches whatever is waiting in this thread's queue.
void DrainMessages();

// A game installation under the temporary folder, with the default colour
// file in its data folder, named in the registry for as long as it lives.
class FakeGame {
 public:
  FakeGame();
  ~FakeGame();
  FakeGame(const FakeGame&) = delete;
  FakeGame& operator=(const FakeGame&) = delete;
  const std::string& dataFolder() const { return data_; }
  std::string colorFile() const { return data_ + "playercolors.xml"; }

 private:
  std::string root_, data_;
  std::optional<std::string> previous_;
};

// The Windows path of the repository's data/playercolors.xml (the default colours).
std::string DefaultColorFile();
std::string ReadWholeFile(const std::string& path);
