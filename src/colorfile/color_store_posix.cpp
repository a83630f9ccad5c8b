// ColorFileSystem on POSIX hosts, for the command-line tool run natively
// (for example against a Wine prefix's drive_c). Reads and replacements go
// through the common file layer, as on Windows.
#include <fcntl.h>
#include <sys/file.h>
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

// flock on the folder itself: released by the system too when the process
// ends, so a killed writer never leaves the folder locked.
class PosixFolderLock final : public FolderLock {
 public:
  explicit PosixFolderLock(int fd) : fd_(fd) {}
  ~PosixFolderLock() override { close(fd_); }
  PosixFolderLock(const PosixFolderLock&) = delete;
  PosixFolderLock& operator=(const PosixFolderLock&) = delete;

 private:
  int fd_;
};

class PosixFileSystem final : public ColorFileSystem {
 public:
  std::unique_ptr<FolderLock> LockFolder(const std::string& folder) override {
    const int fd = open(folder.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return nullptr;  // no folder: what follows reports that
    while (flock(fd, LOCK_EX) != 0) {
      if (errno == EINTR) continue;
      close(fd);
      return nullptr;  // a file system without locks: no worse than before
    }
    return std::make_unique<PosixFolderLock>(fd);
  }
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
  // Beside the program when it runs from where it was built or unpacked;
  // installed (bin/tintmoor-cli), its files are in ../share/tintmoor-cli.
  std::string ProgramFolder() override {
    char buffer[4096];
    const ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0) return ".";
    const std::string folder = FolderOf(std::string(buffer, static_cast<size_t>(n)));
    if (IsFile(folder + "/" + kColorFileName)) return folder;
    const std::string shared = FolderOf(folder) + "/share/tintmoor-cli";
    return IsFolder(shared) ? shared : folder;
  }
};

}  // namespace

ColorFileSystem& SystemFileSystem() {
  static PosixFileSystem fs;
  return fs;
}
