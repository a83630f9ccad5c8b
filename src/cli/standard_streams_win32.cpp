// A console written in UTF-16 with WriteConsoleW: the console's code page
// then plays no part.
#include "cli/standard_streams.h"

#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <optional>
#include <streambuf>
#include <string>
#include <string_view>

#include "common/text.h"
#include "common/wide_win32.h"

namespace tintmoor::cli {

namespace {

// Takes a stream's place as its buffer while it lives, and writes what the
// stream is given to a console, as UTF-16.
class ConsoleBuffer final : public std::streambuf {
 public:
  ConsoleBuffer(std::ostream& stream, HANDLE console)
      : stream_(stream), console_(console), previous_(stream.rdbuf(this)) {}
  ~ConsoleBuffer() override {
    try {
      Write(pending_.size());  // the last bytes too, whole characters or not
    } catch (...) {
      // No memory left to convert them: the program is ending anyway.
    }
    stream_.rdbuf(previous_);
  }
  ConsoleBuffer(const ConsoleBuffer&) = delete;
  ConsoleBuffer& operator=(const ConsoleBuffer&) = delete;

 protected:
  int_type overflow(int_type ch) override {
    if (traits_type::eq_int_type(ch, traits_type::eof())) {
      return sync() == 0 ? traits_type::not_eof(ch) : traits_type::eof();
    }
    pending_ += traits_type::to_char_type(ch);
    if (pending_.size() >= kChunk && !WriteWholeCharacters()) return traits_type::eof();
    return ch;
  }
  std::streamsize xsputn(const char* s, std::streamsize n) override {
    pending_.append(s, static_cast<size_t>(n));
    if (pending_.size() >= kChunk && !WriteWholeCharacters()) return 0;
    return n;
  }
  int sync() override { return WriteWholeCharacters() ? 0 : -1; }

 private:
  // Consoles before Windows 8 refuse one write much larger than this.
  static constexpr size_t kChunk = 8192;

  bool WriteWholeCharacters() { return Write(common::WholeUtf8Length(pending_)); }

  // Hands the first length bytes of what is pending to the console.
  bool Write(size_t length) {
    const std::wstring text = common::Widen(std::string_view(pending_).substr(0, length));
    pending_.erase(0, length);
    for (size_t done = 0; done < text.size();) {
      const auto chunk = static_cast<DWORD>(std::min(text.size() - done, kChunk));
      DWORD written = 0;
      if (!WriteConsoleW(console_, text.data() + done, chunk, &written, nullptr) || written == 0) {
        return false;
      }
      done += written;
    }
    return true;
  }

  std::ostream& stream_;
  HANDLE console_;
  std::streambuf* previous_;
  std::string pending_;
};

bool IsConsole(HANDLE h) {
  DWORD mode = 0;
  return h != INVALID_HANDLE_VALUE && h != nullptr && GetConsoleMode(h, &mode) != 0;
}

}  // namespace

void PrepareStandardStreams() {
  // First: it gives the streams buffers of their own, which a console's would replace.
  std::ios::sync_with_stdio(false);
  // They hand their streams back when the program ends.
  static std::optional<ConsoleBuffer> out, err;
  // The C runtime's default text mode turns LF into CR LF, and ends input at
  // a Ctrl+Z byte: only a console's input keeps it, so Ctrl+Z ends typing.
  if (const HANDLE h = GetStdHandle(STD_OUTPUT_HANDLE); IsConsole(h)) {
    out.emplace(std::cout, h);
  } else {
    _setmode(_fileno(stdout), _O_BINARY);
  }
  if (const HANDLE h = GetStdHandle(STD_ERROR_HANDLE); IsConsole(h)) {
    err.emplace(std::cerr, h);
  } else {
    _setmode(_fileno(stderr), _O_BINARY);
  }
  if (!IsConsole(GetStdHandle(STD_INPUT_HANDLE))) _setmode(_fileno(stdin), _O_BINARY);
}

}  // namespace tintmoor::cli
