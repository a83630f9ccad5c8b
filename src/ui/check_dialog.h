// The colour check in the window: a modal dialog owned by the main window that
// shows every row's unit and minimap colour as normal vision, protanopia,
// deuteranopia and tritanopia see it, and lists the pairs of players closer
// than 10 under any of them. It reads the window's boxes, unsaved picks
// included, and "Separate Closest Colors" moves the boxes' colours apart.
//
// Nothing is thrown out of the dialog's window procedure: what a button's work
// throws ends the dialog and is rethrown from RunModal, so the window's one
// error boundary reports it and puts the boxes back.
#pragma once

#include <windows.h>

#include <array>
#include <exception>

#include "colorfile/color_table.h"
#include "ui/check_view.h"
#include "ui/gdi.h"

class ColorWindow;

// The table the boxes hold now, unsaved picks included.
ColorTable BoxTable(const ColorWindow& window);
// Puts a whole table into the boxes as a pick does: their colours change,
// the caption gets its unsaved marker, nothing is written.
void PickTable(ColorWindow& window, const ColorTable& table);
// Moves the boxes' unit and minimap colours apart until every pair is at least
// threshold apart under all four visions, or as far as the search gets. Only
// moved boxes change; when any did, the caption gets its unsaved marker.
struct BoxSeparation {
  size_t moved = 0;
  bool reached = false;
  double closest = 0;  // the closest pair afterwards, over both columns and the four visions
};
BoxSeparation SeparateBoxColors(ColorWindow& window, double threshold);

class CheckDialog {
 public:
  static constexpr double kThreshold = 10;
  static constexpr const char* kClassName = "TintmoorCheck";
  static constexpr int kSeparateId = 100;
  static constexpr int kPairListId = 101;
  static constexpr int kStatusId = 102;

  // owner: the window it belongs to; dpi: the owner's, which the dialog
  // follows; window: the boxes it checks and changes.
  CheckDialog(HINSTANCE instance, HWND owner, int dpi, ColorWindow& window);
  ~CheckDialog();
  CheckDialog(const CheckDialog&) = delete;
  CheckDialog& operator=(const CheckDialog&) = delete;

  // Shows the dialog with its owner disabled until it is closed.
  void RunModal();

  HWND hwnd() const { return hwnd_; }
  const CheckView& View() const { return view_; }
  int Dpi() const { return dpi_; }
  // Where the swatch of a row's colour (column 0 unit, 1 minimap) under kVisions[vision] is
  // painted.
  RECT SwatchRect(int column, int row, int vision) const;

 private:
  static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  void Create();
  void OnCreate();
  void OnPaint(HDC printDc);
  void OnCommand(int id);
  void OnDpiChanged(int dpi, const RECT* suggested);
  void OnSeparate();
  void Refresh();
  void ApplyDpi();
  int S(int pixelsAt96) const { return MulDiv(pixelsAt96, dpi_, 96); }

  HINSTANCE instance_;
  HWND owner_;
  int dpi_;
  ColorWindow& window_;
  HWND hwnd_ = nullptr;
  HWND pairLabel_ = nullptr, pairList_ = nullptr, status_ = nullptr;
  HWND separate_ = nullptr, close_ = nullptr;
  Font font_;
  CheckView view_;
  bool done_ = false;
  std::exception_ptr failure_;
};
