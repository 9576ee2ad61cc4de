#include "tests/fakes/JsonSamples.h"

#include <filesystem>
#include <fstream>

void KeepJsonSample(const std::string& name, const std::string& json) {
  std::string folder = BS_JSON_SAMPLES_DIR;
#ifdef _WIN32
  // The build's host path, as Wine shows it.
  if (!folder.empty() && folder[0] == '/') folder = "Z:" + folder;
#endif
  std::filesystem::create_directories(folder);
  std::ofstream(folder + "/" + name + ".json", std::ios::binary) << json;
}
