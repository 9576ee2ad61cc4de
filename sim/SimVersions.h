#pragma once
// What the photonic library reports about itself; its version resource says the same.
#include <cstdint>

namespace sim {

// The maker of the bench, and publisher of its libraries.
constexpr char kSimMaker[] = "Velmora Technologies";

constexpr int16_t kZebVersionMajor = 3;
constexpr int16_t kZebVersionMinor = 2;
constexpr int16_t kZebVersionBuild = 1;
constexpr char kZebVersionText[] = "Zeb photonic library 3.2.1 (simulated bench)";

}  // namespace sim
