#pragma once
// The library probe of the checks that look for libraries (OS, SW, GPIB): is a
// library there, which version, whose, and where are copies when it is not.
#include <cstdint>
#include <string>

#include "report/LayerCheck.h"

// The minimum versions of the VISA library by publisher (file version words).
constexpr uint32_t kVisaMinMakerMS = 0x004A0001;
constexpr uint32_t kVisaMinMakerLS = 0x00010000;
constexpr uint32_t kVisaMinNationalMS = 0x00020005;
constexpr uint32_t kVisaMinNationalLS = 0x00000000;

// Results of CheckLibrary.
constexpr int kLibraryAccessible = 1;
constexpr int kLibraryNotFound = 2;
constexpr int kLibraryCopiesFound = 3;

// Results of GetLibraryPublisher.
constexpr int kPublisherOther = 0;
constexpr int kPublisherMaker = 1;
constexpr int kPublisherNational = 2;

// 1 when the file opens for reading (relative names against the current
// directory only, no library search path), else 0.
int FileExists(const char* path);

// Whether two names of the same directory stand for the same entry: letters
// match in either case, as the file system compares them (the ASCII range;
// the names searched for are library names).
bool SameFileName(const std::string& a, const std::string& b);

// Each library probed is kept in the record's list "libraries" (a copy found
// on the drive in its library's "copies").
class CLibraryProbeCheck : public CLayerCheck {
 public:
  // A probe of no layer, or the check of a layer.
  CLibraryProbeCheck() = default;
  explicit CLibraryProbeCheck(const CLayerTexts& layer) : CLayerCheck(layer) {}

  int CheckLibrary(const char* name, uint32_t minMS = 0, uint32_t minLS = 0);
  int FindFileOnDrive(const char* directory, const char* name, int& counter);
  int GetLibraryPublisher(const char* name);

 private:
  int ProbeLibrary(const CFindingField& list, const char* name, uint32_t minMS, uint32_t minLS);

  // Folders the drive search has listed, for its progress.
  int32_t m_foldersSearched = 0;
};
