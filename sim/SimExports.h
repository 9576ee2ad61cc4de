#pragma once
// The simulated bench as the native build sees it: the three libraries'
// exports by name (and those of the library variants), their version
// resources as plain data, and the bench behind them.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct SimExport {
  const char* name;
  void* address;
};

// Exports of "kv740m_32.dll", "visa32.dll" or "zeb_32.dll" (case-insensitive;
// the name may be given without ".dll"), optionally of a variant name (see
// SimVariantNames); null if unknown.
const std::vector<SimExport>* SimLibraryExports(const std::string& library, const std::string& variant = "");

// The variants of a library, as named in the build tree's sim/variants/.
std::vector<std::string> SimVariantNames(const std::string& library);

// What the version resource of a library or variant holds.
struct SimVersionInfo {
  const char* companyName;
  const char* fileDescription;
  const char* productVersion;   // the ProductVersion string
  const char* fileVersionText;  // the FileVersion string
  uint32_t fileVersionMS;       // FILEVERSION words: major << 16 | minor
  uint32_t fileVersionLS;       // build << 16 | revision
  uint32_t productVersionMS;
  uint32_t productVersionLS;
};
const SimVersionInfo* SimLibraryVersion(const std::string& library, const std::string& variant = "");

// Replaces the bench (tests): from TOML text; returns false with a message
// naming the file, the line and the problem, and then every call of the
// libraries fails as with a bad bench file.
bool SimLoadBenchText(const std::string& toml, const std::string& fileName, std::string& error);
bool SimLoadBenchFile(const std::string& path, std::string& error);
void SimUseDefaultBench();
const char* SimDefaultBenchText();

// How many device clears the instrument at address has had; -1 when the bench has none there.
int32_t SimDeviceClears(const std::string& address);
// VISA's open sessions, resource managers and find lists.
size_t SimOpenVisaObjects();

// Native: tests record delays instead of sleeping; null restores real waits.
void SimSetDelayHook(void (*hook)(int32_t milliseconds));
