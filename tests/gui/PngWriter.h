#pragma once

#include <string>
#include <vector>

namespace gui {

// Writes 8-bit RGB pixels (rows top to bottom, no padding) as a PNG file.
bool WritePng(const std::string& path, int width, int height,
              const std::vector<unsigned char>& rgb);

}  // namespace gui
