// See files_win32.h.
#include "colorfile/files_win32.h"

#include <shlobj.h>

#include <algorithm>

#include "common/wide_win32.h"

namespace tintmoor::colorfile {

namespace {

// Hidden and system entries count: the game reads them like any other, and a
// colour file that is only hidden must not be taken for a missing one.
bool HasAttributes(const std::string& path, bool folder) {
  const DWORD attributes = GetFileAttributesW(common::Widen(path).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return false;
  return ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) == folder;
}

}  // namespace

bool FileExists(const std::string& path) { return HasAttributes(path, false); }

bool FolderExists(const std::string& path) { return HasAttributes(path, true); }

EntryKind EntryKindAt(const std::string& path) {
  WIN32_FIND_DATAW found;
  // FindFirstFileW takes wildcards; no name the program looks at has one.
  if (path.find_first_of("*?") != std::string::npos) return EntryKind::kNone;
  HANDLE find = FindFirstFileW(common::Widen(path).c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) return EntryKind::kNone;
  FindClose(find);
  // For a reparse point, dwReserved0 holds its tag: only links lead elsewhere
  // (a cloud file's placeholder, say, is the file itself).
  if ((found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 &&
      (found.dwReserved0 == IO_REPARSE_TAG_SYMLINK ||
       found.dwReserved0 == IO_REPARSE_TAG_MOUNT_POINT))
    return EntryKind::kLink;
  if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return EntryKind::kFolder;
  if ((found.dwFileAttributes & FILE_ATTRIBUTE_DEVICE) != 0) return EntryKind::kOther;
  return EntryKind::kFile;
}

bool RunningUnderWine() {
  const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

bool CopyFileOver(const std::string& from, const std::string& to) {
  return CopyFileW(common::Widen(from).c_str(), common::Widen(to).c_str(), FALSE) != 0;
}

bool DeleteFileAt(const std::string& path) { return DeleteFileW(common::Widen(path).c_str()) != 0; }

std::string ProgramFolder() {
  std::wstring wide(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, wide.data(), static_cast<DWORD>(wide.size()));
    if (n == 0) return ".";
    if (n < wide.size()) {
      wide.resize(n);
      break;
    }
    wide.resize(wide.size() * 2);  // truncated: try a larger buffer
  }
  const std::string path = common::Narrow(wide);
  const size_t slash = path.find_last_of('\\');
  if (slash == std::string::npos) return ".";
  // "C:\Tintmoor.exe" -> "C:\", "C:\Games\Tintmoor.exe" -> "C:\Games"
  return path.substr(0, slash == 2 && path[1] == ':' ? slash + 1 : slash);
}

std::string KnownFolder(int csidl) {
  wchar_t path[MAX_PATH] = L"";
  if (SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path) != S_OK) return {};
  return common::Narrow(path);
}

std::string EnvironmentText(const char* name) {
  wchar_t value[MAX_PATH] = L"";
  const DWORD n = GetEnvironmentVariableW(common::Widen(name).c_str(), value, MAX_PATH);
  return n > 0 && n < MAX_PATH ? common::Narrow(std::wstring_view(value, n)) : std::string();
}

DWORD MakeFolderPath(const std::string& path) {
  // Each folder from the drive down; those already there fail harmlessly.
  DWORD error = ERROR_SUCCESS;
  for (size_t at = 3; at <= path.size(); ++at) {
    at = std::min(path.find_first_of("\\/", at), path.size());
    if (!CreateDirectoryW(common::Widen(path.substr(0, at)).c_str(), nullptr))
      error = GetLastError();
  }
  if (FolderExists(path)) return ERROR_SUCCESS;
  return error == ERROR_SUCCESS || error == ERROR_ALREADY_EXISTS ? ERROR_PATH_NOT_FOUND : error;
}

}  // namespace tintmoor::colorfile
