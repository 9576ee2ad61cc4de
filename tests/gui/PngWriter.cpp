#include "tests/gui/PngWriter.h"

#include <cstdint>
#include <cstdio>

namespace gui {

namespace {

uint32_t Crc32(const unsigned char* data, size_t size, uint32_t crc = 0) {
  crc = ~crc;
  for (size_t i = 0; i < size; ++i) {
    crc ^= data[i];
    for (int bit = 0; bit < 8; ++bit) {
      crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
  }
  return ~crc;
}

void PutBe32(std::vector<unsigned char>& out, uint32_t value) {
  out.push_back(static_cast<unsigned char>(value >> 24));
  out.push_back(static_cast<unsigned char>(value >> 16));
  out.push_back(static_cast<unsigned char>(value >> 8));
  out.push_back(static_cast<unsigned char>(value));
}

void PutChunk(std::vector<unsigned char>& out, const char type[4],
              const std::vector<unsigned char>& data) {
  PutBe32(out, static_cast<uint32_t>(data.size()));
  const size_t typeAt = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), data.begin(), data.end());
  PutBe32(out, Crc32(&out[typeAt], out.size() - typeAt));
}

// A zlib stream of stored (uncompressed) deflate blocks: the files are test artefacts,
// and ImageMagick recompresses the one that is published.
std::vector<unsigned char> ZlibStored(const std::vector<unsigned char>& raw) {
  std::vector<unsigned char> out{0x78, 0x01};
  size_t at = 0;
  do {
    const size_t len = raw.size() - at < 65535 ? raw.size() - at : 65535;
    const bool last = at + len == raw.size();
    out.push_back(last ? 1 : 0);
    out.push_back(static_cast<unsigned char>(len));
    out.push_back(static_cast<unsigned char>(len >> 8));
    out.push_back(static_cast<unsigned char>(~len));
    out.push_back(static_cast<unsigned char>(~len >> 8));
    out.insert(out.end(), raw.begin() + at, raw.begin() + at + len);
    at += len;
  } while (at < raw.size());
  uint32_t a = 1, b = 0;
  for (unsigned char byte : raw) {
    a = (a + byte) % 65521;
    b = (b + a) % 65521;
  }
  PutBe32(out, (b << 16) | a);
  return out;
}

}  // namespace

bool WritePng(const std::string& path, int width, int height,
              const std::vector<unsigned char>& rgb) {
  const size_t stride = static_cast<size_t>(width) * 3;
  if (width <= 0 || height <= 0 || rgb.size() != stride * height) {
    return false;
  }
  std::vector<unsigned char> raw;
  raw.reserve((stride + 1) * height);
  for (int y = 0; y < height; ++y) {
    raw.push_back(0);  // filter type None
    raw.insert(raw.end(), rgb.begin() + y * stride, rgb.begin() + (y + 1) * stride);
  }
  std::vector<unsigned char> header;
  PutBe32(header, static_cast<uint32_t>(width));
  PutBe32(header, static_cast<uint32_t>(height));
  header.insert(header.end(), {8, 2, 0, 0, 0});  // 8-bit RGB, deflate, no interlace

  std::vector<unsigned char> file{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  PutChunk(file, "IHDR", header);
  PutChunk(file, "IDAT", ZlibStored(raw));
  PutChunk(file, "IEND", {});

  FILE* out = std::fopen(path.c_str(), "wb");
  if (!out) {
    return false;
  }
  const bool written = std::fwrite(file.data(), 1, file.size(), out) == file.size();
  return std::fclose(out) == 0 && written;
}

}  // namespace gui
