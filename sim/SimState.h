#pragma once
// The running simulated bench: the bench read at the first call, what the
// instruments are doing now, and the sessions of both libraries. One caller
// thread, like the system's.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <vector>

#include "instrument/DriverFunctions.h"
#include "instrument/VisaFunctions.h"
#include "sim/SimBench.h"

namespace sim {

// Sizes of the system's buffers where a call passes none. VISA's answers have
// none: they are given whole, or as far as the format's count allows.
constexpr size_t kListCapacity = kKvListSize;
constexpr size_t kIdentificationCapacity = kKvIdentificationSize;
constexpr size_t kErrorMessageCapacity = kKvMessageSize;
constexpr size_t kVisaDescriptionCapacity = 256;
constexpr size_t kMaxLoggingPoints = 100000;
// The system never closes a driver session, a resource manager or a find list,
// so one window's every command opens new ones: past these caps the oldest goes,
// long left behind by its caller. A handle is never given out twice.
constexpr size_t kMaxDriverSessions = 64;
constexpr size_t kMaxVisaObjects = 256;
// As an instrument's: when full, the newest entry becomes the overflow error.
constexpr size_t kErrorQueueCapacity = 30;
// What an instrument holds of a command whose line end has not come.
constexpr size_t kVisaInputCapacity = 65536;

struct SimChannelState {
  int32_t powerUnit = 1;  // 0 dBm, 1 W
  double wavelength = 1.55e-6;
  double averagingTime = 0.1;
  bool loggingArmed = false;
  int32_t loggingPoints = 0;
  int32_t triggersReceived = 0;
  std::vector<double> logged;  // watts, one per trigger
};

struct SimSlotState {
  uint16_t laserOn = 0;
  int32_t opticalOutput = 0;
  double wavelength = 1.55e-6;
  double power = 0.001;
  int32_t triggerIn = 0;
  int32_t triggerOut = 0;
  bool sweepConfigured = false;
  bool sweepRunning = false;
  int32_t sweepTriggers = 0;
  SimChannelState channels[2];
};

struct SimMainframeState {
  int32_t triggerConfiguration = 0;
  bool registered = false;
  std::deque<SimQueueEntry> errorQueue;
  SimSlotState slots[kSlotCount];
};

struct SimDriverSession {
  size_t mainframe = 0;
  uint16_t forceTransaction = 0;
  uint16_t errorQueryDetect = 0;
  uint32_t timeoutMilliseconds = 10000;
};

// A resource as VISA sees it: every mainframe, then every further instrument.
struct SimVisaResource {
  std::string address;
  std::string key;
  const std::string* identification = nullptr;
  const SimVisaBehaviour* behaviour = nullptr;
};

enum class SimVisaKind { kResourceManager, kInstrument, kFindList };

struct SimVisaObject {
  SimVisaKind kind = SimVisaKind::kResourceManager;
  ViSession resourceManager = 0;
  size_t resource = 0;
  uint32_t timeoutMilliseconds = 2000;
  std::vector<std::string> found;
  size_t next = 0;
  // The part of the last answer a read with a count left, for the next read.
  std::string unread;
  // How viRead ends: at this character when enabled, else at the end of the message.
  uint32_t termChar = '\n';
  bool termCharEnabled = false;
};

// What an instrument is doing with the bytes it was sent and the answers it
// has to give, the same for every session on it.
struct SimResourceIo {
  std::string input;               // received, not yet ended by the line end
  std::deque<std::string> output;  // answers ready to be read, each with its line end
  std::deque<std::string> coming;  // answers not yet ready (a slow instrument)
  std::deque<SimQueueEntry> errors;  // the error queue of an instrument that is no mainframe
  int32_t deviceClears = 0;
};

class CSimBenchState {
 public:
  CSimBenchState() = default;
  // Resources point into the bench.
  CSimBenchState(const CSimBenchState&) = delete;
  CSimBenchState& operator=(const CSimBenchState&) = delete;

  bool Usable() const { return m_benchError.empty(); }
  const std::string& BenchError() const { return m_benchError; }
  const SimBench& Bench() const { return m_bench; }

  // Replaces the bench and forgets every session and instrument state.
  void Use(SimBench bench);
  void Refuse(const std::string& error);

  // Driver side.
  int FindMainframe(const std::string& address) const;  // -1 when none
  KvSession OpenSession(size_t mainframe);
  SimDriverSession* Session(KvSession session);
  void CloseSession(KvSession session) { m_sessions.erase(session); }
  const SimMainframe& Mainframe(size_t index) const { return m_bench.mainframes[index]; }
  SimMainframeState& MainframeState(size_t index) { return m_mainframeStates[index]; }
  void QueueError(size_t mainframe, const SimQueueEntry& entry);
  void Preset(size_t mainframe);
  bool AnyLaserOn(size_t mainframe) const;
  std::string StatusText(int32_t status) const;

  // VISA side.
  const std::vector<SimVisaResource>& Resources() const { return m_resources; }
  int FindResource(const std::string& key) const;  // -1 when none
  SimResourceIo& ResourceIo(size_t resource) { return m_resourceIo[resource]; }
  // A mainframe's error queue is the one its driver reads; an instrument has its own.
  std::deque<SimQueueEntry>& ErrorQueue(size_t resource);
  void QueueVisaError(size_t resource, const SimQueueEntry& entry);
  ViSession AddVisaObject(const SimVisaObject& object);
  SimVisaObject* VisaObject(ViSession session);
  void CloseVisaObject(ViSession session);
  size_t OpenVisaObjects() const { return m_visaObjects.size(); }

 private:
  SimBench m_bench;
  std::string m_benchError;
  std::vector<SimMainframeState> m_mainframeStates;
  std::map<KvSession, SimDriverSession> m_sessions;
  KvSession m_nextSession = 0x00010001u;
  std::vector<SimVisaResource> m_resources;
  std::vector<SimResourceIo> m_resourceIo;
  std::map<ViSession, SimVisaObject> m_visaObjects;
  ViSession m_nextVisaObject = 0x00020001u;
};

// The state of this library; the first use reads the bench named by
// BENCHSENTRY_BENCH, or the default bench when none is named.
CSimBenchState& SimState();

// Waits of the simulated instruments; tests put a hook in place of the wait.
void SimDelay(int32_t milliseconds);
void SimSetDelayHookInternal(void (*hook)(int32_t milliseconds));

// Copies text into a caller's buffer of capacity bytes: truncated, always terminated.
void CopyText(char* target, size_t capacity, const std::string& text);

}  // namespace sim
