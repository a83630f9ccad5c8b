// See game_location.h.
#include "colorfile/game_location.h"

#include <cctype>
#include <functional>

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

// Only a refusal for want of rights is what Windows would have virtualized,
// and only where no copy of the user's own exists yet.
bool MayMoveToVirtualStore(ColorFileSystem& fs, const ColorFileLocation& at,
                           const ColorFileError& e) {
  return e.step() == ColorFileStep::kWriteColorFile && e.problem() == WriteProblem::kAccessDenied &&
         !at.virtualFolder.empty() && at.folder == at.dataFolder &&
         !fs.IsFile(ColorFilePath(at.virtualFolder));
}

// Until now the game read the data folder's file, so the user's copy keeps,
// as its original, the file as Tintmoor first found it there: the data
// folder's kept original when there is one, else its file. True when this
// made the copy's original.
bool KeepOriginalInVirtualStore(ColorFileSystem& fs, const ColorFileLocation& at) {
  const std::string kept = OriginalFilePath(at.virtualFolder);
  if (fs.IsFile(kept)) return false;
  std::string from = OriginalFilePath(at.dataFolder);
  if (!fs.IsFile(from)) from = ColorFilePath(at.dataFolder);
  if (!fs.IsFile(from)) return false;  // nothing found: the write keeps the default
  try {
    fs.ReplaceWhole(kept, fs.ReadAll(from));
  } catch (const FileError& e) {
    throw ColorFileError(ColorFileStep::kWriteColorFile, kept, e.reason(), fs.DiagnoseWrite(kept));
  }
  return true;
}

GameWrite WriteForTheGame(ColorFileSystem& fs, const ColorFileLocation& at,
                          const std::function<void(const std::string&)>& write) {
  GameWrite done{at.folder, false, std::nullopt};
  try {
    write(at.folder);
  } catch (const ColorFileError& e) {
    if (e.step() == ColorFileStep::kDeleteXmb) {
      done.xmbLeft = e;
    } else if (!MayMoveToVirtualStore(fs, at, e)) {
      throw;
    } else {
      try {
        fs.MakeFolders(at.virtualFolder);
      } catch (const FileError&) {
        throw e;  // the refusal the user can act on
      }
      done = {at.virtualFolder, true, std::nullopt};
      const bool kept = KeepOriginalInVirtualStore(fs, at);
      try {
        write(at.virtualFolder);
      } catch (const ColorFileError& second) {
        if (second.step() != ColorFileStep::kDeleteXmb) {
          // Nothing written: not even the original just kept.
          if (kept) {
            try {
              fs.Remove(OriginalFilePath(at.virtualFolder));
            } catch (const FileError&) {
            }
          }
          throw;
        }
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

std::string VirtualStoreFolderOf(ColorFileSystem& fs, const std::string& dataFolder) {
  std::string root = fs.VirtualStoreRoot();
  if (root.empty() || !HasDrive(dataFolder)) return {};
  bool virtualized = false;
  for (const std::string& folder : fs.VirtualizedFolders()) {
    virtualized = virtualized || LiesUnder(dataFolder, folder);
  }
  if (!virtualized) return {};
  if (root.back() != '\\') root += '\\';
  std::string folder = root + dataFolder.substr(3);
  if (folder.back() != '\\') folder += '\\';
  return folder;
}

ColorFileLocation LocateColorFile(ColorFileSystem& fs, const std::string& dataFolder) {
  ColorFileLocation at{dataFolder, VirtualStoreFolderOf(fs, dataFolder), dataFolder};
  if (!at.virtualFolder.empty() && fs.IsFile(ColorFilePath(at.virtualFolder))) {
    at.folder = at.virtualFolder;
  }
  return at;
}

GameWrite SaveColorTree(ColorFileSystem& fs, const ColorFileLocation& at,
                        const markup::Element& root) {
  return WriteForTheGame(fs, at,
                         [&](const std::string& folder) { SaveColorTree(fs, folder, root); });
}

GameWrite SaveColorTree(ColorFileSystem& fs, const ColorFileLocation& at,
                        const markup::Element& root, LoadedColorFile& loaded,
                        SaveOutcome* outcome) {
  return WriteForTheGame(
      fs, at, [&](const std::string& folder) { SaveColorTree(fs, folder, root, loaded, outcome); });
}

GameWrite RestoreDefaultColorFile(ColorFileSystem& fs, const ColorFileLocation& at) {
  return WriteForTheGame(fs, at,
                         [&](const std::string& folder) { RestoreDefaultColorFile(fs, folder); });
}

GameWrite RestoreOriginalColorFile(ColorFileSystem& fs, const ColorFileLocation& at) {
  return WriteForTheGame(fs, at,
                         [&](const std::string& folder) { RestoreOriginalColorFile(fs, folder); });
}
