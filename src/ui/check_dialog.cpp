#include "ui/check_dialog.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <utility>

#include "colorfile/color_value.h"
#include "colorfile/separation.h"
#include "common/errors.h"
#include "ui/resource.h"
#include "ui/version.h"
#include "ui/window_commands.h"

#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif

namespace {

// A table's captions' column takes this share of its width (1 in 6: the
// template's 40 of 240 dialog units); the four visions share the rest.
constexpr int kCaptionShare = 6;

std::string MarkedTitle() { return TINTMOOR_TITLE " *"; }

}  // namespace

ColorTable BoxTable(const ColorWindow& window) {
  ColorTable table{};
  for (int box = 0; box < kCells; ++box) {
    table[static_cast<size_t>(box / kColumns)][static_cast<size_t>(box % kColumns)] =
        window.BoxColor(box);
  }
  return table;
}

void PickTable(ColorWindow& window, const ColorTable& table) {
  for (int box = 0; box < kCells; ++box) {
    window.SetBoxColor(
        box, table[static_cast<size_t>(box / kColumns)][static_cast<size_t>(box % kColumns)]);
  }
  window.SetCaption(MarkedTitle());
}

BoxSeparation SeparateBoxColors(ColorWindow& window, double threshold) {
  static constexpr int kColumnsChecked[] = {0, 1};
  const SeparationResult result = SeparateColors(BoxTable(window), threshold, kColumnsChecked);
  for (const CellMove& move : result.moves) {
    window.SetBoxColor(move.row * kColumns + move.column, move.after);
  }
  if (!result.moves.empty()) window.SetCaption(MarkedTitle());
  return {result.moves.size(), result.reached, result.minimumAfter};
}

// ---- The dialog.

CheckDialog::CheckDialog(HINSTANCE instance, HWND owner, int dpi, ColorWindow& window)
    : instance_(instance), owner_(owner), dpi_(dpi), window_(window) {}

void CheckDialog::RunModal() {
  const INT_PTR result = DialogBoxParamA(instance_, MAKEINTRESOURCEA(IDD_CHECK), owner_, DialogProc,
                                         reinterpret_cast<LPARAM>(this));
  if (failure_) std::rethrow_exception(std::exchange(failure_, nullptr));
  if (result == -1 || result == 0) throw TintError("The Check Colors window could not be opened.");
}

INT_PTR CALLBACK CheckDialog::DialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_INITDIALOG) SetWindowLongPtrA(hwnd, DWLP_USER, lp);
  auto* self = reinterpret_cast<CheckDialog*>(GetWindowLongPtrA(hwnd, DWLP_USER));
  if (!self) return FALSE;
  try {
    switch (msg) {
      case WM_INITDIALOG:
        self->hwnd_ = hwnd;
        self->OnInitDialog();
        return TRUE;  // the focus to the first control that takes it
      case WM_DRAWITEM:
        return self->OnDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
      case WM_COMMAND:
        self->OnCommand(LOWORD(wp));
        return TRUE;
      case WM_DPICHANGED:
        return self->OnDpiChanged(LOWORD(wp), reinterpret_cast<const RECT*>(lp));
      case WM_NCDESTROY:
        SetWindowLongPtrA(hwnd, DWLP_USER, 0);
        self->hwnd_ = nullptr;
        self->scaling_.reset();
        return FALSE;
    }
  } catch (...) {
    // Handed to RunModal, which rethrows it to the window's error boundary.
    if (!self->failure_) self->failure_ = std::current_exception();
    EndDialog(hwnd, IDABORT);
    return TRUE;
  }
  return FALSE;
}

void CheckDialog::OnInitDialog() {
  for (int column = 0; column < kCheckedColumns; ++column) {
    SetDlgItemTextA(hwnd_, IDC_CHECK_CAPTION0 + column, std::string(ColumnCaption(column)).c_str());
  }
  std::string label = "&";  // Alt+P goes to the list
  label += PairListTitle(kThreshold);
  SetDlgItemTextA(hwnd_, IDC_CHECK_PAIR_LABEL, label.c_str());
  if (!WindowsScalesDialog(hwnd_)) {
    scaling_.emplace(hwnd_);
    scaling_->Apply(dpi_);
  } else {
    dpi_ = WindowDpi(hwnd_);
  }
  CentreOverOwner();
  Refresh();
}

void CheckDialog::CentreOverOwner() {
  RECT own, mine;
  GetWindowRect(owner_, &own);
  GetWindowRect(hwnd_, &mine);
  SetWindowPos(hwnd_, nullptr, own.left + ((own.right - own.left) - (mine.right - mine.left)) / 2,
               std::max(own.top + ((own.bottom - own.top) - (mine.bottom - mine.top)) / 2, 0L), 0,
               0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool CheckDialog::OnDpiChanged(int dpi, const RECT* suggested) {
  dpi_ = dpi;
  if (!scaling_) {
    // Windows lays the controls out again; the tables repaint at their new size.
    RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    return false;
  }
  SetWindowPos(hwnd_, nullptr, suggested->left, suggested->top, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  scaling_->Apply(dpi);
  return true;
}

void CheckDialog::Refresh() {
  view_ = MakeCheckView(BoxTable(window_), kThreshold);
  const HWND list = GetDlgItem(hwnd_, IDC_CHECK_PAIRS);
  SendMessageA(list, LB_RESETCONTENT, 0, 0);
  for (const std::string& line : view_.pairLines) {
    SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
  }
  for (int column = 0; column < kCheckedColumns; ++column) {
    InvalidateRect(GetDlgItem(hwnd_, IDC_CHECK_TABLE0 + column), nullptr, FALSE);
  }
}

void CheckDialog::OnCommand(int id) {
  switch (id) {
    case IDC_CHECK_SEPARATE:
      OnSeparate();
      break;
    case IDOK:
    case IDCANCEL:
      EndDialog(hwnd_, id);
      break;
  }
}

void CheckDialog::OnSeparate() {
  const BoxSeparation result = SeparateBoxColors(window_, kThreshold);
  Refresh();
  const std::string line = SeparationLine(result.moved, result.reached, result.closest, kThreshold);
  SetDlgItemTextA(hwnd_, IDC_CHECK_STATUS, line.c_str());
}

RECT CheckDialog::RowCaptionRect(const RECT& table, int row) {
  const LONG height = table.bottom - table.top;
  const LONG top = table.top + height * (row + 1) / (kRows + 1);
  const LONG bottom = table.top + height * (row + 2) / (kRows + 1);
  return {table.left, top, table.left + (table.right - table.left) / kCaptionShare, bottom};
}

RECT CheckDialog::HeadingRect(const RECT& table, int vision) {
  const LONG captions = (table.right - table.left) / kCaptionShare;
  const LONG cells = table.right - table.left - captions;
  const LONG left = table.left + captions + cells * vision / static_cast<LONG>(kVisions.size());
  const LONG right =
      table.left + captions + cells * (vision + 1) / static_cast<LONG>(kVisions.size());
  return {left, table.top, right, table.top + (table.bottom - table.top) / (kRows + 1)};
}

RECT CheckDialog::SwatchRect(const RECT& table, int row, int vision) {
  const RECT column = HeadingRect(table, vision);
  const RECT band = RowCaptionRect(table, row);
  // Inset from the cell, so neighbours never touch: a twelfth of its width, a
  // tenth of its height (6 and 2 pixels at 96 dpi).
  const LONG dx = (column.right - column.left) / 12;
  const LONG dy = std::max<LONG>(1, (band.bottom - band.top) / 10);
  return {column.left + dx, band.top + dy, column.right - dx, band.bottom - dy};
}

bool CheckDialog::OnDrawItem(const DRAWITEMSTRUCT& item) {
  const int column = static_cast<int>(item.CtlID) - IDC_CHECK_TABLE0;
  if (column < 0 || column >= kCheckedColumns) return false;
  const HDC dc = item.hDC;
  const RECT& table = item.rcItem;
  FillRect(dc, &table, GetSysColorBrush(COLOR_BTNFACE));
  // The font the dialog manager gave the control, scaled with the dialog.
  const auto font = reinterpret_cast<HFONT>(SendMessageA(item.hwndItem, WM_GETFONT, 0, 0));
  SelectScope select(dc, font ? static_cast<HGDIOBJ>(font) : GetStockObject(DEFAULT_GUI_FONT));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
  auto text = [&](std::string_view s, RECT r, UINT align) {
    DrawTextA(dc, s.data(), static_cast<int>(s.size()), &r,
              align | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
  };
  Brush frame(CreateSolidBrush(GetSysColor(COLOR_WINDOWTEXT)));
  for (size_t v = 0; v < kVisions.size(); ++v) {
    text(VisionName(kVisions[v]), HeadingRect(table, static_cast<int>(v)), DT_CENTER);
  }
  for (int row = 0; row < kRows; ++row) {
    text(RowCaption(row), RowCaptionRect(table, row), DT_LEFT);
    for (size_t v = 0; v < kVisions.size(); ++v) {
      RECT swatch = SwatchRect(table, row, static_cast<int>(v));
      FrameRect(dc, &swatch, frame.get());
      InflateRect(&swatch, -1, -1);
      Brush fill(CreateSolidBrush(
          ToColorRef(view_.seen[static_cast<size_t>(column)][static_cast<size_t>(row)][v])));
      FillRect(dc, &swatch, fill.get());
    }
  }
  return true;
}
