#include "window_support.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "colorfile/game_location.h"
#include "ui/gdi.h"

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
}  // namespace

UiSystem Recorder::System() {
  UiSystem sys;
  sys.chooseColor = [this](CHOOSECOLORA* cc) -> BOOL {
    ColorDialogCall call{*cc, {}, IsWindowVisible(cc->hwndOwner) != FALSE};
    std::copy(cc->lpCustColors, cc->lpCustColors + 16, call.custom.begin());
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
    return IDOK;
  };
  sys.shellExecute = [this](HWND owner, const char* operation, const char* file,
                            const char* parameters, const char* directory, int show) {
    shells.push_back({owner, operation, file, parameters, directory, show});
    return reinterpret_cast<HINSTANCE>(42);
  };
  return sys;
}

Rendering::Rendering(HWND hwnd) {
  RECT client;
  GetClientRect(hwnd, &client);
  width_ = client.right;
  height_ = client.bottom;
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

RECT ClientRectInParent(HWND child) {
  RECT r;
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

std::string WindowText(HWND hwnd) {
  char text[512] = "";
  GetWindowTextA(hwnd, text, sizeof(text));
  return text;
}

void Click(HWND control) {
  RECT r;
  GetClientRect(control, &r);
  const LPARAM at = MAKELPARAM(r.right / 2, r.bottom / 2);
  SendMessageA(control, WM_LBUTTONDOWN, MK_LBUTTON, at);
  SendMessageA(control, WM_LBUTTONUP, 0, at);
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
