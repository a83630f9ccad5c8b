#include "window_support.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "colorfile/game_location.h"
#include "colorfile/vision_words.h"
#include "ui/check_dialog.h"
#include "ui/gdi.h"
#include "ui/layout.h"
#include "ui/resource.h"
#include "ui/version.h"
#include "ui/window_commands.h"

namespace tintmoor::ui {

using colorfile::kGameInstallValue;
using colorfile::kGameKeyPath;
using colorfile::kRows;
using colorfile::Rgb;
using colorfile::RowCaption;
using colorfile::Sight;
using colorfile::VisionName;

namespace {

// The game's key, in the 32-bit view where the game's installer writes it.
std::optional<std::string> ReadAppPath() {
  char buffer[MAX_PATH] = "";
  DWORD size = sizeof(buffer), type = 0;
  if (RegGetValueA(HKEY_LOCAL_MACHINE, kGameKeyPath, kGameInstallValue,
                   RRF_RT_REG_SZ | RRF_SUBKEY_WOW6432KEY, &type, buffer, &size) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  return std::string(buffer);
}

void WriteAppPath(const std::optional<std::string>& path) {
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kGameKeyPath, 0, nullptr, 0,
                      KEY_ALL_ACCESS | KEY_WOW64_32KEY, nullptr, &key, nullptr) != ERROR_SUCCESS) {
    return;
  }
  if (path) {
    RegSetValueExA(key, kGameInstallValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(path->c_str()),
                   static_cast<DWORD>(path->size() + 1));
  } else {
    RegDeleteValueA(key, kGameInstallValue);
  }
  RegCloseKey(key);
}

const std::function<void(HWND)>* gInCheckDialog = nullptr;
bool gRanInCheckDialog = false;

void CALLBACK RunInCheckDialog(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND dialog = FindWindowW(MAKEINTATOM(32770), L"Check Colors");  // the dialog class
  if (!dialog || !gInCheckDialog) return;
  KillTimer(nullptr, timer);
  gRanInCheckDialog = true;
  (*gInCheckDialog)(dialog);
  if (IsWindow(dialog)) PostMessageA(dialog, WM_CLOSE, 0, 0);
}

SIZE TextSize(HFONT font, const std::string& text) {
  WindowDC screen(nullptr);
  SelectScope select(screen.get(), font);
  SIZE size{};
  GetTextExtentPoint32A(screen.get(), text.c_str(), static_cast<int>(text.size()), &size);
  return size;
}

HFONT FontOf(HWND control) {
  return reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0));
}

RECT ClientRect(HWND hwnd) {
  RECT r;
  GetClientRect(hwnd, &r);
  return r;
}

}  // namespace

UiSystem Recorder::System() {
  UiSystem sys;
  sys.chooseColor = [this](CHOOSECOLORW* cc) -> BOOL {
    ColorDialogCall call{*cc, {}, IsWindowVisible(cc->hwndOwner) != FALSE, ""};
    std::copy(cc->lpCustColors, cc->lpCustColors + 16, call.custom.begin());
    if (cc->Flags & CC_ENABLEHOOK) {  // run as the dialog would, on a stand-in
      HWND probe =
          CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
      cc->lpfnHook(probe, WM_INITDIALOG, 0, reinterpret_cast<LPARAM>(cc));
      call.title = WindowText(probe);
      DestroyWindow(probe);
    }
    dialogs.push_back(call);
    // A user who defines custom colours: they must not come back next time.
    std::fill(cc->lpCustColors, cc->lpCustColors + 16, RGB(1, 2, 3));
    if (duringDialog) duringDialog(cc);
    std::optional<COLORREF> answer;
    if (!answers.empty()) {
      answer = answers.front();
      answers.pop_front();
    }
    if (!answer) return FALSE;
    cc->rgbResult = *answer;
    return TRUE;
  };
  sys.messageBox = [this](HWND owner, const char* text, const char* title, UINT style) {
    messages.push_back({text, title, style, owner && IsWindowVisible(owner)});
    if (replies.empty()) return IDOK;
    const int reply = replies.front();
    replies.pop_front();
    return reply;
  };
  sys.pickFolder = [this](HWND, const char*) -> std::optional<std::string> {
    if (folders.empty()) return std::nullopt;
    std::string folder = folders.front();
    folders.pop_front();
    return folder;
  };
  sys.openScheme = sys.saveScheme = [this](HWND, const char*) -> std::optional<std::string> {
    if (schemeFiles.empty()) return std::nullopt;
    std::string file = schemeFiles.front();
    schemeFiles.pop_front();
    return file;
  };
  sys.gameRunning = UiSystem::Real().gameRunning;
  sys.shellExecute = [this](HWND owner, const char* operation, const char* file,
                            const char* parameters, const char* directory, int show) {
    shells.push_back({owner, operation, file, parameters, directory, show});
    return reinterpret_cast<HINSTANCE>(42);
  };
  return sys;
}

Rendering::Rendering(HWND hwnd, SIZE size) {
  RECT client;
  GetClientRect(hwnd, &client);
  width_ = std::max<int>(client.right, size.cx);
  height_ = std::max<int>(client.bottom, size.cy);
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
  bi.bmiHeader.biWidth = width_;
  bi.bmiHeader.biHeight = -height_;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  WindowDC screen(nullptr);
  Bitmap dib(CreateDIBSection(screen.get(), &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
  MemoryDC mem(screen.get());
  {
    SelectScope select(mem.get(), dib.get());
    SendMessageA(hwnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(mem.get()), PRF_CLIENT);
    GdiFlush();
  }
  const auto* p = static_cast<const uint32_t*>(bits);
  pixels_.assign(p, p + static_cast<size_t>(width_) * height_);
}

COLORREF Rendering::At(int x, int y) const {
  const uint32_t v = pixels_.at(static_cast<size_t>(y) * width_ + x);
  return RGB((v >> 16) & 255, (v >> 8) & 255, v & 255);
}

void ExpectCaptionsFit(const MainWindow& form) {
  const int dpi = form.Dpi();
  const int frameInner = TwipsToPixels(4560, dpi);  // the right strip's left edge
  const int gridLeft = TwipsToPixels(1140, dpi);    // the first column of boxes
  const COLORREF back = RGB(228, 205, 122);
  WindowDC screen(nullptr);
  const PixelRect all = ToPixels(kClientTwips, dpi);
  const Rendering px(form.hwnd(), {all.width(), all.height()});
  for (int n = 0; n <= kCaptions; ++n) {
    const bool isLink = n == kCaptions;
    const std::string text = isLink ? TINTMOOR_HOME_PAGE : std::string(CaptionText(n));
    const PixelRect box = ToPixels(isLink ? kHyperLinkTwips : CaptionTwips(n), dpi);
    const HFONT font = isLink ? form.LinkFont() : form.CaptionFont(n);
    const int limit = std::min({box.right, frameInner, n < kRows ? gridLeft : box.right});
    SIZE size{};
    LOGFONTA lf{};
    {
      SelectScope select(screen.get(), font);
      GetTextExtentPoint32A(screen.get(), text.c_str(), static_cast<int>(text.size()), &size);
      GetObjectA(font, sizeof(lf), &lf);
    }
    const std::string where = text + " at " + std::to_string(dpi) + " dpi in " + lf.lfFaceName +
                              " " + std::to_string(lf.lfHeight) + ", " + std::to_string(box.left) +
                              "+" + std::to_string(size.cx);
    EXPECT_LE(box.left + size.cx, limit) << where;
    EXPECT_LE(size.cy, box.height()) << where;
    EXPECT_GE(-lf.lfHeight, (7 * dpi + 71) / 72) << where;
    int ink = 0;
    std::string cut;
    for (int y = box.top; y < box.bottom; ++y) {
      for (int x = box.left; x < limit; ++x) {
        if (px.At(x, y) == back) continue;
        ++ink;
        if (x >= limit - 2) cut += " (" + std::to_string(x) + "," + std::to_string(y) + ")";
      }
    }
    EXPECT_GT(ink, 0) << where;
    EXPECT_EQ(cut, "") << where << ": ink at the right limit " << limit;
  }
}

void ExpectBoxPainted(const Rendering& px, const PixelRect& r, COLORREF fill, bool focused) {
  // By distance from the box's edge: two outside, just outside, the frame, inside.
  const COLORREF back = RGB(228, 205, 122);
  const COLORREF rings[] = {back, back, GetSysColor(COLOR_WINDOWFRAME), fill};
  int wrong = 0, dots = 0;
  std::string first;
  for (int y = r.top - 2; y <= r.bottom + 1; ++y) {
    for (int x = r.left - 2; x <= r.right + 1; ++x) {
      const int ring = std::min({x - r.left, r.right - 1 - x, y - r.top, r.bottom - 1 - y, 1}) + 2;
      // The dotted focus rectangle: every other pixel or so just outside the frame.
      if (focused && ring == 1) {
        dots += px.At(x, y) != back;
      } else if (px.At(x, y) != rings[ring] && !wrong++) {
        first = std::to_string(x) + "," + std::to_string(y);
      }
    }
  }
  EXPECT_EQ(wrong, 0) << "pixels of the box at " << r.left << "," << r.top << ", first " << first;
  if (focused) {
    EXPECT_GT(dots, (r.width() + r.height()) / 2) << "no focus rectangle";
  }
}

std::string WindowText(HWND hwnd) {
  char text[512] = "";
  GetWindowTextA(hwnd, text, sizeof(text));
  return text;
}

void Click(HWND window, POINT down, POINT up) {
  SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(down.x, down.y));
  SendMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(up.x, up.y));
}

void Click(HWND window, const PixelRect& target) { Click(window, Middle(target), Middle(target)); }

POINT Middle(const PixelRect& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

bool InCheckDialog(const std::function<void()>& open, const std::function<void(HWND)>& body) {
  gInCheckDialog = &body;
  gRanInCheckDialog = false;
  const UINT_PTR timer = SetTimer(nullptr, 0, 20, RunInCheckDialog);
  open();
  KillTimer(nullptr, timer);  // when the dialog never came up
  gInCheckDialog = nullptr;
  return gRanInCheckDialog;
}

void ExpectCheckDialogShows(HWND dialog, const CheckView& want, int dpi) {
  auto fits = [&](HWND control, std::string text, const RECT& room) {
    std::erase(text, '&');  // an access key's marker is not drawn
    const SIZE size = TextSize(FontOf(control), text);
    EXPECT_TRUE(size.cx <= room.right - room.left && size.cy <= room.bottom - room.top)
        << text << " at " << dpi << " dpi: " << size.cx << 'x' << size.cy;
  };
  // A text the control wraps onto its lines.
  auto fitsWrapped = [&](HWND control, const std::string& text) {
    const RECT room = ClientRect(control);
    RECT need{0, 0, room.right, 0};
    WindowDC screen(nullptr);
    SelectScope select(screen.get(), FontOf(control));
    DrawTextA(screen.get(), text.c_str(), -1, &need, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    EXPECT_LE(need.bottom, room.bottom) << text << " at " << dpi << " dpi";
  };
  const RECT client = ClientRect(dialog);
  for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    RECT r, inside;
    GetWindowRect(c, &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    const int id = GetDlgCtrlID(c);
    EXPECT_TRUE(IntersectRect(&inside, &r, &client) && EqualRect(&inside, &r)) << id;
    LOGFONTA lf{};
    GetObjectA(FontOf(c), sizeof(lf), &lf);
    EXPECT_EQ(lf.lfHeight, -MulDiv(8, dpi, 72)) << id << " at " << dpi << " dpi";
    if (id == IDC_CHECK_WHO || id == IDC_CHECK_MEANING) {
      fitsWrapped(c, WindowText(c));
    } else if (id == IDC_CHECK_FOR_WHOM || id == IDC_CHECK_STRENGTH) {
      // Every choice beside the drop-down arrow.
      RECT room = ClientRect(c);
      room.right -= GetSystemMetrics(SM_CXVSCROLL);
      char item[128];
      for (LRESULT i = 0, n = SendMessageA(c, CB_GETCOUNT, 0, 0); i < n; ++i) {
        SendMessageA(c, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(item));
        fits(c, item, room);
      }
    } else {
      fits(c, WindowText(c), ClientRect(c));
    }
  }
  EXPECT_EQ(WindowText(GetDlgItem(dialog, IDC_CHECK_WHO)), want.checkedLine);
  EXPECT_EQ(WindowText(GetDlgItem(dialog, IDC_CHECK_MEANING)), want.distanceLine);
  EXPECT_EQ(WindowText(GetDlgItem(dialog, IDC_CHECK_CLOSEST)), want.closestLine);
  const HWND list = GetDlgItem(dialog, IDC_CHECK_PAIRS);
  for (const std::string& line : want.pairLines) fits(list, line, ClientRect(list));
  const COLORREF ink = GetSysColor(COLOR_WINDOWTEXT), back = GetSysColor(COLOR_BTNFACE);
  const std::vector<Sight>& sights = want.options.audience.sights;
  const int n = static_cast<int>(sights.size());
  for (int column = 0; column < kCheckedColumns; ++column) {
    const HWND table = GetDlgItem(dialog, IDC_CHECK_TABLE0 + column);
    const RECT all = ClientRect(table);
    const Rendering px(table);
    for (int v = 0; v < n; ++v) {
      fits(table, VisionName(sights[size_t(v)].vision, want.options.audience.severity),
           CheckDialog::HeadingRect(all, v, n));
    }
    for (int row = 0; row < kRows; ++row) {
      fits(table, std::string(RowCaption(row)), CheckDialog::RowCaptionRect(all, row));
      for (int v = 0; v < n; ++v) {
        // The fill on the left, the frame on the rectangle's edges, thick when
        // the swatch is too close to another row's, with a tag on the right
        // naming that row; nothing outside.
        const RECT r = CheckDialog::SwatchRect(all, row, v, n);
        const Rgb c = want.seen[size_t(column)][size_t(row)][size_t(v)];
        const bool close = !want.partners[size_t(column)][size_t(row)][size_t(v)].empty();
        const int frame = close ? CheckDialog::CloseFrame(dpi) : 1;
        const int y = (r.top + r.bottom) / 2;
        const COLORREF fill = RGB(c.r, c.g, c.b);
        const COLORREF seen[] = {px.At(r.left - 1, y), px.At(r.left + frame - 1, y),
                                 px.At(r.left + frame + 1, y), px.At(r.right - frame - 1, y),
                                 px.At(r.right - 1, y)};
        EXPECT_THAT(seen, testing::ElementsAre(back, ink, fill, close ? ink : fill, ink))
            << column << ' ' << row << ' ' << v << " at " << dpi << " dpi";
      }
    }
  }
}

void PressKey(MainWindow& form, UINT key, UINT modifiers) {
  BYTE saved[256], held[256];
  GetKeyboardState(saved);
  std::copy(saved, saved + 256, held);
  held[VK_SHIFT] = (modifiers & MOD_SHIFT) ? 0x80 : 0;
  held[VK_CONTROL] = (modifiers & MOD_CONTROL) ? 0x80 : 0;
  SetKeyboardState(held);
  MSG msg{form.hwnd(), WM_KEYDOWN, key, 1, static_cast<DWORD>(GetMessageTime()), {}};
  if (!form.TranslateShortcut(msg)) DispatchMessageA(&msg);
  SetKeyboardState(saved);
}

void DrainMessages() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

std::string DefaultColorFile() {
  const char* source = std::getenv("TINTMOOR_SOURCE_DIR");
  std::string path = std::string("Z:") + (source ? source : "") + "/data/playercolors.xml";
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return path;
}

std::string ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

FakeGame::FakeGame() : previous_(ReadAppPath()) {
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  root_ = std::string(temp) + "tintmoor-ui-" + std::to_string(GetCurrentProcessId()) + "-" +
          std::to_string(GetTickCount()) + "\\";
  data_ = root_ + "data\\";
  CreateDirectoryA(root_.c_str(), nullptr);
  CreateDirectoryA(data_.c_str(), nullptr);
  CopyFileA(DefaultColorFile().c_str(), colorFile().c_str(), FALSE);
  WriteAppPath(root_);
}

FakeGame::~FakeGame() {
  WriteAppPath(previous_);
  WIN32_FIND_DATAA found;
  HANDLE find = FindFirstFileA((data_ + "*").c_str(), &found);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      DeleteFileA((data_ + found.cFileName).c_str());
    } while (FindNextFileA(find, &found));
    FindClose(find);
  }
  RemoveDirectoryA(data_.c_str());
  RemoveDirectoryA(root_.c_str());
}

}  // namespace tintmoor::ui
