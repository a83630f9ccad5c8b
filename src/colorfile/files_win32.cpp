// See modFileOperation.h.
#include "colorfile/files_win32.h"

namespace {

constexpr DWORD kNotLookedFor = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

bool HasAttributes(const std::string& path, bool folder) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & kNotLookedFor) != 0) return false;
  return ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) == folder;
}

}  // namespace

bool FileExists(const std::string& path) { return HasAttributes(path, false); }

bool FolderExists(const std::string& path) { return HasAttributes(path, true); }

bool CopyFileOver(const std::string& from, const std::string& to) {
  return CopyFileA(from.c_str(), to.c_str(), FALSE) != 0;
}

bool DeleteFileAt(const std::string& path) { return DeleteFileA(path.c_str()) != 0; }

std::string ProgramFolder() {
  std::string path(MAX_PATH, '\0');
  for (;;) {
    const DWORD n = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return ".";
    if (n < path.size()) {
      path.resize(n);
      break;
    }
    path.resize(path.size() * 2);  // truncated: try a larger buffer
  }
  const size_t slash = path.find_last_of('\\');
  if (slash == std::string::npos) return ".";
  // "C:\Tintmoor.exe" -> "C:\", "C:\Games\Tintmoor.exe" -> "C:\Games"
  return path.substr(0, slash == 2 && path[1] == ':' ? slash + 1 : slash);
}
