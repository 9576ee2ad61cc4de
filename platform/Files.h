#pragma once
// Files and directories.
#include <cstddef>
#include <string>
#include <vector>

using FileHandle = void*;

struct FindEntry {
  std::string name;            // the entry's name, without its directory
  bool isDirectory = false;
  bool isLink = false;         // a reparse point or symbolic link
};

class IFileSystem {
 public:
  virtual ~IFileSystem() = default;
  // Null when the file cannot be opened for reading.
  virtual FileHandle OpenForRead(const char* path) = 0;
  // Creates or truncates; bytes are written as they are (no line-end translation).
  // Null on failure.
  virtual FileHandle CreateForWrite(const char* path) = 0;
  virtual bool Write(FileHandle file, const char* data, size_t size) = 0;
  // Reads up to size bytes; read is 0 at the end of the file. False on failure.
  virtual bool Read(FileHandle file, char* data, size_t size, size_t& read) = 0;
  virtual bool Close(FileHandle file) = 0;
  // Entries matching a pattern such as "C:\\dir\\*.*", in the platform's order;
  // false when nothing matches or the directory cannot be read.
  virtual bool FindFiles(const char* pattern, std::vector<FindEntry>& entries) = 0;
  virtual bool DeleteFile(const char* path) = 0;
  // Moves the file from to the name to, in place of a file there; false when it
  // cannot (from is then left as it was).
  virtual bool MoveFileReplacing(const char* from, const char* to) = 0;
};
