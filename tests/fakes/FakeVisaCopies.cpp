#include "tests/fakes/FakeVisaCopies.h"

std::string FakeImageBytes(int bits) {
  // DOS header pointing at 0x40, the image signature, the machine, and the
  // optional header's magic 24 bytes after the signature.
  std::string bytes(0x40 + 26, '\0');
  bytes[0] = 'M';
  bytes[1] = 'Z';
  bytes[0x3C] = 0x40;
  bytes.replace(0x40, 4, std::string("PE\0\0", 4));
  const uint16_t machine = bits == 64 ? 0x8664 : 0x014C;
  const uint16_t magic = bits == 64 ? 0x20B : 0x10B;
  bytes[0x44] = static_cast<char>(machine & 0xFF);
  bytes[0x45] = static_cast<char>(machine >> 8);
  bytes[0x58] = static_cast<char>(magic & 0xFF);
  bytes[0x59] = static_cast<char>(magic >> 8);
  return bytes;
}

void PlaceVisaCopy(FakeFileSystem& files, FakeLibraries& libraries, const FakeVisaCopy& copy) {
  files.AddFile(copy.path, FakeImageBytes(copy.bits));
  libraries.AddLibrary(copy.path, {}, FakeLibraries::SimVersion("visa32.dll", copy.variant), false);
}

void LoadVisaFrom(FakeLibraries& libraries, const FakeVisaCopy& copy, uint32_t loadError) {
  FakeLibraryOptions options;
  options.modulePath = copy.path;
  options.loadable = loadError == 0;
  options.loadError = loadError;
  libraries.AddSimLibrary("visa32.dll", copy.variant, options);
}
