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

#include "ui/check_view.h"
#include "ui/main_window.h"
#include "ui/ui_system.h"

namespace tintmoor::ui {

// The window's title, written out: the tests check the program's own text.
inline constexpr const char* kTitle = "Brindle's AoM Tintmoor";

struct ColorDialogCall {
  CHOOSECOLORW record;
  std::array<COLORREF, 16> custom;
  bool windowVisible;
  std::string title;  // as the record's hook sets it
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

// Each colour-dialog call takes the next answer: a colour confirms, nullopt
// cancels; each message box the next reply (IDOK once they run out); each
// folder picker the next folder (none, as a cancel, once they run out), each
// file dialog the next scheme file (likewise). The look for a running game is
// the system's.
struct Recorder {
  std::vector<ColorDialogCall> dialogs;
  std::deque<std::optional<COLORREF>> answers;
  std::function<void(CHOOSECOLORW*)> duringDialog;  // runs inside the dialog call
  std::vector<MessageCall> messages;
  std::deque<int> replies;
  std::vector<ShellCall> shells;
  std::deque<std::string> folders;
  std::deque<std::string> schemeFiles;

  UiSystem System();
};

// The window's client area as painted (WM_PRINTCLIENT), 0x00RRGGBB per pixel.
class Rendering {
 public:
  // At least size big: a window the screen cannot hold still paints whole.
  explicit Rendering(HWND hwnd, SIZE size = {0, 0});
  COLORREF At(int x, int y) const;  // as a COLORREF (0x00BBGGRR)
  int width() const { return width_; }
  int height() const { return height_; }

 private:
  int width_ = 0, height_ = 0;
  std::vector<uint32_t> pixels_;
};

// Every caption and the link, at the window's DPI: measured in the font the
// window drew it with, the text lies inside its box, short of the frame's inner
// edge and, for the row captions, of the colour boxes, in no font below 7 pt;
// in the rendered pixels each caption has ink, and the two pixel columns
// just inside its right limit have none.
void ExpectCaptionsFit(const MainWindow& form);

// A colour box as painted: a one-pixel frame in the window-frame colour along
// r's edges, fill inside it, and the window's background in the two pixels
// outside; focused, the focus rectangle's dots in the first of them.
void ExpectBoxPainted(const Rendering& px, const PixelRect& r, COLORREF fill, bool focused = false);

std::string WindowText(HWND hwnd);

// Calls open, which shows the Check Colors dialog modally, and runs body once
// inside the dialog's own message loop; closes the dialog after body unless
// body ended it. Returns whether body ran.
bool InCheckDialog(const std::function<void()>& open, const std::function<void(HWND)>& body);

// The Check Colors dialog as laid out and painted at dpi: every control in the
// dialog's client area, in the 8 pt dialog font at dpi; every text (captions,
// labels, buttons, pair lines, and the tables' row and vision captions) fits
// its place in that font; and each table, painted alone, shows every swatch of
// want framed on SwatchRect's edges and filled with its colour.
void ExpectCheckDialogShows(HWND dialog, const CheckView& want, int dpi);

// Sends the window a left-button press at down and its release at up (client
// pixels), as a click does; the second form clicks the middle of a box or the link.
void Click(HWND window, POINT down, POINT up);
void Click(HWND window, const PixelRect& target);
POINT Middle(const PixelRect& r);

// Presses a key in the window as its message loop delivers it: with Shift
// and Ctrl held as asked (MOD_SHIFT, MOD_CONTROL), through the window's
// shortcuts first.
void PressKey(MainWindow& form, UINT key, UINT modifiers = 0);

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

}  // namespace tintmoor::ui
