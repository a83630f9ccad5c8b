// Arguments from the wide command line, and a console written in UTF-16 with
// WriteConsoleW: the console's code page then plays no part.
#include "cli/standard_streams.h"

#include <windows.h>
// windows.h first: shellapi.h needs its types.
#include <shellapi.h>

#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <optional>
#include <streambuf>
#include <string_view>

#include "common/wide_win32.h"

namespace {

// The length of s up to its last whole UTF-8 character: a character the
// stream's writes cut in two waits for the rest of its bytes.
size_t WholeCharacters(std::string_view s) {
  const size_t n = s.size();
  for (size_t k = 1; k <= 4 && k <= n; ++k) {
    const auto c = static_cast<unsigned char>(s[n - k]);
    if ((c & 0xC0) == 0x80) continue;  // a continuation byte: its lead is further back
    const size_t length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
    return length > k ? n - k : n;
  }
  return n;  // no lead byte where one must be: not UTF-8, passed on as it is
}

// Takes a stream's place as its buffer while it lives, and writes what the
// stream is given to a console, as UTF-16.
class ConsoleBuffer final : public std::streambuf {
 public:
  ConsoleBuffer(std::ostream& stream, HANDLE console)
      : stream_(stream), console_(console), previous_(stream.rdbuf(this)) {}
  ~ConsoleBuffer() override {
    sync();
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

  bool WriteWholeCharacters() {
    const size_t whole = WholeCharacters(pending_);
    const std::wstring text = Widen(std::string_view(pending_).substr(0, whole));
    pending_.erase(0, whole);
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

std::vector<std::string> ProgramArguments(int argc, char** argv) {
  int count = 0;
  LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!wide) return std::vector<std::string>(argv + 1, argv + argc);  // no memory for them
  std::vector<std::string> args;
  for (int i = 1; i < count; ++i) args.push_back(Narrow(wide[i]));
  LocalFree(wide);
  return args;
}

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
