// See game_location.h.
#include "colorfile/game_location.h"

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <thread>

namespace tintmoor::colorfile {

namespace {

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
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

}  // namespace tintmoor::colorfile
