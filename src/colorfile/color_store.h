// Loading, saving and restoring the game's colour file, the same way for the
// window and for the command-line tool, on Windows and on POSIX hosts.
//
// Safety rules every sequence here keeps:
// - the game's playercolors.xml is only ever replaced whole: the new bytes go
//   to a temporary file in the data folder, which replaces the old file once
//   complete; on any failure the old file is as it was;
// - playercolors.xmb is deleted only after the new playercolors.xml is in place;
// - nothing outside the data folder is written or deleted;
// - a load builds a new tree beside the caller's and hands it over only when
//   the whole file was read.
// Failures are thrown as ColorFileError, whose what() is the message for the
// user: which file, what went wrong, and what was left as it was.
//
// The file system is reached through ColorFileSystem so that tests can inject
// failures; SystemFileSystem() is the Win32 or POSIX implementation.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "common/errors.h"
#include "markup/element.h"

inline constexpr const char* kColorFileName = "playercolors.xml";
inline constexpr const char* kXmbFileName = "playercolors.xmb";

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

// The file operations the colour-file sequences need. (The names keep clear of
// the Win32 macros DeleteFile, CopyFile and ReplaceFile.)
class ColorFileSystem {
 public:
  virtual ~ColorFileSystem() = default;
  // An ordinary file: not a folder, and (on Windows) not hidden or system.
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
// The program's own default colour file.
std::string DefaultColorFilePath(ColorFileSystem& fs);

// The largest colour file (or scheme) read: far above any real one, and a
// bound on the memory a device, an endless pipe or a sparse file can take.
inline constexpr size_t kMaxColorFileBytes = 16u << 20;

// Reads a colour file into a new root (bOpen true, as the reader expects).
// Throws ColorFileError (kReadColorFile) naming the file; the caller's tree is
// never touched.
std::unique_ptr<markup::Element> LoadColorTree(ColorFileSystem& fs, const std::string& path);

// Writes root to the data folder's colour file, then deletes the xmb.
void SaveColorTree(ColorFileSystem& fs, const std::string& dataFolder, const markup::Element& root);

// Puts the program's default colour file in place of the data folder's, then
// deletes the xmb. Refuses, changing nothing, when the default file is missing,
// unreadable or not a whole colour table.
void RestoreDefaultColorFile(ColorFileSystem& fs, const std::string& dataFolder);
