// The host's real file system behind the test's own program folder, so the
// default file can be moved or taken away; a test overrides the calls it
// counts or makes fail.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "colorfile/color_store.h"

namespace tintmoor::colorfile {

class PassThroughFileSystem : public ColorFileSystem {
 public:
  std::string programFolder;

  bool IsFile(const std::string& p) override { return real().IsFile(p); }
  bool IsFolder(const std::string& p) override { return real().IsFolder(p); }
  EntryKind KindOf(const std::string& p) override { return real().KindOf(p); }
  std::string ReadAll(const std::string& p) override { return real().ReadAll(p); }
  void ReplaceWhole(const std::string& p, std::string_view b) override {
    real().ReplaceWhole(p, b);
  }
  void RemoveLeftovers(const std::string& p) override { real().RemoveLeftovers(p); }
  void Remove(const std::string& p) override { real().Remove(p); }
  bool CopyOver(const std::string& f, const std::string& t) override {
    return real().CopyOver(f, t);
  }
  WriteProblem DiagnoseWrite(const std::string& p) override { return real().DiagnoseWrite(p); }
  std::string ProgramFolder() override { return programFolder; }
  std::string VirtualStoreFolderOf(const std::string& p) override {
    return real().VirtualStoreFolderOf(p);
  }
  std::unique_ptr<WriteLock> TryLock(const std::string& p) override { return real().TryLock(p); }
  void MakeFolders(const std::string& p) override { real().MakeFolders(p); }

 protected:
  static ColorFileSystem& real() { return SystemFileSystem(); }
};

}  // namespace tintmoor::colorfile
