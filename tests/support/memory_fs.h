// An in-memory ColorFileSystem that records what was done and fails on
// request, for testing the save and restore sequences without a disk.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "colorfile/color_store.h"
#include "colorfile/game_location.h"

namespace tintmoor::colorfile {

class MemoryFileSystem : public ColorFileSystem {
 public:
  std::map<std::string, std::string> files;
  std::set<std::string> folders;
  std::string programFolder = "prog";
  // A host with a VirtualStore: its root and the folders Windows virtualizes.
  std::string virtualStoreRoot;
  std::vector<std::string> virtualizedFolders;
  // Paths whose operation fails with FileError(path, reason).
  std::map<std::string, std::string> failRead, failReplace, failRemove, failLock;
  // Names that are neither plain files nor folders (links, pipes).
  std::map<std::string, EntryKind> kinds;
  // Lock files another program holds, and how many more tries find it held.
  std::map<std::string, int> busyLocks;
  int locksHeld = 0;
  std::vector<std::string> lockLog;  // "lock PATH" for each lock taken
  WriteProblem problem = WriteProblem::kOther;
  std::vector<std::string> log;  // "replace PATH", "remove PATH", "copy A B"

  bool IsFile(const std::string& path) override { return files.count(path) != 0; }
  bool IsFolder(const std::string& path) override { return folders.count(path) != 0; }
  EntryKind KindOf(const std::string& path) override {
    if (auto k = kinds.find(path); k != kinds.end()) return k->second;
    return ColorFileSystem::KindOf(path);
  }
  std::string ReadAll(const std::string& path) override {
    if (auto f = failRead.find(path); f != failRead.end()) throw common::FileError(path, f->second);
    auto it = files.find(path);
    if (it == files.end()) throw common::FileError(path, "the file does not exist");
    return it->second;
  }
  void ReplaceWhole(const std::string& path, std::string_view bytes) override {
    if (auto f = failReplace.find(path); f != failReplace.end())
      throw common::FileError(path, f->second);
    log.push_back("replace " + path);
    files[path] = std::string(bytes);
  }
  void Remove(const std::string& path) override {
    if (auto f = failRemove.find(path); f != failRemove.end())
      throw common::FileError(path, f->second);
    log.push_back("remove " + path);
    files.erase(path);
  }
  bool CopyOver(const std::string& from, const std::string& to) override {
    log.push_back("copy " + from + " " + to);
    auto it = files.find(from);
    if (it == files.end() || failReplace.count(to)) return false;
    files[to] = it->second;
    return true;
  }
  WriteProblem DiagnoseWrite(const std::string&) override { return problem; }
  std::string ProgramFolder() override { return programFolder; }
  std::string VirtualStoreFolderOf(const std::string& dataFolder) override {
    return VirtualStoreFolderUnder(virtualStoreRoot, virtualizedFolders, dataFolder);
  }
  std::unique_ptr<WriteLock> TryLock(const std::string& path) override {
    if (auto f = failLock.find(path); f != failLock.end()) throw common::FileError(path, f->second);
    if (!folders.count(path.substr(0, path.find_last_of("\\/") + 1)))
      throw common::FileError(path, "the folder does not exist");
    if (auto b = busyLocks.find(path); b != busyLocks.end() && b->second != 0) {
      --b->second;
      return nullptr;
    }
    lockLog.push_back("lock " + path);
    return std::make_unique<Held>(locksHeld);
  }

  void MakeFolders(const std::string& path) override {
    log.push_back("mkdir " + path);
    folders.insert(path);
  }

 private:
  // Counts itself in locksHeld while it lives.
  class Held final : public WriteLock {
   public:
    explicit Held(int& count) : count_(count) { ++count_; }
    ~Held() override { --count_; }

   private:
    int& count_;
  };
};

}  // namespace tintmoor::colorfile
