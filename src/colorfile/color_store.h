// Loading, saving and restoring the game's colour file, the same way for the
// window and for the command-line tool, on Windows and on POSIX hosts.
//
// Safety rules every sequence here keeps:
// - the game's playercolors.xml is only ever replaced whole: the new bytes go
//   to a temporary file in the data folder, which replaces the old file once
//   complete; on any failure the old file is as it was;
// - playercolors.xmb is deleted only after the new playercolors.xml is in place;
// - nothing outside the data folder is written or deleted;
// - the first time the game's file is replaced, the file as found is kept
//   beside it as playercolors.xml.orig, whatever it holds (once, never
//   overwritten), since a save writes back only what the reader kept; where
//   there was no file, the program's default stands for the file found;
// - a save given what its load saw refuses to replace a file that changed on
//   disk since, so two writers never silently undo each other;
// - a load builds a new tree beside the caller's and hands it over only when
//   the whole file was read.
// Failures are thrown as ColorFileError, whose what() is the message for the
// user: which file, what went wrong, and what was left as it was.
//
// The file system is reached through ColorFileSystem so that tests can inject
// failures; SystemFileSystem() is the Win32 or POSIX implementation.
#pragma once

#include <climits>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "common/errors.h"
#include "markup/element.h"

inline constexpr const char* kColorFileName = "playercolors.xml";
inline constexpr const char* kXmbFileName = "playercolors.xmb";
inline constexpr const char* kOriginalFileName = "playercolors.xml.orig";

#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

// Why writing a file failed, as far as the system lets us tell.
enum class WriteProblem {
  kOther,
  kAccessDenied,   // no permission, or the file is read-only
  kInUse,          // another program (the game) holds the file open
  kFolderMissing,  // the folder that should hold it is gone
};

// Held from reading a colour file that is about to be replaced until the
// replacement is in place, so that two programs writing the same game's file
// take turns instead of one silently undoing the other's change.
class FolderLock {
 public:
  virtual ~FolderLock() = default;
};

// The file operations the colour-file sequences need. (The names keep clear of
// the Win32 macros DeleteFile, CopyFile and ReplaceFile.)
class ColorFileSystem {
 public:
  virtual ~ColorFileSystem() = default;
  // A file that is not a folder; hidden and system files count (the game reads them).
  virtual bool IsFile(const std::string& path) = 0;
  virtual bool IsFolder(const std::string& path) = 0;
  // Every byte of the file, refused past kMaxColorFileBytes; throws FileError.
  virtual std::string ReadAll(const std::string& path) = 0;
  // Replaces the file whole through a temporary file beside it; on failure the
  // target is untouched and FileError is thrown.
  virtual void ReplaceWhole(const std::string& path, std::string_view bytes) = 0;
  // Throws FileError when the file exists and could not be deleted.
  virtual void Remove(const std::string& path) = 0;
  // Copies, overwriting the target; the first-run seeding. False on failure.
  virtual bool CopyOver(const std::string& from, const std::string& to) = 0;
  // Looked at after a failed write, to tell the user what to do about it.
  virtual WriteProblem DiagnoseWrite(const std::string& path) = 0;
  // The folder holding the running program, without a trailing separator.
  virtual std::string ProgramFolder() = 0;

  // Where Windows keeps this user's copies of files that programs without a
  // manifest write into protected folders (%LOCALAPPDATA%\VirtualStore), and
  // the folders it protects that way; empty where the host has none.
  virtual std::string VirtualStoreRoot() { return {}; }
  virtual std::vector<std::string> VirtualizedFolders() { return {}; }
  // Waits until no other program of ours holds the folder, then holds it
  // until the result is released; null where the host offers no such lock.
  virtual std::unique_ptr<FolderLock> LockFolder(const std::string& /*folder*/) { return nullptr; }
  // Creates the folder and any missing folders above it; throws FileError.
  virtual void MakeFolders(const std::string& path) {
    if (!IsFolder(path)) throw FileError(path, "folders cannot be created here");
  }
};

// The real file system of the host.
ColorFileSystem& SystemFileSystem();

// What a failed sequence was doing; decides the wording of the message.
enum class ColorFileStep {
  kReadColorFile,   // loading the game's file: nothing changed
  kReadDefault,     // restore: the program's own file missing or unreadable
  kCheckDefault,    // restore: the program's own file is not a colour table
  kWriteColorFile,  // save or restore: the game's file could not be replaced
  kDeleteXmb,       // the new file is in place, but the xmb remains
  kChangedOnDisk,   // save: the game's file is not what the load saw: nothing changed
  kReadOriginal,    // restore-original: the kept file missing or unreadable
};

class ColorFileError : public TintError {
 public:
  ColorFileError(ColorFileStep step, std::string path, std::string reason,
                 WriteProblem problem = WriteProblem::kOther);
  ColorFileStep step() const { return step_; }
  const std::string& path() const { return path_; }
  WriteProblem problem() const { return problem_; }

 private:
  ColorFileStep step_;
  std::string path_;
  WriteProblem problem_;
};

// The markup of a colour file overflowed a 16-bit counter (a line of too many
// words, nesting too deep): the same message, for callers that report it apart.
class ColorFileOverflowError final : public ColorFileError {
 public:
  using ColorFileError::ColorFileError;
};

// dataFolder ends in the separator; the folder's colour file and xmb.
std::string ColorFilePath(const std::string& dataFolder);
std::string XmbFilePath(const std::string& dataFolder);
std::string OriginalFilePath(const std::string& dataFolder);
// The program's own default colour file.
std::string DefaultColorFilePath(ColorFileSystem& fs);

// The largest colour file (or scheme) read: far above any real one, and a
// bound on the memory a device, an endless pipe or a sparse file can take.
inline constexpr size_t kMaxColorFileBytes = 16u << 20;
// Deletes the folder's xmb when there is one; throws ColorFileError (kDeleteXmb).
void DeleteXmbFile(ColorFileSystem& fs, const std::string& folder);

// Reads a colour file into a new root (open, as the reader expects).
// Throws ColorFileError (kReadColorFile) naming the file; the caller's tree is
// never touched.
std::unique_ptr<markup::Element> LoadColorTree(ColorFileSystem& fs, const std::string& path);

// What a load saw of the game's colour file, kept with the tree so that a
// later save can tell whether someone else changed the file in between. The
// content decides, not the time stamp: a file rewritten with the same bytes
// loses nothing, and a time stamp can stay the same across a change.
struct LoadedColorFile {
  bool found = false;  // false: there was no file (the default stood in)
  uint64_t size = 0;
  uint64_t hash = 0;
  // Lines a save would not write back as they were: comments, self-closing or
  // split elements, and lines the writer words differently.
  int32_t linesNotKept = 0;
};

// What a save did beyond writing the colours.
struct SaveOutcome {
  int32_t linesNotKept = 0;     // of the file as loaded
  bool keptOriginal = false;    // this save made playercolors.xml.orig
  bool originalExists = false;  // playercolors.xml.orig exists after the save
};

// As above, also filling loaded (only when the whole file was read).
std::unique_ptr<markup::Element> LoadColorTree(ColorFileSystem& fs, const std::string& path,
                                               LoadedColorFile& loaded);

// What a load of path would see now (found false when there is no file),
// without keeping the tree: for a save told to overwrite a changed file.
LoadedColorFile LookAtColorFile(ColorFileSystem& fs, const std::string& path);

// Writes root to the data folder's colour file, then deletes the xmb.
void SaveColorTree(ColorFileSystem& fs, const std::string& dataFolder, const markup::Element& root);
// The same, first refusing (kChangedOnDisk, nothing written) when the file is
// no longer what loaded describes; afterwards loaded describes the new file.
void SaveColorTree(ColorFileSystem& fs, const std::string& dataFolder, const markup::Element& root,
                   LoadedColorFile& loaded, SaveOutcome* outcome = nullptr);

// The words for a save that dropped lines of the file, naming where the file
// as found is kept; empty when every line was kept.
std::string DescribeLinesNotKept(const std::string& dataFolder, const SaveOutcome& outcome);

// Puts playercolors.xml.orig back in place of the data folder's colour file
// (kept, so it can be put back again), then deletes the xmb.
void RestoreOriginalColorFile(ColorFileSystem& fs, const std::string& dataFolder);

// Puts the program's default colour file in place of the data folder's, then
// deletes the xmb. Refuses, changing nothing, when the default file is missing,
// unreadable or not a whole colour table.
void RestoreDefaultColorFile(ColorFileSystem& fs, const std::string& dataFolder);
