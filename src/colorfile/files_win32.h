// File and folder operations of the colour-file commands, with the narrow
// Win32 calls. "Exists" means an ordinary entry: hidden and system files are
// not looked for.
#pragma once

#include <windows.h>

#include <string>

#include "common/file_io_win32.h"  // SystemErrorText

// A file that is not a folder, hidden or system.
bool FileExists(const std::string& path);
// A folder that is not hidden or system.
bool FolderExists(const std::string& path);
// CopyFileA with fail-if-exists 0: an existing target is overwritten.
bool CopyFileOver(const std::string& from, const std::string& to);
// DeleteFileA; false when the file could not be deleted.
bool DeleteFileAt(const std::string& path);
// The folder holding the program's executable, without a trailing backslash
// (except at a drive root).
std::string ProgramFolder();
