#pragma once
// The simulated bench as read from a bench file: what is on the bus, how each
// instrument answers and which faults it shows. Pure data; the running state
// (sessions, lasers, logging) lives in CSimBenchState.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "instrument/DriverFunctions.h"

namespace sim {

// The slots and module type codes are the driver's own.
constexpr int kSlotCount = kSlotsPerMainframe;
constexpr int kBenchFormatVersion = 1;
using SlotType = SlotTypeCode;

inline bool IsPowerMeter(int32_t type) { return type == kSlotPowerMeter || type == kSlotDualPowerMeter; }
inline int ChannelCount(int32_t type) {
  return type == kSlotDualPowerMeter ? 2 : (type == kSlotPowerMeter ? 1 : 0);
}

struct SimQueueEntry {
  int32_t code = 0;
  std::string message;
};

// A driver call that fails on one mainframe. An instrument-error status puts
// the message into the instrument's error queue; any other status makes the
// message the driver's text for that status.
struct SimFault {
  std::string function;
  int32_t status = 0;
  SimQueueEntry entry;
};

// How an instrument behaves towards VISA.
struct SimVisaBehaviour {
  bool openFails = false;
  bool closeFails = false;
  bool idnTimeout = false;
  bool systemErrorTimeout = false;
  std::string systemError = "+0,\"No error\"";
  // Talking to it byte by byte (viWrite, viRead): the line end that ends each
  // command and follows each answer, how long an answer takes to come (longer
  // than the reader's time-out: it comes after the time-out, to the next read),
  // an instrument that never answers, and fixed answers the bench adds
  // (command in upper case; an empty answer: a command without one).
  std::string lineEnd = "\n";
  int32_t answerDelayMilliseconds = 0;
  bool silent = false;
  std::vector<std::pair<std::string, std::string>> answers;
};

struct SimSlot {
  int32_t type = kSlotEmpty;
  std::string identification;  // answer to SLOTn:IDN?
  // Power meters: watts per channel with no laser of the mainframe on, and lit.
  double dark[2] = {2.0e-11, 2.0e-11};
  double lit[2] = {5.0e-4, 5.0e-4};
  double calibration = 0.0;
  bool loggingFinishes = true;
  // Tunable lasers.
  bool locked = false;
  SimQueueEntry lockedEntry{-221, "Settings conflict; laser source is locked"};
};

struct SimMainframe {
  std::string address;
  std::string identification;  // answer to *IDN?
  SimSlot slots[kSlotCount];
  std::vector<SimFault> faults;
  std::vector<SimQueueEntry> errorQueue;  // entries present at start
  SimVisaBehaviour visa;
  int line = 0;
};

// A GPIB instrument that only VISA sees.
struct SimInstrument {
  std::string address;
  std::string identification;
  SimVisaBehaviour visa;
  int line = 0;
};

struct SimListing {
  bool fails = false;
  int32_t status = 0;
  int32_t delayMilliseconds = 0;
};

struct SimStatusText {
  int32_t status = 0;
  std::string text;
};

// What the VISA library says of itself through its resource manager.
struct SimVisaIdentity {
  std::string makerName;  // empty: the publisher in the library's own version resource
  int32_t makerId = 0x0FFF;
  uint32_t implementationVersion = 0x00100000;  // 1.0.0, in the VISA version form
  uint32_t specificationVersion = 0x00400000;   // 4.0.0
};

// A copy of the VISA library the bench puts in place before the program starts
// (sim/win32/SimPlaceCopies.cpp): where, which library variant, under which name.
struct SimVisaCopy {
  std::string folder;  // program, current, system, other_system, windows or path
  std::string path;    // the folder put on PATH, for folder = "path"
  std::string variant;  // one of sim/variants; empty: the bench's own library
  std::string file = "visa32.dll";
  int line = 0;
};

// A registry value (a text) the bench writes for the VISA framework.
struct SimRegistryValue {
  std::string view;  // own, 32 or 64
  std::string key;   // under HKEY_LOCAL_MACHINE
  std::string name;
  std::string value;
  int line = 0;
};

struct SimBench {
  std::string fileName;
  std::string description;
  std::vector<SimMainframe> mainframes;
  std::vector<SimInstrument> instruments;
  SimListing listing;
  int32_t visaTimeoutDelayMilliseconds = 0;
  SimVisaIdentity visaIdentity;
  std::vector<SimVisaCopy> visaCopies;
  std::vector<SimRegistryValue> visaRegistry;
  // Texts the bench gives to driver statuses (its faults' messages).
  std::vector<SimStatusText> statusTexts;
};

}  // namespace sim
