#include <windows.h>

// The interface's operations carry the plain names; the ANSI functions are called by theirs.
#undef DeleteFile

#include "platform/win32/Win32Platform.h"

namespace {

FileHandle FromWin32(HANDLE handle) { return handle == INVALID_HANDLE_VALUE ? nullptr : handle; }

class CWin32Files : public IFileSystem {
 public:
  FileHandle OpenForRead(const char* path) override {
    return FromWin32(::CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  }

  FileHandle CreateForWrite(const char* path) override {
    return FromWin32(::CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
  }

  bool Write(FileHandle file, const char* data, size_t size) override {
    while (size > 0) {
      DWORD chunk = size > 0x10000000 ? 0x10000000 : static_cast<DWORD>(size);
      DWORD written = 0;
      if (!::WriteFile(static_cast<HANDLE>(file), data, chunk, &written, nullptr) || written == 0) {
        return false;
      }
      data += written;
      size -= written;
    }
    return true;
  }

  bool Read(FileHandle file, char* data, size_t size, size_t& read) override {
    DWORD chunk = size > 0x10000000 ? 0x10000000 : static_cast<DWORD>(size);
    DWORD got = 0;
    const bool ok = ::ReadFile(static_cast<HANDLE>(file), data, chunk, &got, nullptr) != FALSE;
    read = ok ? got : 0;
    return ok;
  }

  bool Close(FileHandle file) override { return ::CloseHandle(static_cast<HANDLE>(file)) != FALSE; }

  bool FindFiles(const char* pattern, std::vector<FindEntry>& entries) override {
    entries.clear();
    WIN32_FIND_DATAA data = {};
    HANDLE find = ::FindFirstFileA(pattern, &data);
    if (find == INVALID_HANDLE_VALUE) return false;
    do {
      FindEntry entry;
      entry.name = data.cFileName;
      entry.isDirectory = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
      entry.isLink = (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
      entries.push_back(entry);
    } while (::FindNextFileA(find, &data));
    ::FindClose(find);
    return true;
  }

  bool DeleteFile(const char* path) override { return ::DeleteFileA(path) != FALSE; }

  // MoveFileEx is a stub that fails on 95 and 98, so it is looked up and, where
  // it is missing or fails, the old file is deleted just before the move.
  bool MoveFileReplacing(const char* from, const char* to) override {
    using MoveFileExFn = BOOL(WINAPI*)(LPCSTR, LPCSTR, DWORD);
    const auto moveFileEx = reinterpret_cast<MoveFileExFn>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleA("kernel32.dll"), "MoveFileExA")));
    if (moveFileEx != nullptr && moveFileEx(from, to, MOVEFILE_REPLACE_EXISTING) != FALSE) return true;
    if (::MoveFileA(from, to) != FALSE) return true;
    return ::DeleteFileA(to) != FALSE && ::MoveFileA(from, to) != FALSE;
  }
};

}  // namespace

IFileSystem& Win32Files() {
  static CWin32Files files;
  return files;
}
