#include "ui/check_dialog.h"

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "colorfile/color_value.h"
#include "colorfile/separation.h"
#include "colorfile/vision_words.h"
#include "common/errors.h"
#include "common/wide_win32.h"
#include "ui/resource.h"
#include "ui/version.h"
#include "ui/window_commands.h"

#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif

namespace tintmoor::ui {

namespace {

// A table's captions' column takes this share of its width (1 in 6: the
// template's 40 of 240 dialog units); the visions checked share the rest.
constexpr int kCaptionShare = 6;

std::string MarkedTitle() { return TINTMOOR_TITLE " *"; }

void SetItemText(HWND dialog, int item, std::string_view text) {
  SetDlgItemTextW(dialog, item, common::Widen(text).c_str());
}

void AddChoice(HWND comboBox, const std::string& text) {
  SendMessageW(comboBox, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(common::Widen(text).c_str()));
}

}  // namespace

colorfile::ColorTable BoxTable(const ColorWindow& window) {
  colorfile::ColorTable table{};
  for (int box = 0; box < colorfile::kCells; ++box) {
    table[static_cast<size_t>(box / colorfile::kColumns)]
         [static_cast<size_t>(box % colorfile::kColumns)] = window.BoxColor(box);
  }
  return table;
}

void PickTable(ColorWindow& window, const colorfile::ColorTable& table) {
  for (int box = 0; box < colorfile::kCells; ++box) {
    window.SetBoxColor(box, table[static_cast<size_t>(box / colorfile::kColumns)]
                                 [static_cast<size_t>(box % colorfile::kColumns)]);
  }
  window.SetCaption(MarkedTitle());
}

SeparationView SeparateBoxColors(ColorWindow& window, const colorfile::CheckOptions& options) {
  SeparationView separated = SeparateForView(BoxTable(window), options);
  for (const colorfile::CellMove& move : separated.result.moves) {
    window.SetBoxColor(move.row * colorfile::kColumns + move.column, move.after);
  }
  if (!separated.result.moves.empty()) window.SetCaption(MarkedTitle());
  return separated;
}

// ---- The dialog.

CheckDialog::CheckDialog(HINSTANCE instance, HWND owner, int dpi, ColorWindow& window)
    : instance_(instance), owner_(owner), dpi_(dpi), window_(window) {}

void CheckDialog::RunModal() {
  const INT_PTR result = DialogBoxParamW(instance_, MAKEINTRESOURCEW(IDD_CHECK), owner_, DialogProc,
                                         reinterpret_cast<LPARAM>(this));
  if (failure_) std::rethrow_exception(std::exchange(failure_, nullptr));
  if (result == -1 || result == 0)
    throw common::TintError("The Check Colors window could not be opened.");
}

INT_PTR CALLBACK CheckDialog::DialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_INITDIALOG) SetWindowLongPtrW(hwnd, DWLP_USER, lp);
  auto* self = reinterpret_cast<CheckDialog*>(GetWindowLongPtrW(hwnd, DWLP_USER));
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
        self->OnCommand(LOWORD(wp), HIWORD(wp));
        return TRUE;
      case WM_DPICHANGED:
        return self->OnDpiChanged(LOWORD(wp), reinterpret_cast<const RECT*>(lp));
      case WM_NCDESTROY:
        SetWindowLongPtrW(hwnd, DWLP_USER, 0);
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
    SetItemText(hwnd_, IDC_CHECK_CAPTION0 + column, colorfile::ColumnCaption(column));
  }
  std::string label = "&";  // Alt+P goes to the list
  label += PairListTitle(kThreshold);
  SetItemText(hwnd_, IDC_CHECK_PAIR_LABEL, label);
  const HWND forWhom = GetDlgItem(hwnd_, IDC_CHECK_FOR_WHOM);
  for (colorfile::Vision v : kForWhom) {
    AddChoice(forWhom, ForWhomLabel(v));
  }
  SendMessageW(forWhom, CB_SETCURSEL, 0, 0);  // everyone
  const HWND strength = GetDlgItem(hwnd_, IDC_CHECK_STRENGTH);
  for (int tenths = kMildestTenths; tenths <= kFullTenths; ++tenths) {
    AddChoice(strength, StrengthLabel(tenths));
  }
  SendMessageW(strength, CB_SETCURSEL, kFullTenths - kMildestTenths, 0);  // full
  options_ = DialogOptions(kForWhom[0], kFullTenths);
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
  view_ = MakeCheckView(BoxTable(window_), options_);
  SetItemText(hwnd_, IDC_CHECK_WHO, view_.checkedLine);
  SetItemText(hwnd_, IDC_CHECK_MEANING, view_.distanceLine);
  SetItemText(hwnd_, IDC_CHECK_CLOSEST, view_.closestLine);
  const HWND list = GetDlgItem(hwnd_, IDC_CHECK_PAIRS);
  SendMessageW(list, LB_RESETCONTENT, 0, 0);
  for (const std::string& line : view_.pairLines) {
    SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(common::Widen(line).c_str()));
  }
  for (int column = 0; column < kCheckedColumns; ++column) {
    InvalidateRect(GetDlgItem(hwnd_, IDC_CHECK_TABLE0 + column), nullptr, FALSE);
  }
}

void CheckDialog::OnCommand(int id, int code) {
  switch (id) {
    case IDC_CHECK_SEPARATE:
      OnSeparate();
      break;
    case IDC_CHECK_FOR_WHOM:
    case IDC_CHECK_STRENGTH:
      if (code == CBN_SELCHANGE) OnChoice();
      break;
    case IDOK:
    case IDCANCEL:
      EndDialog(hwnd_, id);
      break;
  }
}

void CheckDialog::OnSeparate() {
  const SeparationView separated = SeparateBoxColors(window_, options_);
  Refresh();
  SetItemText(hwnd_, IDC_CHECK_STATUS, separated.line);
}

// Another choice of whom or how strong: checked again, and what the last
// separation said no longer applies.
void CheckDialog::OnChoice() {
  const LRESULT whom = SendDlgItemMessageW(hwnd_, IDC_CHECK_FOR_WHOM, CB_GETCURSEL, 0, 0);
  const LRESULT strength = SendDlgItemMessageW(hwnd_, IDC_CHECK_STRENGTH, CB_GETCURSEL, 0, 0);
  if (whom < 0 || whom >= static_cast<LRESULT>(kForWhom.size()) || strength < 0) return;
  options_ = DialogOptions(kForWhom[static_cast<size_t>(whom)],
                           kMildestTenths + static_cast<int>(strength));
  SetItemText(hwnd_, IDC_CHECK_STATUS, "");
  Refresh();
}

RECT CheckDialog::RowCaptionRect(const RECT& table, int row) {
  const LONG height = table.bottom - table.top;
  const LONG top = table.top + height * (row + 1) / (colorfile::kRows + 1);
  const LONG bottom = table.top + height * (row + 2) / (colorfile::kRows + 1);
  return {table.left, top, table.left + (table.right - table.left) / kCaptionShare, bottom};
}

RECT CheckDialog::HeadingRect(const RECT& table, int sight, int sights) {
  const LONG captions = (table.right - table.left) / kCaptionShare;
  const LONG cells = table.right - table.left - captions;
  const LONG left = table.left + captions + cells * sight / sights;
  const LONG right = table.left + captions + cells * (sight + 1) / sights;
  return {left, table.top, right, table.top + (table.bottom - table.top) / (colorfile::kRows + 1)};
}

RECT CheckDialog::SwatchRect(const RECT& table, int row, int sight, int sights) {
  const RECT column = HeadingRect(table, sight, sights);
  const RECT band = RowCaptionRect(table, row);
  // Inset from the cell, so neighbours never touch: a twelfth of its width, a
  // tenth of its height (6 and 2 pixels at 96 dpi).
  const LONG dx = (column.right - column.left) / 12;
  const LONG dy = std::max<LONG>(1, (band.bottom - band.top) / 10);
  return {column.left + dx, band.top + dy, column.right - dx, band.bottom - dy};
}

// A swatch: its colour in a thin frame or, when it is too close to other
// rows' colours, a thick one with those rows named in its lower right corner
// (G for Gaia), as many as fit and then how many more, as the preview does.
void CheckDialog::DrawSwatch(HDC dc, RECT swatch, colorfile::Rgb colour,
                             const std::vector<int>& partners) {
  Brush ink(CreateSolidBrush(GetSysColor(COLOR_WINDOWTEXT)));
  FillRect(dc, &swatch, ink.get());
  const int frame = partners.empty() ? 1 : CloseFrame(dpi_);
  RECT inside = swatch;
  InflateRect(&inside, -frame, -frame);
  Brush fill(CreateSolidBrush(ToColorRef(colour)));
  FillRect(dc, &inside, fill.get());
  if (partners.empty()) return;
  // The colour keeps at least a quarter of the swatch, on its left.
  const LONG room = (inside.right - inside.left) * 3 / 4;
  const int pad = MulDiv(2, dpi_, 96);
  std::wstring tag;
  SIZE size{};
  for (size_t shown = partners.size(); shown > 0; --shown) {
    std::string words =
        PartnerTag({partners.begin(), partners.begin() + static_cast<std::ptrdiff_t>(shown)});
    if (shown < partners.size()) words += " +" + std::to_string(partners.size() - shown);
    tag = common::Widen(words);
    GetTextExtentPoint32W(dc, tag.c_str(), static_cast<int>(tag.size()), &size);
    if (size.cx + 2 * pad <= room) break;
  }
  RECT box{
      std::max(inside.left + (inside.right - inside.left) / 4, inside.right - size.cx - 2 * pad),
      inside.top, inside.right, inside.bottom};
  FillRect(dc, &box, ink.get());
  SetTextColor(dc, GetSysColor(COLOR_WINDOW));
  RECT text{box.left + pad, box.top, box.right - pad, box.bottom};
  DrawTextW(dc, tag.c_str(), static_cast<int>(tag.size()), &text,
            DT_RIGHT | DT_BOTTOM | DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP);
  SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
}

bool CheckDialog::OnDrawItem(const DRAWITEMSTRUCT& item) {
  const int column = static_cast<int>(item.CtlID) - IDC_CHECK_TABLE0;
  if (column < 0 || column >= kCheckedColumns) return false;
  const HDC dc = item.hDC;
  const RECT& table = item.rcItem;
  FillRect(dc, &table, GetSysColorBrush(COLOR_BTNFACE));
  // The font the dialog manager gave the control, scaled with the dialog.
  const auto font = reinterpret_cast<HFONT>(SendMessageW(item.hwndItem, WM_GETFONT, 0, 0));
  SelectScope select(dc, font ? static_cast<HGDIOBJ>(font) : GetStockObject(DEFAULT_GUI_FONT));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
  auto text = [&](std::string_view s, RECT r, UINT align) {
    const std::wstring wide = common::Widen(s);
    DrawTextW(dc, wide.data(), static_cast<int>(wide.size()), &r,
              align | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
  };
  const std::vector<colorfile::Sight>& sights = view_.options.audience.sights;
  const int n = static_cast<int>(sights.size());
  for (int s = 0; s < n; ++s) {
    const colorfile::Sight& sight = sights[static_cast<size_t>(s)];
    text(colorfile::VisionName(sight.vision, view_.options.audience.severity),
         HeadingRect(table, s, n), DT_CENTER);
  }
  for (int row = 0; row < colorfile::kRows; ++row) {
    text(colorfile::RowCaption(row), RowCaptionRect(table, row), DT_LEFT);
    for (int s = 0; s < n; ++s) {
      const auto at = [&](const auto& byColumn) -> const auto& {
        return byColumn[static_cast<size_t>(column)][static_cast<size_t>(row)]
                       [static_cast<size_t>(s)];
      };
      DrawSwatch(dc, SwatchRect(table, row, s, n), at(view_.seen), at(view_.partners));
    }
  }
  return true;
}

}  // namespace tintmoor::ui
