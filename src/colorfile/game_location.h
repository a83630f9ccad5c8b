// Where the game is and which colour file it reads: the registry entry the
// game's installer writes, its data folder, and the per-user copies Windows
// keeps for programs without a manifest (the VirtualStore).
//
// The game is a 32-bit program without a manifest. Run by a standard user from
// a protected folder such as Program Files, it is virtualized: what it writes
// there lands in %LOCALAPPDATA%\VirtualStore\ plus the folder's path without
// its drive, and it reads those copies before the real files. Tintmoor asks for
// no such treatment, so it looks for the copies itself and writes where the
// game will read. Only Windows does this: under Wine, and in the Linux build
// working on a Wine prefix, the game reads the data folder's own file, so
// these rules are off there unless TINTMOOR_VIRTUALSTORE=1 is set (see
// ColorFileSystem::VirtualStoreFolderOf). Shared by the window and the
// command-line tool.
//
// Every writer of a game's colour files, the window and the command-line tool
// of either build, first takes one lock: a byte-range lock on the empty file
// playercolors.xml.lock in the data folder (common/file_io.h's FileLock), or,
// where that folder refuses every write and is virtualized, in its
// VirtualStore folder. It is held around reading, checking and writing only,
// never while the user is asked something, and waited for a few seconds at
// most. The lock file stays, and is never deleted while in use.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "colorfile/color_store.h"

namespace tintmoor::colorfile {

// The key the game's installer writes in HKEY_LOCAL_MACHINE (the 32-bit view,
// the game being a 32-bit program), and its value naming the install folder.
inline constexpr const char* kGameKeyPath =
    "Software\\Microsoft\\Microsoft Games\\Age of Mythology\\1.0";
inline constexpr const char* kGameInstallValue = "AppPath";

// Reads the game's install folder from the registry.
class GameRegistry {
 public:
  virtual ~GameRegistry() = default;
  // kGameInstallValue under kGameKeyPath, HKEY_LOCAL_MACHINE, 32-bit view;
  // empty when the key or value is missing or not text.
  virtual std::string InstallFolder() = 0;
};

// The host's registry (Windows only).
GameRegistry& SystemGameRegistry();

// The game's data folder in an install folder, ending in a backslash; empty
// for an empty install folder.
std::string DataFolderOfInstall(std::string installFolder);

// The folder where Windows keeps a user's copies of dataFolder's files, given
// that user's VirtualStore folder (root) and the folders Windows virtualizes:
// root plus dataFolder's path without its drive, ending in a backslash; empty
// when dataFolder does not lie under one of them (case ignored, as Windows does).
std::string VirtualStoreFolderUnder(std::string root, const std::vector<std::string>& virtualized,
                                    const std::string& dataFolder);

// Whether the VirtualStore rules apply on this Windows host: not under Wine,
// unless TINTMOOR_VIRTUALSTORE=1 says the setup virtualizes anyway.
inline constexpr const char* kVirtualStoreVariable = "TINTMOOR_VIRTUALSTORE";
bool VirtualStoreForced();  // TINTMOOR_VIRTUALSTORE is 1

// Which playercolors.xml this user's game reads.
struct ColorFileLocation {
  std::string dataFolder;     // the game's own data folder
  std::string virtualFolder;  // its VirtualStore folder, or empty (see above)
  std::string folder;         // the one whose colour file the game reads
  std::string path() const { return ColorFilePath(folder); }
  bool inVirtualStore() const { return !virtualFolder.empty() && folder == virtualFolder; }
};

// The VirtualStore copy when there is one, else the data folder's file.
ColorFileLocation LocateColorFile(ColorFileSystem& fs, const std::string& dataFolder);

// What a save or restore through a location did.
struct GameWrite {
  std::string folder;                     // where playercolors.xml was written
  bool movedToVirtualStore = false;       // the data folder refused it; see below
  std::optional<ColorFileError> xmbLeft;  // the file is written, but an xmb remains
};

// Write the colour file where the game reads it, then delete playercolors.xmb
// in both the data folder and its VirtualStore folder (the game reads an xmb
// from either before any xml). When the data folder's file cannot be written
// for want of rights, there is no VirtualStore copy yet and the folder is one
// Windows virtualizes, the file goes into the VirtualStore folder instead,
// just as the game's own writes would; that copy's kept original is then the
// file the game read until now. Throws ColorFileError when nothing was
// written.
GameWrite SaveColorTree(ColorFileSystem& fs, const ColorFileLocation& at,
                        const markup::Element& root);
// The same, refusing (ColorFileStep::kChangedOnDisk) when the file changed
// since `loaded` was taken; see the SaveColorTree of color_store.h.
GameWrite SaveColorTree(ColorFileSystem& fs, const ColorFileLocation& at,
                        const markup::Element& root, LoadedColorFile& loaded,
                        SaveOutcome* outcome = nullptr);
GameWrite RestoreDefaultColorFile(ColorFileSystem& fs, const ColorFileLocation& at);
// Puts back the kept original of the file the game reads (see the
// RestoreOriginalColorFile of color_store.h).
GameWrite RestoreOriginalColorFile(ColorFileSystem& fs, const ColorFileLocation& at);

// How long a writer waits for the lock another holds, and how it says so.
struct LockWait {
  std::chrono::milliseconds limit{5000};
  // Told once, when the wait begins, which colour file another program is saving.
  std::function<void(const std::string& colorFile)> announce;
};

// Takes the lock of the game whose data folder this is (see above), waiting
// for another holder at most wait.limit. Throws ColorFileError: kBusy when
// the lock stayed taken, kLockFile when no lock file could be opened or made
// (naming the one in the data folder), kWriteColorFile (kFolderMissing) when
// the data folder is gone. Nothing is written when it throws.
std::unique_ptr<WriteLock> LockGameFiles(ColorFileSystem& fs, const std::string& dataFolder,
                                         const LockWait& wait = {});

// Refuses, naming why, a file the user names for the program to write (a
// scheme, a picture) that is one of the game's or the program's colour files,
// whatever name it goes by (another spelling, a link, a hard link, a short
// name): any playercolors.* of the game's data folder (when dataFolder is not
// empty) and of its VirtualStore folder, by identity and, for a file yet to
// be made, by folder and name; and the program's own default colour file.
// Throws TintError.
void RefuseColorFiles(ColorFileSystem& fs, const std::string& file, const std::string& dataFolder);

}  // namespace tintmoor::colorfile
