// Whole-file reads and safe replacement with the wide Win32 file calls: paths
// are UTF-8, the files' bytes pass unchanged. The replacement writes a temporary
// file in the target's folder, flushes it to disk and only then moves it over
// the target, so a full disk or a refused rename leaves the target as it was;
// the temporary file is removed on every failure. An existing target is
// replaced with ReplaceFileW, which gives the new file the old one's
// attributes, ACL, creation time and short name; a plain move would leave the
// game's file with whatever a new file in that folder gets. File identities,
// folder listings and lock files use the same wide calls.
#include "common/file_io_win32.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <string>
#include <utility>

#include "common/errors.h"
#include "common/file_io.h"
#include "common/wide_win32.h"

namespace tintmoor::common {

namespace {

Win32FileCalls calls = {
    ::CreateFileW, ::ReadFile, ::WriteFile, ::FlushFileBuffers, ::MoveFileExW, ::ReplaceFileW,
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
  // Hands the handle over to a new owner.
  void Release() { h_ = INVALID_HANDLE_VALUE; }
  bool Close() {
    if (h_ == INVALID_HANDLE_VALUE) return true;
    return CloseHandle(std::exchange(h_, INVALID_HANDLE_VALUE)) != 0;
  }

 private:
  HANDLE h_;
};

std::string NameOf(const std::string& path) {
  const size_t sep = path.find_last_of("\\/:");
  return sep == std::string::npos ? path : path.substr(sep + 1);
}

std::string WithSeparator(std::string folder) {
  if (folder.back() != '\\' && folder.back() != '/' && folder.back() != ':') folder += '\\';
  return folder;
}

// A name ".NAME.tintmoor-XXXXXX" beside path that no file has yet: the same
// pattern as on POSIX, so leftovers are told apart from everything else by name.
std::string UnusedTemporaryName(const std::string& path) {
  static unsigned counter = 0;
  LARGE_INTEGER tick{};
  QueryPerformanceCounter(&tick);
  uint64_t seed = static_cast<uint64_t>(tick.QuadPart) ^
                  (static_cast<uint64_t>(GetCurrentProcessId()) << 32) ^
                  (++counter * 0x9E3779B97F4A7C15ull);
  static constexpr char kChars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  std::string name =
      WithSeparator(FolderOf(path)) + "." + NameOf(path) + std::string(kTemporaryMarker);
  for (int i = 0; i < 6; ++i) {
    seed = seed * 6364136223846793005ull + 1442695040888963407ull;
    name += kChars[(seed >> 33) % 62];
  }
  return name;
}

// Creates the temporary file; an invalid handle (and the last error) on failure.
HANDLE CreateTemporaryFile(const std::string& path, std::string& temp) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    temp = UnusedTemporaryName(path);
    HANDLE h = calls.CreateFileW(Widen(temp).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) return h;
  }
  return INVALID_HANDLE_VALUE;
}

uint64_t FileTimeValue(const FILETIME& t) {
  return (static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
}

// The file a path names, with links, junctions and short names resolved: a
// replacement of a link must replace its target, in the target's folder, and
// a short name must not become a file of its own. The path as given when it
// names nothing yet, or the resolved one would be too long for these calls.
std::string FinalPath(const std::string& path) {
  HANDLE h =
      CreateFileW(Widen(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                  nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (h == INVALID_HANDLE_VALUE) return path;
  wchar_t buffer[MAX_PATH + 8];
  const DWORD n =
      GetFinalPathNameByHandleW(h, buffer, static_cast<DWORD>(std::size(buffer)), VOLUME_NAME_DOS);
  CloseHandle(h);
  if (n == 0 || n >= std::size(buffer)) return path;
  std::wstring final(buffer, n);
  if (final.starts_with(L"\\\\?\\UNC\\")) {
    final = L"\\\\" + final.substr(8);
  } else if (final.starts_with(L"\\\\?\\")) {
    final = final.substr(4);
  }
  return final.size() < MAX_PATH ? Narrow(final) : path;
}

}  // namespace

Win32FileCalls& Win32FileCallsForTesting() { return calls; }

std::string SystemErrorText(DWORD error) {
  wchar_t* text = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::string reason = length && text ? Narrow(std::wstring_view(text, length)) : std::string();
  if (text) LocalFree(text);
  while (!reason.empty() && (reason.back() == '\r' || reason.back() == '\n' ||
                             reason.back() == ' ' || reason.back() == '.'))
    reason.pop_back();
  if (reason.empty()) reason = "system error " + std::to_string(error);
  return reason;
}

std::string ReadFileBytes(const std::string& path, size_t maxBytes) {
  File file(calls.CreateFileW(Widen(path).c_str(), GENERIC_READ,
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

void ReplaceFileBytes(const std::string& given, std::string_view bytes) {
  const std::string path = FinalPath(given);
  // Windows refuses to move a file over a read-only one, but not every
  // system that runs this program does: refuse it here, before any writing.
  const std::wstring widePath = Widen(path);
  DWORD attributes = GetFileAttributesW(widePath.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
    throw FileError("write", given, kReadOnlyReason);
  // ReplaceFileW would move a folder aside for the new file; a move refuses.
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
    throw FileError("write", given, SystemErrorText(ERROR_ACCESS_DENIED));
  std::string temp;
  File file(CreateTemporaryFile(path, temp));
  const std::wstring wideTemp = Widen(temp);
  if (!file.valid()) throw FileError("write", given, SystemErrorText(GetLastError()));
  auto fail = [&](DWORD error) {
    file.Close();
    DeleteFileW(wideTemp.c_str());
    throw FileError("write", given, SystemErrorText(error));
  };
  size_t done = 0;
  while (done < bytes.size()) {
    DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1 << 20));
    DWORD put = 0;
    if (!calls.WriteFile(file.get(), bytes.data() + done, chunk, &put, nullptr))
      fail(GetLastError());
    if (put == 0) fail(ERROR_WRITE_FAULT);
    done += put;
  }
  if (!calls.FlushFileBuffers(file.get())) fail(GetLastError());
  if (!file.Close()) fail(GetLastError());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    if (!calls.MoveFileExW(wideTemp.c_str(), widePath.c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
      fail(GetLastError());
  } else {
    // With a backup name, every failure leaves both files under names we
    // know: without one, a failed rename can leave no file under the target's.
    const std::wstring backup = Widen(UnusedTemporaryName(path));
    // ReplaceFileW carries the attributes over on Windows, but not under
    // every Wine: give them to the new file first.
    const DWORD settable = FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                           FILE_ATTRIBUTE_NOT_CONTENT_INDEXED | FILE_ATTRIBUTE_OFFLINE;
    if ((attributes & settable) != 0) SetFileAttributesW(wideTemp.c_str(), attributes & settable);
    // An ACL that cannot be merged (no WRITE_DAC on someone else's file) does
    // not stop the save: the new file then has the folder's inherited ACL.
    if (!calls.ReplaceFileW(widePath.c_str(), wideTemp.c_str(), backup.c_str(),
                            REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)) {
      const DWORD error = GetLastError();
      // The old file is under the backup name: put it back.
      if (error == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2)
        MoveFileExW(backup.c_str(), widePath.c_str(), MOVEFILE_WRITE_THROUGH);
      fail(error);
    }
    DeleteFileW(backup.c_str());  // if that fails, it is a leftover for a later save
  }
}

void RemoveLeftoverTemporaryFiles(const std::string& path) {
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  const std::string folder = WithSeparator(FolderOf(path));
  const std::string name = NameOf(path);
  WIN32_FIND_DATAW found;
  HANDLE find = FindFirstFileW(
      Widen(folder + "." + name + std::string(kTemporaryMarker) + "*").c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) return;
  const uint64_t margin = static_cast<uint64_t>(kLeftoverAgeSeconds) * 10000000ull;
  do {
    if ((found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0)
      continue;
    const std::string entry = Narrow(found.cFileName);
    if (!IsTemporaryFileOf(name, entry)) continue;
    if (FileTimeValue(found.ftLastWriteTime) + margin < FileTimeValue(now))
      DeleteFileW(Widen(folder + entry).c_str());
  } while (FindNextFileW(find, &found));
  FindClose(find);
}

std::optional<FileIdentity> IdentityOf(const std::string& path) {
  File file(CreateFileW(Widen(path).c_str(), 0,
                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                        OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  BY_HANDLE_FILE_INFORMATION info;
  if (!file.valid() || !GetFileInformationByHandle(file.get(), &info)) return std::nullopt;
  return FileIdentity{info.dwVolumeSerialNumber,
                      (static_cast<uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
}

std::vector<std::string> FolderEntries(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAW found;
  HANDLE find = FindFirstFileW(Widen(WithSeparator(folder) + "*").c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    const std::string name = Narrow(found.cFileName);
    if (name != "." && name != "..") names.push_back(name);
  } while (FindNextFileW(find, &found));
  FindClose(find);
  return names;
}

std::unique_ptr<FileLock> FileLock::TryTake(const std::string& path) {
  // Not shared for deleting: the lock file stays while anyone uses it. A
  // folder the user may not write can still hold one made by someone else,
  // which reading is enough to lock.
  const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE;
  const std::wstring wide = Widen(path);
  HANDLE h = calls.CreateFileW(wide.c_str(), GENERIC_READ | GENERIC_WRITE, share, nullptr,
                               OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE && GetLastError() == ERROR_ACCESS_DENIED)
    h = calls.CreateFileW(wide.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING,
                          FILE_ATTRIBUTE_NORMAL, nullptr);
  File file(h);
  if (!file.valid()) {
    // Not there for reading means it could not be made: the first refusal.
    const DWORD error = GetLastError();
    throw FileError("open", path,
                    SystemErrorText(error == ERROR_FILE_NOT_FOUND ? ERROR_ACCESS_DENIED : error));
  }
  OVERLAPPED first{};
  if (!LockFileEx(file.get(), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0,
                  &first)) {
    const DWORD error = GetLastError();
    if (error == ERROR_LOCK_VIOLATION || error == ERROR_IO_PENDING) return nullptr;
    throw FileError("lock", path, SystemErrorText(error));
  }
  HANDLE held = file.get();
  file.Release();
  return std::unique_ptr<FileLock>(new FileLock(reinterpret_cast<intptr_t>(held)));
}

FileLock::~FileLock() {
  HANDLE h = reinterpret_cast<HANDLE>(handle_);
  OVERLAPPED first{};
  UnlockFileEx(h, 0, 1, 0, &first);
  CloseHandle(h);
}

std::string FolderOf(const std::string& path) {
  size_t sep = path.find_last_of("\\/");
  if (sep == std::string::npos) {
    // "C:name" lives in the current folder of drive C.
    return path.size() >= 2 && path[1] == ':' ? path.substr(0, 2) : std::string(".");
  }
  if (sep == 0 || (sep == 2 && path[1] == ':')) return path.substr(0, sep + 1);
  return path.substr(0, sep);
}

}  // namespace tintmoor::common
