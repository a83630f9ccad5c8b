// ColorFileSystem on Windows: files_win32 for tests and copies, the common
// file layer for whole reads, safe replacements and the lock file.
#include <shlobj.h>

#include <cstdio>

#include "colorfile/color_store.h"
#include "colorfile/files_win32.h"
#include "colorfile/game_location.h"
#include "common/file_io.h"
#include "common/wide_win32.h"

namespace tintmoor::colorfile {

namespace {

class SystemLock final : public WriteLock {
 public:
  explicit SystemLock(std::unique_ptr<common::FileLock> lock) : lock_(std::move(lock)) {}

 private:
  std::unique_ptr<common::FileLock> lock_;
};

// How CreateFileW answered a probe for writing; ERROR_SUCCESS when it could.
DWORD ProbeWrite(const std::string& path, bool existing) {
  // Opening an existing file for writing changes nothing in it; a new one
  // deletes itself when closed.
  HANDLE handle = CreateFileW(common::Widen(path).c_str(), GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              existing ? OPEN_EXISTING : CREATE_NEW,
                              existing ? 0 : FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return GetLastError();
  CloseHandle(handle);
  return ERROR_SUCCESS;
}

class Win32FileSystem final : public ColorFileSystem {
 public:
  std::unique_ptr<WriteLock> TryLock(const std::string& lockFile) override {
    std::unique_ptr<common::FileLock> lock = common::FileLock::TryTake(lockFile);
    if (!lock) return nullptr;
    return std::make_unique<SystemLock>(std::move(lock));
  }
  bool IsFile(const std::string& path) override { return FileExists(path); }
  bool IsFolder(const std::string& path) override { return FolderExists(path); }
  EntryKind KindOf(const std::string& path) override { return EntryKindAt(path); }
  std::string ReadAll(const std::string& path) override {
    return common::ReadFileBytes(path, kMaxColorFileBytes);
  }

  // The read-only refusal is the file layer's, in its one wording.
  void ReplaceWhole(const std::string& path, std::string_view bytes) override {
    common::ReplaceFileBytes(path, bytes);
  }
  void RemoveLeftovers(const std::string& path) override {
    common::RemoveLeftoverTemporaryFiles(path);
  }

  void Remove(const std::string& path) override {
    if (DeleteFileAt(path)) return;
    const DWORD error = GetLastError();
    if (error != ERROR_FILE_NOT_FOUND)
      throw common::FileError(path, common::SystemErrorText(error));
  }

  bool CopyOver(const std::string& from, const std::string& to) override {
    return CopyFileOver(from, to);
  }

  WriteProblem DiagnoseWrite(const std::string& path) override {
    const std::string folder = common::FolderOf(path);
    if (!FolderExists(folder)) return WriteProblem::kFolderMissing;
    const DWORD attributes = GetFileAttributesW(common::Widen(path).c_str());
    // Windows says "access denied" for a read-only file too: the attribute
    // tells the two apart.
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0)
      return WriteProblem::kReadOnly;
    DWORD error = ERROR_SUCCESS;
    if (attributes != INVALID_FILE_ATTRIBUTES) error = ProbeWrite(path, true);
    // A replacement makes a file beside the target: the folder must allow that.
    if (error == ERROR_SUCCESS) {
      const std::string slash = folder.back() == '\\' || folder.back() == '/' ? "" : "\\";
      error = ProbeWrite(folder + slash + ".tintmoor-probe.tmp", false);
      if (error == ERROR_FILE_EXISTS) error = ERROR_SUCCESS;
    }
    switch (error) {
      case ERROR_ACCESS_DENIED:
      case ERROR_WRITE_PROTECT:
        return WriteProblem::kAccessDenied;
      case ERROR_SHARING_VIOLATION:
      case ERROR_LOCK_VIOLATION:
        return WriteProblem::kInUse;
      default:
        return WriteProblem::kOther;
    }
  }

  std::string ProgramFolder() override { return colorfile::ProgramFolder(); }

  std::string VirtualStoreFolderOf(const std::string& dataFolder) override {
    // Wine virtualizes nothing: its game reads the data folder's own file.
    if (RunningUnderWine() && !VirtualStoreForced()) return {};
    const std::string local = KnownFolder(CSIDL_LOCAL_APPDATA);
    if (local.empty()) return {};
    // A 32-bit program is told the 32-bit Program Files for CSIDL_PROGRAM_FILES;
    // the other one comes from the environment Windows gives it.
    std::vector<std::string> folders = {
        KnownFolder(CSIDL_PROGRAM_FILES), KnownFolder(CSIDL_PROGRAM_FILESX86),
        KnownFolder(CSIDL_WINDOWS),       KnownFolder(CSIDL_COMMON_APPDATA),
        EnvironmentText("ProgramW6432"),  EnvironmentText("ProgramFiles(x86)"),
    };
    std::erase(folders, std::string());
    return VirtualStoreFolderUnder(local + "\\VirtualStore", folders, dataFolder);
  }

  void MakeFolders(const std::string& path) override {
    if (const DWORD error = MakeFolderPath(path); error != ERROR_SUCCESS) {
      throw common::FileError(path, common::SystemErrorText(error));
    }
  }
};

}  // namespace

ColorFileSystem& SystemFileSystem() {
  static Win32FileSystem fs;
  return fs;
}

}  // namespace tintmoor::colorfile
