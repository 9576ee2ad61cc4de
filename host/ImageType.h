#pragma once
// What kind of program image a file is, read from its header: which width of
// program can load it as a library.
#include <cstdint>
#include <string>

struct CImageType {
  enum Kind { Unreadable, NotAnImage, Image };
  Kind kind = Unreadable;
  uint16_t machine = 0;  // the file header's machine
  int32_t bits = 0;      // 32 (PE32) or 64 (PE32+); 0 for another optional header
};

constexpr uint16_t kMachineX86 = 0x014C;
constexpr uint16_t kMachineX64 = 0x8664;

CImageType ReadImageType(const char* path);
// "32-bit (x86)", "64-bit (x64)", "not a program image", "cannot be read".
std::string ImageTypeText(const CImageType& image);
// A program of programBits loads only images of its own width and machine.
bool LoadableBy(const CImageType& image, int32_t programBits);
