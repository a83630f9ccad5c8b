// ColorFileSystem on Windows: files_win32 for tests and copies, the common
// file layer for whole reads and safe replacements.
#include <shlobj.h>

#include <cstdint>
#include <cstdio>

#include "colorfile/color_store.h"
#include "colorfile/files_win32.h"
#include "common/file_io.h"
#include "common/wide_win32.h"

namespace {

// A named mutex per folder: Windows releases it when its holder ends, so a
// killed writer never leaves the folder locked (the next owner sees
// WAIT_ABANDONED and goes on: the file itself is replaced whole or not at all).
class Win32FolderLock final : public FolderLock {
 public:
  explicit Win32FolderLock(HANDLE mutex) : mutex_(mutex) {}
  ~Win32FolderLock() override {
    ReleaseMutex(mutex_);
    CloseHandle(mutex_);
  }
  Win32FolderLock(const Win32FolderLock&) = delete;
  Win32FolderLock& operator=(const Win32FolderLock&) = delete;

 private:
  HANDLE mutex_;
};

// One name per folder however it is spelled: case (in every script, as the
// file system folds it) and slashes folded.
std::wstring FolderLockName(const std::string& folder) {
  std::wstring wide = Widen(folder);
  if (!wide.empty()) CharUpperBuffW(wide.data(), static_cast<DWORD>(wide.size()));
  uint64_t hash = 14695981039346656037ull;  // FNV-1a over the UTF-16 units
  for (size_t i = 0; i < wide.size(); ++i) {
    const wchar_t unit = wide[i] == L'/' ? L'\\' : wide[i];
    if (unit == L'\\' && i + 1 == wide.size()) break;  // a trailing separator
    hash = (hash ^ static_cast<uint16_t>(unit)) * 1099511628211ull;
  }
  char name[64];
  std::snprintf(name, sizeof name, "Local\\Tintmoor-folder-%016llx",
                static_cast<unsigned long long>(hash));
  return Widen(name);
}

class Win32FileSystem final : public ColorFileSystem {
 public:
  std::unique_ptr<FolderLock> LockFolder(const std::string& folder) override {
    HANDLE mutex = CreateMutexW(nullptr, FALSE, FolderLockName(folder).c_str());
    if (mutex == nullptr) return nullptr;
    const DWORD waited = WaitForSingleObject(mutex, INFINITE);
    if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED) {
      CloseHandle(mutex);
      return nullptr;
    }
    return std::make_unique<Win32FolderLock>(mutex);
  }
  bool IsFile(const std::string& path) override { return FileExists(path); }
  bool IsFolder(const std::string& path) override { return FolderExists(path); }
  std::string ReadAll(const std::string& path) override {
    return ReadFileBytes(path, kMaxColorFileBytes);
  }

  // The read-only refusal is the file layer's, in its one wording.
  void ReplaceWhole(const std::string& path, std::string_view bytes) override {
    ReplaceFileBytes(path, bytes);
  }

  void Remove(const std::string& path) override {
    if (DeleteFileAt(path)) return;
    const DWORD error = GetLastError();
    if (error != ERROR_FILE_NOT_FOUND) throw FileError(path, SystemErrorText(error));
  }

  bool CopyOver(const std::string& from, const std::string& to) override {
    return CopyFileOver(from, to);
  }

  WriteProblem DiagnoseWrite(const std::string& path) override {
    const std::string folder = FolderOf(path);
    if (!FolderExists(folder)) return WriteProblem::kFolderMissing;
    const DWORD attributes = GetFileAttributesW(Widen(path).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
      return WriteProblem::kAccessDenied;
    }
    // Opening an existing file for writing changes nothing in it; a file that
    // is not there is probed by a temporary file that deletes itself.
    const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    const std::string probe = exists ? path : folder + "tintmoor-probe.tmp";
    HANDLE handle = CreateFileW(Widen(probe).c_str(), GENERIC_WRITE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                exists ? OPEN_EXISTING : CREATE_NEW,
                                exists ? 0 : FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (handle != INVALID_HANDLE_VALUE) {
      CloseHandle(handle);
      return WriteProblem::kOther;
    }
    switch (GetLastError()) {
      case ERROR_ACCESS_DENIED:
        return WriteProblem::kAccessDenied;
      case ERROR_SHARING_VIOLATION:
      case ERROR_LOCK_VIOLATION:
        return WriteProblem::kInUse;
      default:
        return WriteProblem::kOther;
    }
  }

  std::string ProgramFolder() override { return ::ProgramFolder(); }

  std::string VirtualStoreRoot() override {
    const std::string local = KnownFolder(CSIDL_LOCAL_APPDATA);
    return local.empty() ? local : local + "\\VirtualStore";
  }

  std::vector<std::string> VirtualizedFolders() override {
    // A 32-bit program is told the 32-bit Program Files for CSIDL_PROGRAM_FILES;
    // the other one comes from the environment Windows gives it.
    std::vector<std::string> folders = {
        KnownFolder(CSIDL_PROGRAM_FILES), KnownFolder(CSIDL_PROGRAM_FILESX86),
        KnownFolder(CSIDL_WINDOWS),       KnownFolder(CSIDL_COMMON_APPDATA),
        EnvironmentText("ProgramW6432"),  EnvironmentText("ProgramFiles(x86)"),
    };
    std::erase(folders, std::string());
    return folders;
  }

  void MakeFolders(const std::string& path) override {
    if (const DWORD error = MakeFolderPath(path); error != ERROR_SUCCESS) {
      throw FileError(path, SystemErrorText(error));
    }
  }
};

}  // namespace

ColorFileSystem& SystemFileSystem() {
  static Win32FileSystem fs;
  return fs;
}
