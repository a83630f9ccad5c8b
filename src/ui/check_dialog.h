// The colour check in the window: a modal dialog owned by the main window. The
// player chooses for whom (everyone, or one kind of vision) and how strong it
// is; the dialog shows every row's unit and minimap colour as normal vision
// and that choice see it, frames the swatches closer than 10 to another row's
// and names that row in the corner, and lists the close pairs. It reads the
// window's boxes, unsaved picks included, and "Separate Closest Colors" moves
// the boxes' colours apart for the same choice. Check and separation are the
// command line's own (check_view.h).
//
// The dialog is the IDD_CHECK template, run by the dialog manager: keyboard,
// focus, font and, on Windows 10 1703 and later, DPI changes are Windows'.
// Where Windows does not scale dialogs, DialogScaling keeps it at the owner's
// DPI. Each of the two tables is an owner-drawn control painted here.
//
// Nothing is thrown out of the dialog procedure: what a button's work throws
// ends the dialog and is rethrown from RunModal, so the window's one error
// boundary reports it and puts the boxes back.
#pragma once

#include <windows.h>

#include <exception>
#include <optional>
#include <vector>

#include "colorfile/color_table.h"
#include "ui/check_view.h"
#include "ui/dpi.h"

namespace tintmoor::ui {

class ColorWindow;

// The table the boxes hold now, unsaved picks included.
colorfile::ColorTable BoxTable(const ColorWindow& window);
// Puts a whole table into the boxes as a pick does: their colours change,
// the caption gets its unsaved marker, nothing is written.
void PickTable(ColorWindow& window, const colorfile::ColorTable& table);
// Moves the boxes' unit and minimap colours apart until every pair is at least
// the threshold apart for everyone the options check, or as far as the search
// gets. Only moved boxes change; when any did, the caption gets its unsaved
// marker.
SeparationView SeparateBoxColors(ColorWindow& window, const colorfile::CheckOptions& options);

class CheckDialog {
 public:
  static constexpr double kThreshold = colorfile::kDefaultThreshold;

  // owner: the window it belongs to; dpi: the owner's, which the dialog
  // follows where Windows does not scale it; window: the boxes it checks and changes.
  CheckDialog(HINSTANCE instance, HWND owner, int dpi, ColorWindow& window);
  CheckDialog(const CheckDialog&) = delete;
  CheckDialog& operator=(const CheckDialog&) = delete;

  // Shows the dialog with its owner disabled until it is closed.
  void RunModal();

  HWND hwnd() const { return hwnd_; }
  const CheckView& View() const { return view_; }
  int Dpi() const { return dpi_; }

  // Where a table control (its client rectangle) paints a row's caption, the
  // heading of the sight-th of `sights` visions checked, and a row's swatch
  // under it: a heading band and a band per row, split into the captions'
  // column and one per vision.
  static RECT RowCaptionRect(const RECT& table, int row);
  static RECT HeadingRect(const RECT& table, int sight, int sights);
  static RECT SwatchRect(const RECT& table, int row, int sight, int sights);
  // How thick the frame of a swatch too close to another is, at a DPI.
  static int CloseFrame(int dpi) { return MulDiv(3, dpi, 96); }

 private:
  static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  void OnInitDialog();
  bool OnDrawItem(const DRAWITEMSTRUCT& item);
  void OnCommand(int id, int code);
  bool OnDpiChanged(int dpi, const RECT* suggested);
  void OnSeparate();
  void OnChoice();
  void Refresh();
  void DrawSwatch(HDC dc, RECT swatch, colorfile::Rgb colour, const std::vector<int>& partners);
  void CentreOverOwner();

  HINSTANCE instance_;
  HWND owner_;
  int dpi_;
  ColorWindow& window_;
  HWND hwnd_ = nullptr;
  std::optional<DialogScaling> scaling_;  // none where Windows scales the dialog
  colorfile::CheckOptions options_;       // for whom, as chosen
  CheckView view_;
  std::exception_ptr failure_;
};

}  // namespace tintmoor::ui
