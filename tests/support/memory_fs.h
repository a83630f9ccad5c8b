// An in-memory ColorFileSystem that records what was done and fails on
// request, for testing the save and restore sequences without a disk.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "colorfile/color_store.h"

class MemoryFileSystem : public ColorFileSystem {
 public:
  std::map<std::string, std::string> files;
  std::set<std::string> folders;
  std::string programFolder = "prog";
  // A host with a VirtualStore: its root and the folders Windows virtualizes.
  std::string virtualStoreRoot;
  std::vector<std::string> virtualizedFolders;
  // Paths whose operation fails with FileError(path, reason).
  std::map<std::string, std::string> failRead, failReplace, failRemove;
  WriteProblem problem = WriteProblem::kOther;
  std::vector<std::string> log;  // "replace PATH", "remove PATH", "copy A B"

  bool IsFile(const std::string& path) override { return files.count(path) != 0; }
  bool IsFolder(const std::string& path) override { return folders.count(path) != 0; }
  std::string ReadAll(const std::string& path) override {
    if (auto f = failRead.find(path); f != failRead.end()) throw FileError(path, f->second);
    auto it = files.find(path);
    if (it == files.end()) throw FileError(path, "the file does not exist");
    return it->second;
  }
  void ReplaceWhole(const std::string& path, std::string_view bytes) override {
    if (auto f = failReplace.find(path); f != failReplace.end()) throw FileError(path, f->second);
    log.push_back("replace " + path);
    files[path] = std::string(bytes);
  }
  void Remove(const std::string& path) override {
    if (auto f = failRemove.find(path); f != failRemove.end()) throw FileError(path, f->second);
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
  std::string VirtualStoreRoot() override { return virtualStoreRoot; }
  std::vector<std::string> VirtualizedFolders() override { return virtualizedFolders; }
  void MakeFolders(const std::string& path) override {
    log.push_back("mkdir " + path);
    folders.insert(path);
  }
};
