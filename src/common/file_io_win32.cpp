// Whole-file reads and safe replacement with the narrow (code page) Win32 file
// calls: paths are bytes in, bytes out. The replacement writes a temporary
// file in the target's folder, flushes it to disk and only then moves it over
// the target, so a full disk or a refused rename leaves the target as it was;
// the temporary file is removed on every failure.
#include "common/file_io_win32.h"

#include <algorithm>
#include <string>
#include <utility>

#include "common/errors.h"
#include "common/file_io.h"

namespace {

Win32FileCalls calls = {
    ::CreateFileA, ::ReadFile, ::WriteFile, ::FlushFileBuffers, ::GetTempFileNameA, ::MoveFileExA,
};

// Owns a file handle.
class File {
 public:
  explicit File(HANDLE h) : h_(h) {}
  ~File() { Close(); }
  File(const File&) = delete;
  File& operator=(const File&) = delete;
  bool valid() const { return h_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return h_; }
  bool Close() {
    if (h_ == INVALID_HANDLE_VALUE) return true;
    return CloseHandle(std::exchange(h_, INVALID_HANDLE_VALUE)) != 0;
  }

 private:
  HANDLE h_;
};

std::string FolderOf(const std::string& path) {
  size_t sep = path.find_last_of("\\/");
  if (sep == std::string::npos) {
    // "C:name" lives in the current folder of drive C.
    return path.size() >= 2 && path[1] == ':' ? path.substr(0, 2) : std::string(".");
  }
  if (sep == 0 || (sep == 2 && path[1] == ':')) return path.substr(0, sep + 1);
  return path.substr(0, sep);
}

}  // namespace

Win32FileCalls& Win32FileCallsForTesting() { return calls; }

std::string SystemErrorText(DWORD error) {
  char* text = nullptr;
  const DWORD length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string reason = length && text ? std::string(text, length) : std::string();
  if (text) LocalFree(text);
  while (!reason.empty() && (reason.back() == '\r' || reason.back() == '\n' ||
                             reason.back() == ' ' || reason.back() == '.'))
    reason.pop_back();
  if (reason.empty()) reason = "system error " + std::to_string(error);
  return reason;
}

std::string ReadFileBytes(const std::string& path, size_t maxBytes) {
  File file(calls.CreateFileA(path.c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!file.valid()) throw FileError("read", path, SystemErrorText(GetLastError()));
  std::string bytes;
  char buffer[1 << 16];
  for (;;) {
    DWORD got = 0;
    if (!calls.ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr))
      throw FileError("read", path, SystemErrorText(GetLastError()));
    if (got == 0) break;
    if (got > maxBytes - bytes.size()) throw FileError("read", path, TooLargeReason(maxBytes));
    bytes.append(buffer, got);
  }
  return bytes;
}

void ReplaceFileBytes(const std::string& path, std::string_view bytes) {
  // Windows refuses to move a file over a read-only one, but not every
  // system that runs this program does: refuse it here, before any writing.
  DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
    throw FileError("write", path, kReadOnlyReason);
  char temp[MAX_PATH];
  if (!calls.GetTempFileNameA(FolderOf(path).c_str(), "tnt", 0, temp))
    throw FileError("write", path, SystemErrorText(GetLastError()));
  // GetTempFileNameA has created the (empty) temporary file.
  auto fail = [&](DWORD error) {
    DeleteFileA(temp);
    throw FileError("write", path, SystemErrorText(error));
  };
  {
    File file(calls.CreateFileA(temp, GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) fail(GetLastError());
    size_t done = 0;
    while (done < bytes.size()) {
      DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1 << 20));
      DWORD put = 0;
      if (!calls.WriteFile(file.get(), bytes.data() + done, chunk, &put, nullptr)) {
        DWORD error = GetLastError();
        file.Close();
        fail(error);
      }
      if (put == 0) {
        file.Close();
        fail(ERROR_WRITE_FAULT);
      }
      done += put;
    }
    if (!calls.FlushFileBuffers(file.get())) {
      DWORD error = GetLastError();
      file.Close();
      fail(error);
    }
    if (!file.Close()) fail(GetLastError());
  }
  if (!calls.MoveFileExA(temp, path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    fail(GetLastError());
}
