#include "sim/SimState.h"

#include <cstring>
#include <utility>

#include "sim/SimAddress.h"
#include "sim/SimBenchFile.h"
#include "sim/SimHost.h"
#include "sim/SimStatus.h"

namespace sim {
namespace {

void (*g_delayHook)(int32_t) = nullptr;

const SimQueueEntry kQueueOverflow{-350, "Queue overflow"};

void LoadInitialBench(CSimBenchState& state) {
  SimBench bench;
  std::string error;
  const std::string path = BenchFileFromEnvironment();
  bool read = path.empty() ? ReadBenchText(DefaultBenchText(), kDefaultBenchName, bench, error)
                           : ReadBenchFile(path, bench, error);
  if (read) {
    state.Use(std::move(bench));
  } else {
    ReportBenchError(error);
    state.Refuse(error);
  }
}

}  // namespace

void CSimBenchState::Use(SimBench bench) {
  m_bench = std::move(bench);
  m_benchError.clear();
  m_sessions.clear();
  m_visaObjects.clear();
  m_mainframeStates.assign(m_bench.mainframes.size(), SimMainframeState());
  for (size_t i = 0; i < m_bench.mainframes.size(); ++i) {
    for (const SimQueueEntry& entry : m_bench.mainframes[i].errorQueue) {
      QueueError(i, entry);
    }
  }
  m_resources.clear();
  for (const SimMainframe& mainframe : m_bench.mainframes) {
    m_resources.push_back({mainframe.address, AddressKey(mainframe.address), &mainframe.identification,
                           &mainframe.visa});
  }
  for (const SimInstrument& instrument : m_bench.instruments) {
    m_resources.push_back({instrument.address, AddressKey(instrument.address), &instrument.identification,
                           &instrument.visa});
  }
  m_resourceIo.assign(m_resources.size(), SimResourceIo());
}

void CSimBenchState::Refuse(const std::string& error) {
  Use(SimBench());
  m_benchError = error.empty() ? std::string("bench file refused") : error;
}

int CSimBenchState::FindMainframe(const std::string& address) const {
  const std::string key = AddressKey(address);
  if (key.empty()) {
    return -1;
  }
  for (size_t i = 0; i < m_bench.mainframes.size(); ++i) {
    if (m_resources[i].key == key) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

KvSession CSimBenchState::OpenSession(size_t mainframe) {
  // Handles only grow, so the map's first entry is the oldest.
  if (m_sessions.size() >= kMaxDriverSessions) {
    m_sessions.erase(m_sessions.begin());
  }
  KvSession session = m_nextSession++;
  m_sessions[session].mainframe = mainframe;
  return session;
}

SimDriverSession* CSimBenchState::Session(KvSession session) {
  auto it = m_sessions.find(session);
  return it == m_sessions.end() ? nullptr : &it->second;
}

// As after power-on, except for the error queue, which a preset keeps.
void CSimBenchState::Preset(size_t mainframe) {
  SimMainframeState& state = m_mainframeStates[mainframe];
  state.triggerConfiguration = 0;
  for (SimSlotState& slot : state.slots) {
    slot = SimSlotState();
  }
}

namespace {

void Enqueue(std::deque<SimQueueEntry>& queue, const SimQueueEntry& entry) {
  if (queue.size() < kErrorQueueCapacity) {
    queue.push_back(entry);
  } else {
    queue.back() = kQueueOverflow;
  }
}

}  // namespace

void CSimBenchState::QueueError(size_t mainframe, const SimQueueEntry& entry) {
  Enqueue(m_mainframeStates[mainframe].errorQueue, entry);
}

std::deque<SimQueueEntry>& CSimBenchState::ErrorQueue(size_t resource) {
  // Resources list the mainframes first, in the same order.
  if (resource < m_mainframeStates.size()) return m_mainframeStates[resource].errorQueue;
  return m_resourceIo[resource].errors;
}

void CSimBenchState::QueueVisaError(size_t resource, const SimQueueEntry& entry) {
  Enqueue(ErrorQueue(resource), entry);
}

bool CSimBenchState::AnyLaserOn(size_t mainframe) const {
  const SimMainframe& bench = m_bench.mainframes[mainframe];
  const SimMainframeState& state = m_mainframeStates[mainframe];
  for (int slot = 0; slot < kSlotCount; ++slot) {
    if (bench.slots[slot].type == kSlotTunableLaser && state.slots[slot].laserOn != 0) {
      return true;
    }
  }
  return false;
}

std::string CSimBenchState::StatusText(int32_t status) const {
  if (!Usable() && status == kSimErrorBench) {
    return m_benchError;
  }
  for (const SimStatusText& known : m_bench.statusTexts) {
    if (known.status == status) {
      return known.text;
    }
  }
  std::string text = BuiltinStatusText(status);
  return text.empty() ? "Unknown status code " + StatusHex(status) : text;
}

int CSimBenchState::FindResource(const std::string& key) const {
  for (size_t i = 0; i < m_resources.size(); ++i) {
    if (m_resources[i].key == key) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

ViSession CSimBenchState::AddVisaObject(const SimVisaObject& object) {
  if (m_visaObjects.size() >= kMaxVisaObjects) {
    CloseVisaObject(m_visaObjects.begin()->first);
  }
  ViSession session = m_nextVisaObject++;
  m_visaObjects[session] = object;
  return session;
}

SimVisaObject* CSimBenchState::VisaObject(ViSession session) {
  auto it = m_visaObjects.find(session);
  return it == m_visaObjects.end() ? nullptr : &it->second;
}

// Closing a resource manager closes everything opened through it.
void CSimBenchState::CloseVisaObject(ViSession session) {
  auto it = m_visaObjects.find(session);
  if (it == m_visaObjects.end()) {
    return;
  }
  if (it->second.kind == SimVisaKind::kResourceManager) {
    for (auto child = m_visaObjects.begin(); child != m_visaObjects.end();) {
      if (child->second.kind != SimVisaKind::kResourceManager && child->second.resourceManager == session) {
        child = m_visaObjects.erase(child);
      } else {
        ++child;
      }
    }
  }
  m_visaObjects.erase(session);
}

CSimBenchState& SimState() {
  static CSimBenchState state;
  static const bool loaded = (LoadInitialBench(state), true);
  (void)loaded;
  return state;
}

void SimDelay(int32_t milliseconds) {
  if (milliseconds <= 0) {
    return;
  }
  if (g_delayHook != nullptr) {
    g_delayHook(milliseconds);
  } else {
    SleepMilliseconds(milliseconds);
  }
}

void SimSetDelayHookInternal(void (*hook)(int32_t milliseconds)) { g_delayHook = hook; }

void CopyText(char* target, size_t capacity, const std::string& text) {
  if (target == nullptr || capacity == 0) {
    return;
  }
  const size_t length = text.size() < capacity - 1 ? text.size() : capacity - 1;
  std::memcpy(target, text.data(), length);
  target[length] = '\0';
}

}  // namespace sim
