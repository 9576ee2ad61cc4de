#pragma once
// An in-memory tree of "C:\\..." paths: files, directories and links, listed in
// insertion order, names compared without regard to case.
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/Files.h"

class FakeFileSystem : public IFileSystem {
 public:
  FakeFileSystem();
  ~FakeFileSystem() override;

  // Missing parent directories are created. Paths are absolute ("C:\\dir\\file").
  void AddDirectory(const std::string& path);
  void AddFile(const std::string& path, const std::string& bytes = std::string());
  // A directory entry that is a reparse point leading to target (a directory).
  void AddLink(const std::string& path, const std::string& target);
  // A file that is listed but cannot be opened.
  void SetUnreadable(const std::string& path, bool unreadable = true);
  // CreateForWrite and DeleteFile fail inside a read-only directory.
  void SetReadOnly(const std::string& directory, bool readOnly = true);
  // Every Write fails, as on a disk that fills up: half of it is written.
  void SetDiskFull(bool full = true) { m_diskFull = full; }
  // Relative paths are resolved against it; default "C:\\benchsentry".
  void SetCurrentDirectory(const std::string& path) { m_currentDirectory = path; }

  bool Exists(const std::string& path) const;
  // The bytes of a file, as last written or added.
  std::optional<std::string> FileBytes(const std::string& path) const;
  int OpenHandles() const { return static_cast<int>(m_handles.size()); }
  // Every pattern handed to FindFiles, in order.
  const std::vector<std::string>& FindPatterns() const { return m_findPatterns; }
  // How often a directory was listed (any pattern in it), and all listings.
  int ListingsOf(const std::string& directory) const;
  int Listings() const { return static_cast<int>(m_findPatterns.size()); }

  FileHandle OpenForRead(const char* path) override;
  FileHandle CreateForWrite(const char* path) override;
  bool Write(FileHandle file, const char* data, size_t size) override;
  bool Read(FileHandle file, char* data, size_t size, size_t& read) override;
  bool Close(FileHandle file) override;
  bool FindFiles(const char* pattern, std::vector<FindEntry>& entries) override;
  bool DeleteFile(const char* path) override;
  bool MoveFileReplacing(const char* from, const char* to) override;

 private:
  struct Node {
    std::string name;
    bool isDirectory = false;
    bool isLink = false;
    bool readOnly = false;
    bool unreadable = false;
    std::string linkTarget;
    std::string bytes;
    std::vector<std::unique_ptr<Node>> children;
  };
  struct Handle {
    Node* node = nullptr;
    bool forWrite = false;
    size_t readAt = 0;
  };

  std::vector<std::string> Split(const std::string& path) const;
  // Where a program's path for reading lies (FakeSystem::Redirected).
  static std::string AsRead(const std::string& path);
  // Follows links on the way; null when missing.
  Node* Resolve(const std::string& path, bool followFinalLink = true) const;
  Node* MakeDirectories(const std::vector<std::string>& parts, size_t count);
  static Node* Child(const Node& node, const std::string& name);

  std::unique_ptr<Node> m_root;
  std::string m_currentDirectory = "C:\\benchsentry";
  std::vector<std::unique_ptr<Handle>> m_handles;
  std::vector<std::string> m_findPatterns;
  bool m_diskFull = false;
};
