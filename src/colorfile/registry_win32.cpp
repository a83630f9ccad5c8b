// GetRegString: open, size query, read, close, with the wide registry calls.
#include "colorfile/registry_win32.h"

#include <algorithm>

#include "colorfile/game_location.h"
#include "common/wide_win32.h"

namespace tintmoor::colorfile {

namespace {

// Closes the key when it goes, also when the open failed (handle 0), as the
// original sequence always called RegCloseKey.
class RegKey {
 public:
  RegKey() = default;
  ~RegKey() { RegCloseKey(key_); }
  RegKey(const RegKey&) = delete;
  RegKey& operator=(const RegKey&) = delete;
  HKEY* out() { return &key_; }
  HKEY get() const { return key_; }

 private:
  HKEY key_ = nullptr;
};

}  // namespace

std::string GetRegString(HKEY root, const std::string& keyPath, const std::string& valueName,
                         const std::string& defaultText) {
  std::string result = defaultText;
  RegKey key;
  // A failed open leaves 0; the query then fails.
  RegOpenKeyExW(root, common::Widen(keyPath).c_str(), 0, KEY_QUERY_VALUE | KEY_WOW64_32KEY,
                key.out());

  const std::wstring name = common::Widen(valueName);
  DWORD type = 0;
  DWORD size = 0;
  if (RegQueryValueExW(key.get(), name.c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
      type == REG_SZ) {
    // The size is in bytes, and a value written carelessly may end in half a character.
    std::wstring buffer((size + 1) / sizeof(wchar_t), L' ');
    DWORD readType = 0;
    if (RegQueryValueExW(key.get(), name.c_str(), nullptr, &readType,
                         reinterpret_cast<BYTE*>(buffer.data()), &size) == ERROR_SUCCESS &&
        readType == REG_SZ) {
      buffer.resize(std::min<size_t>(buffer.size(), size / sizeof(wchar_t)));
      result = common::Narrow(buffer.substr(0, buffer.find(L'\0')));
    }
  }
  return result;
}

GameRegistry& SystemGameRegistry() {
  class SystemRegistry final : public GameRegistry {
   public:
    std::string InstallFolder() override {
      return GetRegString(HKEY_LOCAL_MACHINE, kGameKeyPath, kGameInstallValue, "");
    }
  };
  static SystemRegistry registry;
  return registry;
}

}  // namespace tintmoor::colorfile
