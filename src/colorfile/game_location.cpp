// See game_location.h.
#include "colorfile/game_location.h"

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <thread>

#include "common/file_io.h"

namespace tintmoor::colorfile {

namespace {

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// The file a path names once its symbolic links are followed (a link that
// points nowhere yet names the file that writing it would create). The
// path is UTF-8, which std::filesystem would read in the ANSI code page on
// Windows: it is handed over as UTF-8 explicitly.
std::string FollowLinks(const std::string& given) {
  std::filesystem::path path(std::u8string(given.begin(), given.end()));
  std::error_code ec;
  for (int hops = 0; hops < 40 && std::filesystem::is_symlink(path, ec); ++hops) {
    const std::filesystem::path target = std::filesystem::read_symlink(path, ec);
    if (ec) break;
    path = target.is_absolute() ? target : path.parent_path() / target;
  }
  const std::u8string followed = path.u8string();
  return std::string(followed.begin(), followed.end());
}

bool NamedLikeColorFile(const std::string& name) {
  return Lower(name).starts_with("playercolors.");
}

// The last part of a path: what a file yet to be made would be called.
std::string LastName(const std::string& path) {
#ifdef _WIN32
  const size_t sep = path.find_last_of("\\/:");
#else
  const size_t sep = path.rfind('/');
#endif
  return sep == std::string::npos ? path : path.substr(sep + 1);
}

// Windows compares paths without regard to case; "C:\Program Files" holds
// "C:\PROGRAM FILES\Game" but not "C:\Program Files (x86)\Game".
bool LiesUnder(const std::string& path, std::string folder) {
  while (!folder.empty() && (folder.back() == '\\' || folder.back() == '/')) folder.pop_back();
  if (folder.empty() || path.size() <= folder.size()) return false;
  const char next = path[folder.size()];
  return (next == '\\' || next == '/') && Lower(path.substr(0, folder.size())) == Lower(folder);
}

bool HasDrive(const std::string& path) {
  return path.size() >= 3 && std::isalpha(static_cast<unsigned char>(path[0])) != 0 &&
         path[1] == ':' && (path[2] == '\\' || path[2] == '/');
}

// Only a refusal for want of rights is what Windows would have virtualized (a
// read-only file is not: DiagnoseWrite tells that apart), only into a folder
// it virtualizes, and only where no copy of the user's own exists yet.
bool MayMoveToVirtualStore(ColorFileSystem& fs, const ColorFileLocation& at,
                           const ColorFileError& e) {
  return e.step() == ColorFileStep::kWriteColorFile && e.problem() == WriteProblem::kAccessDenied &&
         !at.virtualFolder.empty() && at.folder == at.dataFolder &&
         !fs.IsFile(ColorFilePath(at.virtualFolder));
}

GameWrite WriteForTheGame(
    ColorFileSystem& fs, const ColorFileLocation& at,
    const std::function<void(const std::string&, const std::string&)>& write) {
  GameWrite done{at.folder, false, std::nullopt};
  try {
    write(at.folder, {});
  } catch (const ColorFileError& e) {
    if (e.step() == ColorFileStep::kDeleteXmb) {
      done.xmbLeft = e;
    } else if (!MayMoveToVirtualStore(fs, at, e)) {
      throw;
    } else {
      try {
        fs.MakeFolders(at.virtualFolder);
      } catch (const common::FileError&) {
        throw e;  // the refusal the user can act on
      }
      done = {at.virtualFolder, true, std::nullopt};
      try {
        // The copy takes over from the data folder's file: that (or the
        // original kept beside it) is kept as the original beside the copy.
        write(at.virtualFolder, at.dataFolder);
      } catch (const ColorFileError& second) {
        if (second.step() != ColorFileStep::kDeleteXmb) throw;
        done.xmbLeft = second;
      }
    }
  }
  for (const std::string& folder : {at.dataFolder, at.virtualFolder}) {
    if (folder.empty() || folder == done.folder) continue;
    try {
      DeleteXmbFile(fs, folder);
    } catch (const ColorFileError& e) {
      if (!done.xmbLeft) done.xmbLeft = e;
    }
  }
  return done;
}

}  // namespace

std::string DataFolderOfInstall(std::string installFolder) {
  if (installFolder.empty()) return {};
  if (installFolder.back() != '\\') installFolder += '\\';
  return installFolder + "data\\";
}

std::string VirtualStoreFolderUnder(std::string root, const std::vector<std::string>& virtualized,
                                    const std::string& dataFolder) {
  if (root.empty() || !HasDrive(dataFolder)) return {};
  bool under = false;
  for (const std::string& folder : virtualized) under = under || LiesUnder(dataFolder, folder);
  if (!under) return {};
  if (root.back() != '\\') root += '\\';
  std::string folder = root + dataFolder.substr(3);
  if (folder.back() != '\\') folder += '\\';
  return folder;
}

ColorFileLocation LocateColorFile(ColorFileSystem& fs, const std::string& dataFolder) {
  ColorFileLocation at{dataFolder, fs.VirtualStoreFolderOf(dataFolder), dataFolder};
  if (!at.virtualFolder.empty() && fs.IsFile(ColorFilePath(at.virtualFolder))) {
    at.folder = at.virtualFolder;
  }
  return at;
}

GameWrite SaveColorTree(ColorFileSystem& fs, const ColorFileLocation& at,
                        const markup::Element& root) {
  return WriteForTheGame(fs, at, [&](const std::string& folder, const std::string& takesOver) {
    SaveColorTree(fs, folder, root, takesOver);
  });
}

GameWrite SaveColorTree(ColorFileSystem& fs, const ColorFileLocation& at,
                        const markup::Element& root, LoadedColorFile& loaded,
                        SaveOutcome* outcome) {
  return WriteForTheGame(fs, at, [&](const std::string& folder, const std::string& takesOver) {
    SaveColorTree(fs, folder, root, loaded, outcome, takesOver);
  });
}

GameWrite RestoreDefaultColorFile(ColorFileSystem& fs, const ColorFileLocation& at) {
  return WriteForTheGame(fs, at, [&](const std::string& folder, const std::string& takesOver) {
    RestoreDefaultColorFile(fs, folder, takesOver);
  });
}

bool VirtualStoreForced() {
  const char* value = std::getenv(kVirtualStoreVariable);
  return value != nullptr && std::strcmp(value, "1") == 0;
}

std::unique_ptr<WriteLock> LockGameFiles(ColorFileSystem& fs, const std::string& dataFolder,
                                         const LockWait& wait) {
  if (!fs.IsFolder(dataFolder))
    throw ColorFileError(ColorFileStep::kWriteColorFile, ColorFilePath(dataFolder),
                         "the folder does not exist", WriteProblem::kFolderMissing);
  // The same lock file for every writer of this game: the data folder's,
  // unless that folder refuses to have one made, when the VirtualStore copy
  // is where saves go.
  std::string folder = dataFolder;
  std::unique_ptr<WriteLock> lock;
  try {
    lock = fs.TryLock(LockFilePath(folder));
  } catch (const common::FileError& e) {
    const std::string virtualFolder = fs.VirtualStoreFolderOf(dataFolder);
    const WriteProblem problem = fs.DiagnoseWrite(LockFilePath(folder));
    if (virtualFolder.empty() || problem != WriteProblem::kAccessDenied)
      throw ColorFileError(ColorFileStep::kLockFile, LockFilePath(folder), e.reason(), problem);
    folder = virtualFolder;
    try {
      fs.MakeFolders(folder);
      lock = fs.TryLock(LockFilePath(folder));
    } catch (const common::FileError& second) {
      throw ColorFileError(ColorFileStep::kLockFile, LockFilePath(folder), second.reason(),
                           fs.DiagnoseWrite(LockFilePath(folder)));
    }
  }
  const auto deadline = std::chrono::steady_clock::now() + wait.limit;
  bool announced = false;
  while (!lock) {
    if (std::chrono::steady_clock::now() >= deadline)
      throw ColorFileError(ColorFileStep::kBusy, ColorFilePath(folder), {});
    if (!announced && wait.announce) wait.announce(ColorFilePath(folder));
    announced = true;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    try {
      lock = fs.TryLock(LockFilePath(folder));
    } catch (const common::FileError& e) {
      throw ColorFileError(ColorFileStep::kLockFile, LockFilePath(folder), e.reason(),
                           fs.DiagnoseWrite(LockFilePath(folder)));
    }
  }
  return lock;
}

GameWrite RestoreOriginalColorFile(ColorFileSystem& fs, const ColorFileLocation& at) {
  return WriteForTheGame(fs, at, [&](const std::string& folder, const std::string& takesOver) {
    RestoreOriginalColorFile(fs, folder, takesOver);
  });
}

void RefuseColorFiles(ColorFileSystem& fs, const std::string& file, const std::string& dataFolder) {
  // Where a link at the end leads, even to a file yet to be made there.
  const std::string target = FollowLinks(file);
  const std::optional<common::FileIdentity> identity = common::IdentityOf(target);
  const std::optional<common::FileIdentity> folder = common::IdentityOf(common::FolderOf(target));
  std::vector<std::string> gameFolders;
  if (!dataFolder.empty()) {
    gameFolders.push_back(dataFolder);
    if (std::string copy = fs.VirtualStoreFolderOf(dataFolder); !copy.empty())
      gameFolders.push_back(std::move(copy));
  }
  for (const std::string& gameFolder : gameFolders) {
    const std::optional<common::FileIdentity> gameIdentity = common::IdentityOf(gameFolder);
    bool game = gameIdentity && folder == gameIdentity && NamedLikeColorFile(LastName(target));
    // Another name of one of them: compared with each, the known names too
    // in case the folder cannot be listed.
    if (identity && !game) {
      std::vector<std::string> names = common::FolderEntries(gameFolder);
      names.insert(names.end(), {kColorFileName, kXmbFileName, kOriginalFileName, kLockFileName});
      for (const std::string& name : names)
        game =
            game || (NamedLikeColorFile(name) && common::IdentityOf(gameFolder + name) == identity);
    }
    if (game)
      throw common::TintError(
          file +
          " is one of the game's color files (playercolors.* in its data folder), "
          "which the game reads; choose another file");
  }
  const std::string defaultFile = DefaultColorFilePath(fs);
  const bool isDefault = (identity && common::IdentityOf(defaultFile) == identity) ||
                         (folder && common::IdentityOf(fs.ProgramFolder()) == folder &&
                          Lower(LastName(target)) == kColorFileName);
  if (isDefault)
    throw common::TintError(file +
                            " is the program's default color file, which stands in for a missing "
                            "game file; choose another file");
}

}  // namespace tintmoor::colorfile
