// ColorFileSystem on POSIX hosts, for the command-line tool run natively
// (for example against a Wine prefix's drive_c). Reads, replacements and the
// lock file go through the common file layer, as on Windows.
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "colorfile/color_store.h"
#include "colorfile/game_location.h"
#include "common/file_io.h"

namespace tintmoor::colorfile {

namespace {

bool HasMode(const std::string& path, mode_t type) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 && (st.st_mode & S_IFMT) == type;
}

class SystemLock final : public WriteLock {
 public:
  explicit SystemLock(std::unique_ptr<common::FileLock> lock) : lock_(std::move(lock)) {}

 private:
  std::unique_ptr<common::FileLock> lock_;
};

// The folders of a Wine prefix's drive C: that Windows would virtualize, and
// the user's VirtualStore folder there, as Windows paths.
constexpr const char* kDriveFolder = "/drive_c/";
const char* const kVirtualizedOnDriveC[] = {"C:\\Program Files", "C:\\Program Files (x86)",
                                            "C:\\Windows", "C:\\ProgramData"};

class PosixFileSystem final : public ColorFileSystem {
 public:
  std::unique_ptr<WriteLock> TryLock(const std::string& lockFile) override {
    std::unique_ptr<common::FileLock> lock = common::FileLock::TryTake(lockFile);
    if (!lock) return nullptr;
    return std::make_unique<SystemLock>(std::move(lock));
  }
  bool IsFile(const std::string& path) override { return HasMode(path, S_IFREG); }
  bool IsFolder(const std::string& path) override { return HasMode(path, S_IFDIR); }
  EntryKind KindOf(const std::string& path) override {
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0) return EntryKind::kNone;
    if (S_ISLNK(st.st_mode)) return EntryKind::kLink;
    if (S_ISREG(st.st_mode)) return EntryKind::kFile;
    return S_ISDIR(st.st_mode) ? EntryKind::kFolder : EntryKind::kOther;
  }
  std::string ReadAll(const std::string& path) override {
    return common::ReadFileBytes(path, kMaxColorFileBytes);
  }
  void ReplaceWhole(const std::string& path, std::string_view bytes) override {
    common::ReplaceFileBytes(path, bytes);
  }
  void RemoveLeftovers(const std::string& path) override {
    common::RemoveLeftoverTemporaryFiles(path);
  }
  void Remove(const std::string& path) override {
    if (unlink(path.c_str()) != 0 && errno != ENOENT)
      throw common::FileError(path, std::strerror(errno));
  }
  bool CopyOver(const std::string& from, const std::string& to) override {
    try {
      common::ReplaceFileBytes(to, common::ReadFileBytes(from));
      return true;
    } catch (const common::FileError&) {
      return false;
    }
  }
  WriteProblem DiagnoseWrite(const std::string& path) override {
    const std::string folder = common::FolderOf(path);
    if (!IsFolder(folder)) return WriteProblem::kFolderMissing;
    if (access(folder.c_str(), W_OK) != 0 && (errno == EACCES || errno == EROFS || errno == EPERM))
      return WriteProblem::kAccessDenied;
    if (access(path.c_str(), W_OK) != 0 && errno == EACCES) return WriteProblem::kReadOnly;
    return WriteProblem::kOther;
  }
  // Beside the program when it runs from where it was built or unpacked;
  // installed (bin/tintmoor-cli), its files are in ../share/tintmoor-cli.
  std::string ProgramFolder() override {
    char buffer[4096];
    const ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0) return ".";
    const std::string folder = common::FolderOf(std::string(buffer, static_cast<size_t>(n)));
    if (IsFile(folder + "/" + kColorFileName)) return folder;
    const std::string shared = common::FolderOf(folder) + "/share/tintmoor-cli";
    return IsFolder(shared) ? shared : folder;
  }
  // Wine virtualizes nothing, so neither does this build unless told to, for
  // a setup that does: then a data folder inside a prefix's drive C: gets the
  // copy Windows would make, under that prefix's user folder.
  std::string VirtualStoreFolderOf(const std::string& dataFolder) override {
    if (!VirtualStoreForced()) return {};
    const size_t drive = dataFolder.find(kDriveFolder);
    // Wine names the user's folder after the Unix user.
    const char* user = std::getenv("USER");
    if (user == nullptr || *user == '\0') {
      const passwd* entry = getpwuid(geteuid());
      user = entry != nullptr ? entry->pw_name : nullptr;
    }
    if (drive == std::string::npos || user == nullptr || *user == '\0') return {};
    const std::string prefix = dataFolder.substr(0, drive);
    std::string windows = "C:\\" + dataFolder.substr(drive + std::strlen(kDriveFolder));
    for (char& c : windows)
      if (c == '/') c = '\\';
    std::string copy = VirtualStoreFolderUnder(
        "C:\\users\\" + std::string(user) + "\\AppData\\Local\\VirtualStore",
        {std::begin(kVirtualizedOnDriveC), std::end(kVirtualizedOnDriveC)}, windows);
    if (copy.empty()) return {};
    for (char& c : copy)
      if (c == '\\') c = '/';
    return prefix + kDriveFolder + copy.substr(3);
  }
  void MakeFolders(const std::string& path) override {
    std::string partial;
    for (size_t at = 1; at <= path.size(); ++at) {
      if (at < path.size() && path[at] != '/') continue;
      partial = path.substr(0, at);
      if (mkdir(partial.c_str(), 0777) != 0 && errno != EEXIST)
        throw common::FileError(path, std::strerror(errno));
    }
    if (!IsFolder(path)) throw common::FileError(path, "it is not a folder");
  }
};

}  // namespace

ColorFileSystem& SystemFileSystem() {
  static PosixFileSystem fs;
  return fs;
}

}  // namespace tintmoor::colorfile
