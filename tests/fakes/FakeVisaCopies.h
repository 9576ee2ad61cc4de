#pragma once
// Copies of the VISA library on the fake PC, as a test states them: a file
// whose header gives its width, with the version resource of a library variant
// of the simulated bench, and the copy Windows gives the program for
// "visa32.dll" (or the error it gives none with).
#include <cstdint>
#include <string>

#include "tests/fakes/FakeFileSystem.h"
#include "tests/fakes/FakeLibraries.h"

struct FakeVisaCopy {
  std::string path;
  std::string variant;  // of visa32.dll, for the version resource; empty: the default library
  int bits = 32;
};

// The first bytes of a library image of that width.
std::string FakeImageBytes(int bits);
void PlaceVisaCopy(FakeFileSystem& files, FakeLibraries& libraries, const FakeVisaCopy& copy);
// loadError 0: the copy loads, with the simulated bench's functions.
void LoadVisaFrom(FakeLibraries& libraries, const FakeVisaCopy& copy, uint32_t loadError = 0);
