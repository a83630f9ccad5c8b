// Loading, saving and restoring the game's colour file, the same way for the
// window and for the command-line tool, on Windows and on POSIX hosts.
//
// Safety rules every sequence here keeps:
// - the game's playercolors.xml is only ever replaced whole: the new bytes go
//   to a temporary file in the data folder, which replaces the old file once
//   complete; on any failure the old file is as it was;
// - playercolors.xmb is deleted only after the new playercolors.xml is in place;
// - nothing outside the data folder is written or deleted, and inside it
//   only the game's files, the temporary files of this program's own
//   replacements (those a killed save left are deleted once ten minutes old)
//   and the empty lock file every writer takes (game_location.h), which stays;
// - only a regular file (or a link to one) named playercolors.xml is read or
//   replaced; a link is written through, to its target;
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

namespace tintmoor::colorfile {

inline constexpr const char* kColorFileName = "playercolors.xml";
inline constexpr const char* kXmbFileName = "playercolors.xmb";
inline constexpr const char* kOriginalFileName = "playercolors.xml.orig";
inline constexpr const char* kLockFileName = "playercolors.xml.lock";

#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

// Why writing a file failed, as far as the system lets us tell.
enum class WriteProblem {
  kOther,
  kAccessDenied,   // no permission to write there
  kReadOnly,       // the file itself is marked read-only
  kInUse,          // another program (the game) holds the file open
  kFolderMissing,  // the folder that should hold it is gone
};

// Held from reading a colour file that is about to be replaced until the
// replacement is in place, so that two programs writing the same game's file
// take turns instead of one silently undoing the other's change.
class WriteLock {
 public:
  virtual ~WriteLock() = default;
};

// What a name in a folder is, a link at its end not followed.
enum class EntryKind { kNone, kFile, kFolder, kLink, kOther };

// The file operations the colour-file sequences need. (The names keep clear of
// the Win32 macros DeleteFile, CopyFile and ReplaceFile.)
class ColorFileSystem {
 public:
  virtual ~ColorFileSystem() = default;
  // A file that is not a folder; hidden and system files count (the game reads them).
  virtual bool IsFile(const std::string& path) = 0;
  virtual bool IsFolder(const std::string& path) = 0;
  // What is there, a link reported as one (wherever it points).
  virtual EntryKind KindOf(const std::string& path) {
    return IsFile(path) ? EntryKind::kFile : IsFolder(path) ? EntryKind::kFolder : EntryKind::kNone;
  }
  // Every byte of the file, refused past kMaxColorFileBytes; throws FileError.
  virtual std::string ReadAll(const std::string& path) = 0;
  // Replaces the file whole through a temporary file beside it; on failure the
  // target is untouched and FileError is thrown. A link is written through.
  virtual void ReplaceWhole(const std::string& path, std::string_view bytes) = 0;
  // Deletes the temporary files that replacements of path left behind, once
  // old enough (see common/file_io.h); nothing else.
  virtual void RemoveLeftovers(const std::string& /*path*/) {}
  // Throws FileError when the file exists and could not be deleted.
  virtual void Remove(const std::string& path) = 0;
  // Copies, overwriting the target; the first-run seeding. False on failure.
  virtual bool CopyOver(const std::string& from, const std::string& to) = 0;
  // Looked at after a failed write, to tell the user what to do about it.
  virtual WriteProblem DiagnoseWrite(const std::string& path) = 0;
  // The folder holding the running program, without a trailing separator.
  virtual std::string ProgramFolder() = 0;

  // The folder where Windows keeps this user's copies of dataFolder's files
  // (see game_location.h), ending in the separator; empty when the folder is
  // not virtualized, or virtualization is off: under Wine, which has none,
  // and in the Linux build, unless TINTMOOR_VIRTUALSTORE=1 is set.
  virtual std::string VirtualStoreFolderOf(const std::string& /*dataFolder*/) { return {}; }
  // Opens the lock file (creating it empty when there is none) and takes its
  // lock if no other program holds it: null when one does. Throws FileError
  // when the file cannot be opened or made.
  virtual std::unique_ptr<WriteLock> TryLock(const std::string& lockFile) = 0;
  // Creates the folder and any missing folders above it; throws FileError.
  virtual void MakeFolders(const std::string& path) {
    if (!IsFolder(path)) throw common::FileError(path, "folders cannot be created here");
  }
};

// The real file system of the host.
ColorFileSystem& SystemFileSystem();

// What a failed sequence was doing; decides the wording of the message.
enum class ColorFileStep {
  kReadColorFile,    // loading the game's file: nothing changed
  kReadDefault,      // restore: the program's own file missing or unreadable
  kCheckDefault,     // restore: the program's own file is not a colour table
  kWriteColorFile,   // save or restore: the game's file could not be replaced
  kDeleteXmb,        // the new file is in place, but the xmb remains
  kChangedOnDisk,    // save: the game's file is not what the load saw: nothing changed
  kReadOriginal,     // restore-original: the kept file missing, not a file, or damaged
  kNotAFile,         // something that is not a regular file has the colour file's name
  kOriginalBlocked,  // the original cannot be kept: something else has its name
  kLockFile,         // the lock file cannot be opened or made: nothing written
  kBusy,             // another program kept the lock past the wait: nothing written
};

class ColorFileError : public common::TintError {
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
std::string LockFilePath(const std::string& dataFolder);
// The program's own default colour file.
std::string DefaultColorFilePath(ColorFileSystem& fs);

// The largest colour file (or scheme) read: far above any real one, and a
// bound on the memory a device, an endless pipe or a sparse file can take.
inline constexpr size_t kMaxColorFileBytes = 16u << 20;
// Deletes the folder's xmb when there is one; throws ColorFileError (kDeleteXmb).
void DeleteXmbFile(ColorFileSystem& fs, const std::string& folder);

// Whether there is a colour file at path: false when nothing has its name,
// true for a regular file or a link to one. Anything else of that name (a
// folder, a pipe, a device, a link to nothing) is neither read nor replaced:
// throws ColorFileError (kNotAFile).
bool ColorFileExists(ColorFileSystem& fs, const std::string& path);

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

// Writes root to the data folder's colour file, then deletes the xmb. Where
// the folder has no colour file of its own yet and takesOver names another
// folder (the data folder, for a first VirtualStore copy), the file kept as
// the original is that folder's: its kept original, else its colour file.
void SaveColorTree(ColorFileSystem& fs, const std::string& dataFolder, const markup::Element& root,
                   const std::string& takesOver = {});
// The same, first refusing (kChangedOnDisk, nothing written) when the file is
// no longer what loaded describes; afterwards loaded describes the new file.
void SaveColorTree(ColorFileSystem& fs, const std::string& dataFolder, const markup::Element& root,
                   LoadedColorFile& loaded, SaveOutcome* outcome = nullptr,
                   const std::string& takesOver = {});

// The words for a save that dropped lines of the file, naming where the file
// as found is kept; empty when every line was kept.
std::string DescribeLinesNotKept(const std::string& dataFolder, const SaveOutcome& outcome);

// Puts playercolors.xml.orig back in place of the data folder's colour file
// (kept, so it can be put back again), then deletes the xmb. Refuses
// (kReadOriginal), changing nothing, unless it is a regular file, not a link,
// that reads as a colour file with all 13 rows of 3 colours. A folder taking
// over from another (takesOver, as for SaveColorTree) without an original of
// its own puts back, and keeps, the other folder's.
void RestoreOriginalColorFile(ColorFileSystem& fs, const std::string& dataFolder,
                              const std::string& takesOver = {});

// Puts the program's default colour file in place of the data folder's, then
// deletes the xmb. Refuses, changing nothing, when the default file is missing,
// unreadable or not a whole colour table. takesOver as for SaveColorTree.
void RestoreDefaultColorFile(ColorFileSystem& fs, const std::string& dataFolder,
                             const std::string& takesOver = {});

}  // namespace tintmoor::colorfile
