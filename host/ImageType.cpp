#include "host/ImageType.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/Platform.h"

namespace {

// The header of the image the DOS stub points to lies within the first
// megabyte of any real library; beyond it the file is taken for no image.
constexpr uint32_t kMaxHeaderOffset = 1u << 20;
constexpr size_t kChunk = 4096;

uint32_t Little(const std::vector<char>& bytes, size_t at, size_t size) {
  uint32_t value = 0;
  for (size_t i = 0; i < size; ++i) value |= static_cast<uint32_t>(static_cast<unsigned char>(bytes[at + i])) << (8 * i);
  return value;
}

// Reads until bytes holds at least size bytes or the file ends.
bool ReadUpTo(IFileSystem& files, FileHandle file, std::vector<char>& bytes, size_t size) {
  while (bytes.size() < size) {
    char chunk[kChunk];
    size_t read = 0;
    if (!files.Read(file, chunk, sizeof(chunk), read)) return false;
    if (read == 0) return true;
    bytes.insert(bytes.end(), chunk, chunk + read);
  }
  return true;
}

}  // namespace

CImageType ReadImageType(const char* path) {
  CImageType image;
  IFileSystem* files = GetPlatform().files;
  FileHandle file = files != nullptr && path != nullptr ? files->OpenForRead(path) : nullptr;
  if (file == nullptr) return image;
  std::vector<char> bytes;
  bool read = ReadUpTo(*files, file, bytes, 0x40);
  image.kind = CImageType::NotAnImage;
  if (read && bytes.size() >= 0x40 && bytes[0] == 'M' && bytes[1] == 'Z') {
    // The DOS header names where the image's own header lies; after its
    // signature come the machine (2 bytes), 18 bytes more, then the optional
    // header's magic.
    const uint32_t header = Little(bytes, 0x3C, 4);
    if (header <= kMaxHeaderOffset) read = ReadUpTo(*files, file, bytes, header + 26u);
    if (header <= kMaxHeaderOffset && bytes.size() >= header + 26u &&
        std::memcmp(&bytes[header], "PE\0\0", 4) == 0) {
      image.kind = CImageType::Image;
      image.machine = static_cast<uint16_t>(Little(bytes, header + 4, 2));
      const uint32_t magic = Little(bytes, header + 24, 2);
      image.bits = magic == 0x10B ? 32 : magic == 0x20B ? 64 : 0;
    }
  }
  files->Close(file);
  if (!read) image = CImageType();
  return image;
}

std::string ImageTypeText(const CImageType& image) {
  if (image.kind == CImageType::Unreadable) return "cannot be read";
  if (image.kind == CImageType::NotAnImage) return "not a program image";
  std::string text = image.bits != 0 ? std::to_string(image.bits) + "-bit" : "unknown width";
  if (image.machine == kMachineX86) return text + " (x86)";
  if (image.machine == kMachineX64) return text + " (x64)";
  char machine[32];
  std::snprintf(machine, sizeof(machine), " (machine 0x%04X)", image.machine);
  return text + machine;
}

bool LoadableBy(const CImageType& image, int32_t programBits) {
  return image.kind == CImageType::Image && image.bits == programBits &&
         image.machine == (programBits == 64 ? kMachineX64 : kMachineX86);
}
