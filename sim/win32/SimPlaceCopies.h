#pragma once
// Puts a bench's VISA library copies into the folders a program looks in, and
// writes its registry values, before the program starts; takes them away again
// afterwards. For tests and the demo on a Wine prefix, never on a bench PC.
#include <string>
#include <vector>

#include "sim/SimBench.h"

namespace sim {

struct CPlacedFile {
  std::string path;
  bool otherSystem = false;  // in the system folder of the other width
};

struct CPlacedVisa {
  std::vector<CPlacedFile> files;
  std::vector<SimRegistryValue> values;
  std::vector<std::string> pathFolders;  // to be put on the program's PATH
};

// libraryDir: the build's folder of the simulated libraries (its variants in
// libraryDir\variants). programDir, currentDir: of the program that will look.
// Folders are those this program (of the same width) sees. False with a message
// naming the copy or value that could not be placed; what was placed is kept in placed.
bool PlaceVisaCopies(const SimBench& bench, const std::string& libraryDir, const std::string& programDir,
                     const std::string& currentDir, CPlacedVisa& placed, std::string& error);
void RemovePlacedVisa(const CPlacedVisa& placed);

}  // namespace sim
