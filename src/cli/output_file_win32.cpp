#include <windows.h>

#include <algorithm>
#include <cctype>

#include "cli/output_file.h"
#include "common/errors.h"
#include "common/file_io_win32.h"
#include "common/wide_win32.h"

namespace tintmoor::cli {

bool IsStreamTarget(const std::string& path) {
  if (path.starts_with("\\\\.\\")) return true;
  // NUL, CON, COM1 ... name devices in every folder, whatever their extension.
  std::string name = path.substr(
      path.find_last_of("\\/:") == std::string::npos ? 0 : path.find_last_of("\\/:") + 1);
  name = name.substr(0, name.find('.'));
  while (!name.empty() && name.back() == ' ') name.pop_back();
  for (char& ch : name) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
  if (name == "NUL" || name == "CON" || name == "PRN" || name == "AUX") return true;
  return name.size() == 4 && (name.starts_with("COM") || name.starts_with("LPT")) &&
         name[3] >= '1' && name[3] <= '9';
}

void WriteIntoStream(const std::string& path, std::string_view bytes) {
  const HANDLE h =
      CreateFileW(common::Widen(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE)
    throw common::FileError("write", path, common::SystemErrorText(GetLastError()));
  size_t done = 0;
  while (done < bytes.size()) {
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1 << 20));
    DWORD put = 0;
    const bool wrote = WriteFile(h, bytes.data() + done, chunk, &put, nullptr) != 0;
    if (!wrote || put == 0) {
      const DWORD error = wrote ? ERROR_WRITE_FAULT : GetLastError();
      CloseHandle(h);
      throw common::FileError("write", path, common::SystemErrorText(error));
    }
    done += put;
  }
  CloseHandle(h);
}

}  // namespace tintmoor::cli
