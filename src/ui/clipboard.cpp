#include "ui/clipboard.h"

#include <cstring>

#include "common/errors.h"
#include "common/wide_win32.h"

namespace tintmoor::ui {

namespace {

// Open for as long as it lives. Another program may hold the clipboard for a
// moment (a clipboard manager reading what was just copied): a few tries.
class OpenClipboardScope {
 public:
  explicit OpenClipboardScope(HWND owner) {
    for (int attempt = 0; attempt < 10 && !open_; ++attempt) {
      open_ = OpenClipboard(owner) != FALSE;
      if (!open_) Sleep(20);
    }
    if (!open_) throw common::TintError("Another program is using the clipboard; try again.");
  }
  ~OpenClipboardScope() { CloseClipboard(); }
  OpenClipboardScope(const OpenClipboardScope&) = delete;
  OpenClipboardScope& operator=(const OpenClipboardScope&) = delete;

 private:
  bool open_ = false;
};

}  // namespace

std::optional<std::string> ClipboardText(HWND owner) {
  if (!IsClipboardFormatAvailable(CF_UNICODETEXT)) return std::nullopt;
  OpenClipboardScope open(owner);
  const HANDLE data = GetClipboardData(CF_UNICODETEXT);
  if (!data) return std::nullopt;
  const auto* text = static_cast<const wchar_t*>(GlobalLock(data));
  if (!text) return std::nullopt;
  // The text ends at its first null, or where the memory does.
  const size_t room = GlobalSize(data) / sizeof(wchar_t);
  size_t length = 0;
  while (length < room && text[length]) ++length;
  std::string utf8 = common::Narrow(std::wstring_view(text, length));
  GlobalUnlock(data);
  return utf8;
}

void SetClipboardText(HWND owner, const std::string& text) {
  const std::wstring wide = common::Widen(text);
  const size_t bytes = (wide.size() + 1) * sizeof(wchar_t);
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
  if (!memory) throw common::TintError("There is not enough memory for the clipboard.");
  void* target = GlobalLock(memory);
  if (!target) {
    GlobalFree(memory);
    throw common::TintError("There is not enough memory for the clipboard.");
  }
  std::memcpy(target, wide.c_str(), bytes);
  GlobalUnlock(memory);
  OpenClipboardScope open(owner);
  EmptyClipboard();
  // Once set, the memory is the clipboard's.
  if (!SetClipboardData(CF_UNICODETEXT, memory)) {
    GlobalFree(memory);
    throw common::TintError("The color could not be put on the clipboard.");
  }
}

}  // namespace tintmoor::ui
