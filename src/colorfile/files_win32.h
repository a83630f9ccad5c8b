// File and folder operations of the colour-file commands, with the wide
// Win32 calls: paths are UTF-8. Hidden and system entries exist like any other.
#pragma once

#include <windows.h>

#include <string>

#include "colorfile/color_store.h"  // EntryKind
#include "common/file_io_win32.h"   // SystemErrorText

namespace tintmoor::colorfile {

// A file that is not a folder.
bool FileExists(const std::string& path);
bool FolderExists(const std::string& path);
// What is at path, a symbolic link or junction at its end reported as kLink.
EntryKind EntryKindAt(const std::string& path);
// Whether this is Wine rather than Windows: its ntdll exports wine_get_version.
bool RunningUnderWine();
// CopyFileW with fail-if-exists 0: an existing target is overwritten.
bool CopyFileOver(const std::string& from, const std::string& to);
// DeleteFileW; false when the file could not be deleted.
bool DeleteFileAt(const std::string& path);
// The folder holding the program's executable, without a trailing backslash
// (except at a drive root).
std::string ProgramFolder();
// A folder of the system (SHGetFolderPathW with a CSIDL_ value); empty when unknown.
std::string KnownFolder(int csidl);
// An environment variable; empty when unset.
std::string EnvironmentText(const char* name);
// Creates the folder and those above it; the system's error code when it is
// not there afterwards, else ERROR_SUCCESS.
DWORD MakeFolderPath(const std::string& path);

}  // namespace tintmoor::colorfile
