#pragma once
// The library probe shared by the host-side checks: CheckLibrary, FindFileOnDrive
// and GetLibraryPublisher are members of CLayerCheck (report/LayerCheck.h).
#include <cstdint>
#include <string>

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
