// MainWindow's painting, DPI and fonts: the window draws its background,
// frame, connector lines, captions, colour boxes and link itself (windows for
// them cost start-up time, see bench/startup), and fits every caption's and
// the link's font to the room the layout gives it, since the system's dialog
// font may be much wider than the one the window was designed with.
#include <algorithm>
#include <climits>
#include <cstdlib>

#include "common/wide_win32.h"
#include "ui/dpi.h"
#include "ui/main_window.h"
#include "ui/resource.h"
#include "ui/version.h"

namespace tintmoor::ui {

namespace {

RECT ToRect(const PixelRect& r) { return {r.left, r.top, r.right, r.bottom}; }

// Text is never drawn below 7 points, whatever it takes to fit.
int SmallestHeight(int dpi) { return (7 * dpi + 71) / 72; }

}  // namespace

// Picks, for texts that share a room's size, the first font in which all fit:
// the face asked for from its size down to the smallest, then each condensed
// face the system has from the same size down, and last the face asked for
// at the smallest size, condensed: a lean system (a Linux player's Wine with
// only DejaVu Sans, say) has no narrow face, and a word that runs into the
// frame reads worse than letters a little narrower than drawn. What it makes
// it keeps in fonts, shared by every text that fits the same face and size.
class MainWindow::FontFitter {
 public:
  FontFitter(int dpi, std::vector<FittedFont>& fonts)
      : screen_(nullptr), dc_(screen_.get()), least_(SmallestHeight(dpi)), fonts_(fonts) {}

  HFONT Fit(const char* face, int height, bool underline,
            const std::vector<std::string_view>& texts, SIZE room) {
    HFONT narrowest = nullptr;
    LONG narrowestWidth = LONG_MAX;
    // The font if every text fits it; otherwise it is remembered when it is
    // the least cut so far.
    auto tryFont = [&](HFONT font) -> HFONT {
      const SIZE size = Extent(font, texts);
      if (size.cx <= room.cx && size.cy <= room.cy) return font;
      if (size.cx < narrowestWidth) {
        narrowest = font;
        narrowestWidth = size.cx;
      }
      return nullptr;
    };
    auto tryFace = [&](const char* f) -> HFONT {
      for (int h = height; h >= std::min(height, least_); --h) {
        if (HFONT font = tryFont(Get(f, h, 0, underline))) return font;
      }
      return nullptr;
    };
    if (HFONT font = tryFace(face)) return font;
    for (const char* condensed : kCondensedFaces) {
      if (!Installed(condensed)) continue;
      if (HFONT font = tryFace(condensed)) return font;
    }
    // GDI scales a TrueType face's glyphs across when asked for an average
    // character width below its own: start from the share of the natural
    // width that the room allows and narrow until the ink fits, never below
    // half (a bitmap face does not scale; it keeps the least cut).
    const int small = std::min(height, least_);
    HFONT natural = Get(face, small, 0, underline);
    const LONG naturalWidth = Extent(natural, texts).cx;
    const int average = AverageWidth(natural);
    if (naturalWidth > 0 && average > 1) {
      for (int w = std::min<int>(average - 1, MulDiv(average, room.cx, naturalWidth));
           w > 0 && w * 2 >= average; --w) {
        if (HFONT font = tryFont(Get(face, small, w, underline))) return font;
      }
    }
    return narrowest;  // nothing fits: the least cut
  }

 private:
  HFONT Get(const char* face, int height, int width, bool underline) {
    for (const FittedFont& f : fonts_) {
      if (f.face == face && f.height == height && f.width == width && f.underline == underline) {
        return f.font.get();
      }
    }
    LOGFONTW lf{};
    lf.lfHeight = -height;
    lf.lfWidth = width;
    lf.lfWeight = FW_NORMAL;
    lf.lfUnderline = underline ? TRUE : FALSE;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfQuality = DEFAULT_QUALITY;
    // Only an outline face can be condensed: ask for one where there is a choice.
    if (width != 0) lf.lfOutPrecision = OUT_TT_PRECIS;
    lstrcpynW(lf.lfFaceName, common::Widen(face).c_str(), LF_FACESIZE);
    fonts_.push_back({face, height, width, underline, Font(CreateFontIndirectW(&lf))});
    return fonts_.back().font.get();
  }

  // The widest and tallest ink of the texts in the font.
  SIZE Extent(HFONT font, const std::vector<std::string_view>& texts) const {
    SelectScope select(dc_.get(), font);
    SIZE size{};
    for (std::string_view text : texts) {
      const SIZE one = InkExtent(text);
      size.cx = std::max(size.cx, one.cx);
      size.cy = std::max(size.cy, one.cy);
    }
    return size;
  }

  int AverageWidth(HFONT font) const {
    SelectScope select(dc_.get(), font);
    TEXTMETRICW tm{};
    return GetTextMetricsW(dc_.get(), &tm) ? static_cast<int>(tm.tmAveCharWidth) : 0;
  }

  // The text's advance, plus what its first and last glyphs reach beyond it
  // (a slanted "/" does): a fit that leaves that out is cut by a pixel or two.
  SIZE InkExtent(std::string_view text) const {
    SIZE size{};
    const std::wstring wide = common::Widen(text);
    if (wide.empty()) return size;
    GetTextExtentPoint32W(dc_.get(), wide.data(), static_cast<int>(wide.size()), &size);
    ABC first{}, last{};  // bitmap faces have none and draw inside their advance
    const UINT front = wide.front();
    const UINT back = wide.back();
    if (GetCharABCWidthsW(dc_.get(), front, front, &first) &&
        GetCharABCWidthsW(dc_.get(), back, back, &last)) {
      size.cx += std::max(0, -first.abcA) + std::max(0, -last.abcC);
    }
    return size;
  }

  // The font mapper hands out another face for one it does not have.
  bool Installed(const char* face) {
    SelectScope select(dc_.get(), Get(face, least_, 0, false));
    wchar_t got[LF_FACESIZE] = L"";
    GetTextFaceW(dc_.get(), LF_FACESIZE, got);
    return lstrcmpiW(got, common::Widen(face).c_str()) == 0;
  }

  WindowDC screen_;
  MemoryDC dc_;
  int least_;
  std::vector<FittedFont>& fonts_;
};

LRESULT MainWindow::OnCreate() {
  dpi_ = WindowDpi(hwnd_);
  backBrush_.Reset(CreateSolidBrush(ToColorRef(kBackColor)));
  static constexpr int kArtIds[8] = {
      IDB_FRAME_TOP,          IDB_FRAME_LEFT,          IDB_FRAME_RIGHT,     IDB_FRAME_BOTTOM,
      IDB_CORNER_BOTTOM_LEFT, IDB_CORNER_BOTTOM_RIGHT, IDB_CORNER_TOP_LEFT, IDB_CORNER_TOP_RIGHT};
  for (int i = 0; i < 8; ++i) {
    art_[i].Reset(static_cast<HBITMAP>(
        LoadImageW(instance_, MAKEINTRESOURCEW(kArtIds[i]), IMAGE_BITMAP, 0, 0, 0)));
  }
  hand_ = LoadCursorW(instance_, MAKEINTRESOURCEW(IDR_HAND_CURSOR));
  FitFonts();
  SizeWindow(std::nullopt);
  return 0;
}

void MainWindow::FitFonts() {
  // The default dialog font is 8 pt "MS Shell Dlg"; the link's is 9.75 pt.
  std::vector<FittedFont> fonts;
  FontFitter fitter(dpi_, fonts);
  const int dialogHeight = MulDiv(8, dpi_, 72);
  // Two pixels are kept clear at the right, so no text touches the frame or a box.
  auto roomOf = [this](const Twips& box) {
    const PixelRect room = Px(TextRoom(box));
    return SIZE{room.width() - 2, room.height()};
  };
  // The row captions, one above the other in rooms of one size, share one
  // font: a list whose last lines shrink reads as a fault.
  std::vector<std::string_view> rowCaptions;
  for (int row = 0; row < colorfile::kRows; ++row)
    rowCaptions.push_back(colorfile::RowCaption(row));
  HFONT rows =
      fitter.Fit("MS Shell Dlg", dialogHeight, false, rowCaptions, roomOf(RowLabelTwips(0)));
  for (int row = 0; row < colorfile::kRows; ++row) captionFonts_[row] = rows;
  // The column captions read as one set too: each is drawn no larger than
  // the tightest of them needs.
  int columnHeight = dialogHeight;
  for (int column = 0; column < colorfile::kColumns; ++column) {
    LOGFONTW lf{};
    GetObjectW(fitter.Fit("MS Shell Dlg", dialogHeight, false, {colorfile::ColumnCaption(column)},
                          roomOf(kColumnHeaders[column].label)),
               sizeof(lf), &lf);
    columnHeight = std::min(columnHeight, std::abs(static_cast<int>(lf.lfHeight)));
  }
  for (int column = 0; column < colorfile::kColumns; ++column) {
    captionFonts_[colorfile::kRows + column] =
        fitter.Fit("MS Shell Dlg", columnHeight, false, {colorfile::ColumnCaption(column)},
                   roomOf(kColumnHeaders[column].label));
  }
  linkFont_ = fitter.Fit("MS Sans Serif", MulDiv(975, dpi_, 7200), true, {TINTMOOR_HOME_PAGE},
                         roomOf(kHyperLinkTwips));
  fonts_ = std::move(fonts);  // the old fonts go only now that nothing uses them
}

void MainWindow::ApplyDpi() {
  FitFonts();
  PlaceTips();
  InvalidateRect(hwnd_, nullptr, FALSE);  // the boxes and the link move with the rest
}

void MainWindow::OnDpiChanged(int dpi, const RECT* suggested) {
  dpi_ = dpi;
  ApplyDpi();
  SizeWindow(POINT{suggested->left, suggested->top});
}

void MainWindow::SizeWindow(std::optional<POINT> topLeft) {
  const PixelRect client = Px(kClientTwips);
  RECT frame = WindowRectForClient(client.width(), client.height(), dpi_, kStyle, kExStyle, true);
  int width = frame.right - frame.left;
  int height = frame.bottom - frame.top;
  POINT at;
  if (topLeft) {
    at = *topLeft;
  } else {
    MONITORINFO mi{};
    mi.cbSize = sizeof(mi);
    GetMonitorInfoW(MonitorFromWindow(hwnd_, MONITOR_DEFAULTTOPRIMARY), &mi);
    const RECT& work = mi.rcWork;
    at = {work.left + (work.right - work.left - width) / 2,
          work.top + (work.bottom - work.top - height) / 2};
  }
  SetWindowPos(hwnd_, nullptr, at.x, at.y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  // A menu bar that wraps makes the frame taller than the calculation says.
  RECT got;
  GetClientRect(hwnd_, &got);
  const int dx = client.width() - (got.right - got.left);
  const int dy = client.height() - (got.bottom - got.top);
  if (dx || dy) {
    width += dx;
    height += dy;
    if (!topLeft) {
      at.x -= dx / 2;
      at.y -= dy / 2;
    }
    SetWindowPos(hwnd_, nullptr, at.x, at.y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

// ---- Painting.

void MainWindow::PaintBackground(HDC dc) const {
  const PixelRect client = Px(kClientTwips);
  RECT all{0, 0, client.right, client.bottom};
  FillRect(dc, &all, backBrush_.get());

  // Strips first, corners over them; the strips are clipped at the client edge.
  MemoryDC mem(dc);
  SetStretchBltMode(dc, COLORONCOLOR);
  for (const FramePiece& piece : kFramePieces) {
    const Bitmap& art = art_[static_cast<int>(piece.art)];
    if (!art) continue;
    BITMAP bm{};
    GetObjectW(art.get(), sizeof(bm), &bm);
    const PixelRect to = Px(piece.place);
    SelectScope select(mem.get(), art.get());
    StretchBlt(dc, to.left, to.top, to.width(), to.height(), mem.get(), 0, 0, bm.bmWidth,
               bm.bmHeight, SRCCOPY);
  }

  // The connector lines, one pixel wide at 96 dpi, in the window-text colour.
  Brush line(CreateSolidBrush(GetSysColor(COLOR_WINDOWTEXT)));
  const int lineWidth = std::max(1, TwipsToPixels(15, dpi_));
  for (const ColumnHeader& header : kColumnHeaders) {
    const int x = TwipsToPixels(header.lineX, dpi_);
    RECT r{x, TwipsToPixels(header.lineTop, dpi_), x + lineWidth,
           TwipsToPixels(header.lineBottom, dpi_)};
    FillRect(dc, &r, line.get());
  }
}

void MainWindow::PaintCaptions(HDC dc) const {
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
  for (int n = 0; n < kCaptions; ++n) {
    // Clipped to its room, so a caption that still does not fit is cut, never
    // drawn over the frame or under a box.
    RECT room = ToRect(Px(TextRoom(CaptionTwips(n))));
    const std::wstring text = common::Widen(CaptionText(n));
    SelectScope font(dc, captionFonts_[n]);
    DrawTextW(dc, text.data(), static_cast<int>(text.size()), &room,
              DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
  }
  // The link takes clicks over its whole box, but its text keeps off the frame.
  RECT room = ToRect(Px(TextRoom(kHyperLinkTwips)));
  SelectScope font(dc, linkFont_);
  SetTextColor(dc, ToColorRef(kLinkColor));
  DrawTextW(dc, L"" TINTMOOR_HOME_PAGE, -1, &room, DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
}

// Each box has a one-pixel frame in the system's window-frame colour, the one
// it gives a bordered window, so a colour scheme that changes it changes the
// boxes too.
void MainWindow::PaintBoxes(HDC dc) const {
  const HBRUSH fill = static_cast<HBRUSH>(GetStockObject(DC_BRUSH));
  for (int k = 0; k < colorfile::kCells; ++k) {
    RECT r = ToRect(BoxRect(k));
    FrameRect(dc, &r, GetSysColorBrush(COLOR_WINDOWFRAME));
    InflateRect(&r, -1, -1);
    SetDCBrushColor(dc, ToColorRef(boxes_[k]));
    FillRect(dc, &r, fill);
  }
}

// The system's dotted focus rectangle, one pixel outside the focused box's
// frame, in the gap between the boxes; the box itself is clipped out, so a
// wider system focus border never reaches its frame or colour. Around the
// link it surrounds the text. Shown while the window has the focus, unless
// the keyboard cues are hidden (until the keyboard is used, see OnKeyDown).
void MainWindow::PaintFocus(HDC dc) const {
  if (!hasFocus_ || (SendMessageW(hwnd_, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS)) return;
  RECT inner;
  if (focusStop_ == kLinkStop) {
    inner = ToRect(Px(TextRoom(kHyperLinkTwips)));
    SelectScope font(dc, linkFont_);
    DrawTextW(dc, L"" TINTMOOR_HOME_PAGE, -1, &inner,
              DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX | DT_CALCRECT);
  } else {
    inner = ToRect(BoxRect(focusStop_));
  }
  const int saved = SaveDC(dc);
  ExcludeClipRect(dc, inner.left, inner.top, inner.right, inner.bottom);
  RECT ring = inner;
  InflateRect(&ring, 1, 1);
  SetTextColor(dc, RGB(0, 0, 0));
  SetBkColor(dc, RGB(255, 255, 255));
  DrawFocusRect(dc, &ring);
  RestoreDC(dc, saved);
}

void MainWindow::PaintAll(HDC dc) const {
  PaintBackground(dc);
  PaintCaptions(dc);
  PaintBoxes(dc);
  PaintFocus(dc);
}

void MainWindow::RepaintBox(int box) {
  const RECT r = ToRect(BoxRect(box));
  InvalidateRect(hwnd_, &r, FALSE);
}

// Draws into the DC of WM_PRINTCLIENT when given one, so the window can be
// printed (and its pixels read back by the tests).
void MainWindow::OnPaint(HDC printDc) {
  if (printDc) {
    PaintAll(printDc);
    return;
  }
  // Drawn off screen and copied in one go: text over the background never flickers.
  PaintScope paint(hwnd_);
  const PixelRect client = Px(kClientTwips);
  MemoryDC back(paint.dc());
  Bitmap bits(CreateCompatibleBitmap(paint.dc(), client.width(), client.height()));
  if (!back.get() || !bits) {
    PaintAll(paint.dc());
    return;
  }
  SelectScope select(back.get(), bits.get());
  PaintAll(back.get());
  BitBlt(paint.dc(), 0, 0, client.width(), client.height(), back.get(), 0, 0, SRCCOPY);
}

}  // namespace tintmoor::ui
