// ColorFileSystem on POSIX hosts, for the command-line tool run natively
// (for example against a Wine prefix's drive_c). Reads and replacements go
// through the markup library's file layer, as on Windows.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "colorfile/color_store.h"
#include "common/file_io.h"

namespace {

bool HasMode(const std::string& path, mode_t type) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 && (st.st_mode & S_IFMT) == type;
}

std::string FolderOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

class PosixFileSystem final : public ColorFileSystem {
 public:
  bool IsFile(const std::string& path) override { return HasMode(path, S_IFREG); }
  bool IsFolder(const std::string& path) override { return HasMode(path, S_IFDIR); }
  std::string ReadAll(const std::string& path) override {
    return ReadFileBytes(path, kMaxColorFileBytes);
  }
  void ReplaceWhole(const std::string& path, std::string_view bytes) override {
    ReplaceFileBytes(path, bytes);
  }
  void Remove(const std::string& path) override {
    if (unlink(path.c_str()) != 0 && errno != ENOENT) throw FileError(path, std::strerror(errno));
  }
  bool CopyOver(const std::string& from, const std::string& to) override {
    try {
      ReplaceFileBytes(to, ReadFileBytes(from));
      return true;
    } catch (const FileError&) {
      return false;
    }
  }
  WriteProblem DiagnoseWrite(const std::string& path) override {
    const std::string folder = FolderOf(path);
    if (!IsFolder(folder)) return WriteProblem::kFolderMissing;
    if (access(folder.c_str(), W_OK) != 0 && errno == EACCES) return WriteProblem::kAccessDenied;
    if (access(path.c_str(), W_OK) != 0 && errno == EACCES) return WriteProblem::kAccessDenied;
    return WriteProblem::kOther;
  }
  std::string ProgramFolder() override {
    char buffer[4096];
    const ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0) return ".";
    return FolderOf(std::string(buffer, static_cast<size_t>(n)));
  }
};

}  // namespace

ColorFileSystem& SystemFileSystem() {
  static PosixFileSystem fs;
  return fs;
}
