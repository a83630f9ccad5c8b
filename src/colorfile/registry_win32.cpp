// GetRegString: open, size query, read, close, with the narrow registry calls.
#include "colorfile/registry_win32.h"

#include <utility>

#include "colorfile/game_location.h"

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
  RegOpenKeyExA(root, keyPath.c_str(), 0, KEY_QUERY_VALUE | KEY_WOW64_32KEY, key.out());

  DWORD type = 0;
  DWORD size = 0;
  if (RegQueryValueExA(key.get(), valueName.c_str(), nullptr, &type, nullptr, &size) ==
          ERROR_SUCCESS &&
      type == REG_SZ) {
    std::string buffer(size, ' ');
    DWORD readType = 0;
    RegQueryValueExA(key.get(), valueName.c_str(), nullptr, &readType,
                     reinterpret_cast<BYTE*>(buffer.data()), &size);
    const size_t nul = buffer.find('\0');
    result = nul == std::string::npos ? std::move(buffer) : buffer.substr(0, nul);
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
