// kv740m_32.dll: the instrument driver of the simulated mainframes.
#include <cctype>
#include <cmath>

#include "sim/SimAddress.h"
#include "sim/SimFunctions.h"
#include "sim/SimState.h"
#include "sim/SimStatus.h"

namespace sim {
namespace {

constexpr double kMinWavelength = 1.0e-6;
constexpr double kMaxWavelength = 2.0e-6;
constexpr int32_t kMaxSweepSteps = 100000;

bool InRange(int32_t value, int32_t minimum, int32_t maximum) { return value >= minimum && value <= maximum; }
bool IsWavelength(double value) { return value >= kMinWavelength && value <= kMaxWavelength; }

KvStatus InstrumentError(size_t mainframe, const SimQueueEntry& entry) {
  SimState().QueueError(mainframe, entry);
  return kKvInstrumentError;
}

// The bench's fault for this call on this mainframe, 0 when it has none.
KvStatus Fault(size_t mainframe, const char* function) {
  for (const SimFault& fault : SimState().Mainframe(mainframe).faults) {
    if (fault.function == function) {
      return fault.status == kKvInstrumentError ? InstrumentError(mainframe, fault.entry) : fault.status;
    }
  }
  return 0;
}

// Every session call starts here. A negative result ends the call; a positive
// one is a warning fault: the call does its work and returns the warning.
KvStatus Enter(KvSession session, const char* function, size_t& mainframe) {
  CSimBenchState& state = SimState();
  if (!state.Usable()) {
    return kSimErrorBench;
  }
  const SimDriverSession* open = state.Session(session);
  if (open == nullptr) {
    return kViErrorInvalidObject;
  }
  mainframe = open->mainframe;
  return Fault(mainframe, function);
}

using ModuleTest = bool (*)(int32_t type);
bool IsMeter(int32_t type) { return IsPowerMeter(type); }
bool IsTunable(int32_t type) { return type == kSlotTunableLaser; }
bool IsFixedLaser(int32_t type) { return type == kSlotLaserSource || type == kSlotDualLaserSource; }

// Enter, then the slot must hold the right kind of module.
KvStatus EnterModule(KvSession session, int32_t slot, const char* function, ModuleTest fits,
                     size_t& mainframe) {
  KvStatus status = Enter(session, function, mainframe);
  if (status < 0) {
    return status;
  }
  if (!InRange(slot, 0, kSlotCount - 1)) {
    return ParameterError(2);
  }
  if (!fits(SimState().Mainframe(mainframe).slots[slot].type)) {
    return kKvErrorWrongModule;
  }
  return status;
}

// A locked laser refuses every change of its settings.
KvStatus EnterLaserChange(KvSession session, int32_t slot, const char* function, size_t& mainframe) {
  KvStatus status = EnterModule(session, slot, function, IsTunable, mainframe);
  if (status < 0) {
    return status;
  }
  const SimSlot& laser = SimState().Mainframe(mainframe).slots[slot];
  return laser.locked ? InstrumentError(mainframe, laser.lockedEntry) : status;
}

KvStatus CheckChannel(size_t mainframe, int32_t slot, int32_t channel, int parameter) {
  return InRange(channel, 0, ChannelCount(SimState().Mainframe(mainframe).slots[slot].type) - 1)
             ? 0
             : ParameterError(parameter);
}

SimSlotState& SlotState(size_t mainframe, int32_t slot) { return SimState().MainframeState(mainframe).slots[slot]; }

double ReadingWatts(size_t mainframe, int32_t slot, int32_t channel) {
  const SimSlot& meter = SimState().Mainframe(mainframe).slots[slot];
  return SimState().AnyLaserOn(mainframe) ? meter.lit[channel] : meter.dark[channel];
}

double InUnit(double watts, int32_t unit) {
  if (unit == 1) {
    return watts;
  }
  return watts > 0.0 ? 10.0 * std::log10(watts * 1000.0) : -200.0;
}

std::string Upper(const std::string& text) {
  std::string upper;
  for (char c : text) {
    upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  }
  return upper;
}

std::string Trimmed(const char* text) {
  std::string command(text);
  while (!command.empty() && std::isspace(static_cast<unsigned char>(command.back()))) {
    command.pop_back();
  }
  size_t start = 0;
  while (start < command.size() && std::isspace(static_cast<unsigned char>(command[start]))) {
    ++start;
  }
  return Upper(command.substr(start));
}

std::string QueueAnswer(SimMainframeState& state) {
  if (state.errorQueue.empty()) {
    return "+0,\"No error\"";
  }
  SimQueueEntry entry = state.errorQueue.front();
  state.errorQueue.pop_front();
  return (entry.code > 0 ? "+" : "") + std::to_string(entry.code) + ",\"" + entry.message + "\"";
}

const SimQueueEntry kUndefinedHeader{-113, "Undefined header"};
const SimQueueEntry kHardwareMissing{-241, "Hardware missing"};
const SimQueueEntry kNoSweep{-221, "Settings conflict; no sweep configured"};
const SimQueueEntry kSweepNotRunning{-221, "Settings conflict; no sweep running"};

// The answer of a mainframe to a query command; a command it does not know
// leaves an error in its queue.
KvStatus Answer(size_t mainframe, const std::string& command, std::string& answer) {
  const SimMainframe& bench = SimState().Mainframe(mainframe);
  if (command == "*IDN?") {
    answer = bench.identification;
    return 0;
  }
  if (command == "SYST:ERR?" || command == "SYSTEM:ERROR?") {
    answer = QueueAnswer(SimState().MainframeState(mainframe));
    return 0;
  }
  if (command == "*OPC?") {
    answer = "1";
    return 0;
  }
  if (command.compare(0, 4, "SLOT") == 0 && command.size() > 9 &&
      command.compare(command.size() - 5, 5, ":IDN?") == 0) {
    const std::string number = command.substr(4, command.size() - 9);
    if (number.size() <= 2 && std::isdigit(static_cast<unsigned char>(number[0])) &&
        (number.size() == 1 || std::isdigit(static_cast<unsigned char>(number[1])))) {
      const int slot = std::stoi(number);
      if (slot < kSlotCount) {
        if (bench.slots[slot].type == kSlotEmpty) {
          return InstrumentError(mainframe, kHardwareMissing);
        }
        answer = bench.slots[slot].identification;
        return 0;
      }
    }
  }
  return InstrumentError(mainframe, kUndefinedHeader);
}

// A sweep that ends sends its triggers down the chain: every power meter of a
// mainframe in the chain that listens for triggers logs one value per trigger.
void EndSweep(size_t laserMainframe, int32_t laserSlot) {
  CSimBenchState& state = SimState();
  SimSlotState& laser = SlotState(laserMainframe, laserSlot);
  laser.sweepRunning = false;
  if (state.MainframeState(laserMainframe).triggerConfiguration == 0 || laser.triggerOut == 0) {
    return;
  }
  for (size_t m = 0; m < state.Bench().mainframes.size(); ++m) {
    SimMainframeState& mainframe = state.MainframeState(m);
    if (mainframe.triggerConfiguration == 0) {
      continue;
    }
    for (int32_t slot = 0; slot < kSlotCount; ++slot) {
      const int32_t type = state.Mainframe(m).slots[slot].type;
      if (!IsPowerMeter(type) || mainframe.slots[slot].triggerIn == 0) {
        continue;
      }
      for (int32_t channel = 0; channel < ChannelCount(type); ++channel) {
        SimChannelState& logging = mainframe.slots[slot].channels[channel];
        if (!logging.loggingArmed) {
          continue;
        }
        for (int32_t t = 0; t < laser.sweepTriggers && logging.triggersReceived < logging.loggingPoints; ++t) {
          logging.logged.push_back(ReadingWatts(m, slot, channel));
          ++logging.triggersReceived;
        }
      }
    }
  }
}

}  // namespace
}  // namespace sim

using namespace sim;

BS_SIM_BEGIN_EXPORTS

KvStatus BS_STDCALL kv740m_listVisa_Q(int32_t interfaceType, int32_t selection, int32_t* count, char* list) try {
  if (count == nullptr) {
    return ParameterError(3);
  }
  if (list == nullptr) {
    return ParameterError(4);
  }
  *count = 0;
  list[0] = '\0';
  CSimBenchState& state = SimState();
  if (!state.Usable()) {
    return kSimErrorBench;
  }
  if (interfaceType != 0) {
    return ParameterError(1);
  }
  if (!InRange(selection, 0, 1)) {
    return ParameterError(2);
  }
  SimDelay(state.Bench().listing.delayMilliseconds);
  if (state.Bench().listing.fails) {
    return state.Bench().listing.status;
  }
  // Selection 1 lists the mainframes, 0 every instrument on the bus.
  const size_t listed = selection == 1 ? state.Bench().mainframes.size() : state.Resources().size();
  std::string text;
  int32_t items = 0;
  for (size_t i = 0; i < listed; ++i) {
    const std::string& address = state.Resources()[i].address;
    const size_t length = text.size() + (items > 0 ? 1 : 0) + address.size();
    if (length > kListCapacity - 1) {
      break;  // whole addresses only, so that the count matches the list
    }
    text += (items > 0 ? "," : "") + address;
    ++items;
  }
  CopyText(list, kListCapacity, text);
  *count = items;
  return 0;
} catch (...) {
  return kSimErrorUnexpected;
}

KvStatus BS_STDCALL kv740m_get_PWM_calibration_Q(KvSession session, int32_t slot, int32_t channel, double* value) try {
  size_t mainframe = 0;
  KvStatus status = EnterModule(session, slot, __func__, IsMeter, mainframe);
  if (status < 0) {
    return status;
  }
  if (KvStatus bad = CheckChannel(mainframe, slot, channel, 3)) {
    return bad;
  }
  if (value == nullptr) {
    return ParameterError(4);
  }
  *value = SimState().Mainframe(mainframe).slots[slot].calibration;
  return status;
} catch (...) {
  return kSimErrorUnexpected;
}

KvStatus BS_STDCALL kv740m_init(const char* address, uint16_t idQuery, uint16_t reset, KvSession* session) try {
  if (session == nullptr) {
    return ParameterError(4);
  }
  *session = 0;
  CSimBenchState& state = SimState();
  if (!state.Usable()) {
    return kSimErrorBench;
  }
  if (address == nullptr) {
    return ParameterError(1);
  }
  const int mainframe = state.FindMainframe(address);
  if (mainframe < 0) {
    const std::string key = AddressKey(address);
    return !key.empty() && state.FindResource(key) >= 0 ? kKvErrorFailIdQuery : kViErrorResourceNotFound;
  }
  KvStatus status = Fault(static_cast<size_t>(mainframe), __func__);
  if (status < 0) {
    return status;
  }
  *session = state.OpenSession(static_cast<size_t>(mainframe));
  if (reset != 0) {
    state.Preset(static_cast<size_t>(mainframe));
  }
  return status;
} catch (...) {
  return kSimErrorUnexpected;
}

KvStatus BS_STDCALL kv740m_getInstrumentId_Q(const char* address, char* identification) try {
  if (identification == nullptr) {
    return ParameterError(2);
  }
  identification[0] = '\0';
  CSimBenchState& state = SimState();
  if (!state.Usable()) {
    return kSimErrorBench;
  }
  if (address == nullptr) {
    return ParameterError(1);
  }
  const int mainframe = state.FindMainframe(address);
  if (mainframe >= 0) {
    KvStatus status = Fault(static_cast<size_t>(mainframe), __func__);
    if (status < 0) {
      return status;
    }
    CopyText(identification, kIdentificationCapacity, state.Mainframe(static_cast<size_t>(mainframe)).identification);
    return status;
  }
  const int resource = state.FindResource(AddressKey(address));
  if (resource < 0) {
    return kViErrorResourceNotFound;
  }
  CopyText(identification, kIdentificationCapacity, *state.Resources()[static_cast<size_t>(resource)].identification);
  return 0;
} catch (...) {
  return kSimErrorUnexpected;
}

KvStatus BS_STDCALL kv740m_getNoOfRegPWMChannels_Q(KvSession session, uint32_t* channels) try {
  size_t mainframe = 0;
  KvStatus status = Enter(session, __func__, mainframe);
  if (status < 0) {
    return status;
  }
  if (channels == nullptr) {
    return ParameterError(2);
  }
  CSimBenchState& state = SimState();
  uint32_t total = 0;
  for (size_t m = 0; m < state.Bench().mainframes.size(); ++m) {
    if (!state.MainframeState(m).registered) {
      continue;
    }
    for (const SimSlot& slot : state.Mainframe(m).slots) {
      total += static_cast<uint32_t>(ChannelCount(slot.type));
    }
  }
  *channels = total;
  return status;
} catch (...) {
  return kSimErrorUnexpected;
}

KvStatus BS_STDCALL kv740m_registerMainframe(KvSession session) try {
  size_t mainframe = 0;
  KvStatus status = Enter(session, __func__, mainframe);
  if (status >= 0) {
    SimState().MainframeState(mainframe).registered = true;
  }
  return status;
} catch (...) {
  return kSimErrorUnexpected;
}

KvStatus BS_STDCALL kv740m_cls(KvSession session) try {
  size_t mainframe = 0;
  KvStatus status = Enter(session, __func__, mainframe);
  if (status >= 0) {
    SimState().MainframeState(mainframe).errorQueue.clear();
  }
  return status;
} catch (...) {
  return kSimErrorUnexpected;
}

KvStatus BS_STDCALL kv740m_close(KvSession session) try {
  size_t mainframe = 0;
  KvStatus status = Enter(session, __func__, mainframe);
  if (status >= 0) {
    SimState().CloseSession(session);
  }
  return status;
} catch (...) {
  return kSimErrorUnexpected;
}

KvStatus BS_STDCALL kv740m_reset(KvSession session) try {
  size_t mainframe = 0;
  KvStatus status = Enter(session, __func__, mainframe);
  if (status >= 0) {
    SimState().Preset(mainframe);
    SimState().MainframeState(mainframe).errorQueue.clear();
  }
  return status;
} catch (...) {
  return kSimErrorUnexpected;
}

KvStatus BS_STDCALL kv740m_dcl(KvSession session) try {
  size_t mainframe = 0;
  return Enter(session, __func__, mainframe);
} catch (...) {
  return kSimErrorUnexpected;
}

KvStatus BS_STDCALL kv740m_error_query(KvSession session, int32_t* code, char* message) try {
  if (code == nullptr) {
    return ParameterError(2);
  }
  if (message == nullptr) {
    return ParameterError(3);
  }
  *code = 0;
  message[0] = '\0';
  if (!SimState().Usable()) {
    CopyText(message, kErrorMessageCapacity, SimState().BenchError());
    return kSimErrorBench;
  }
  size_t mainframe = 0;
  KvStatus status = Enter(session, __func__, mainframe);
  if (status < 0) {
    return status;
  }
  SimMainframeState& state = SimState().MainframeState(mainframe);
  if (state.errorQueue.empty()) {
    CopyText(message, kErrorMessageCapacity, "No error");
    return status;
  }
  *code = state.errorQueue.front().code;
  CopyText(message, kErrorMessageCapacity, state.errorQueue.front().message);
  state.errorQueue.pop_front();
  return status;
} catch (...) {
  return kSimErrorUnexpected;
}

KvStatus BS_STDCALL kv740m_error_message(KvSession session, KvStatus status, char* message) try {
  if (message == nullptr) {
    return ParameterError(3);
  }
  CSimBenchState& state = SimState();
  CopyText(message, kErrorMessageCapacity, state.StatusText(status));
  if (!state.Usable()) {
    return kSimErrorBench;
  }
  // No session is needed: the listing's errors come with none.
  if (session == 0) {
    return 0;
  }
  const SimDriverSession* open = state.Session(session);
  if (open == nullptr) {
    return kViErrorInvalidObject;
  }
  KvStatus fault = Fault(open->mainframe, __func__);
  if (fault < 0) {
    message[0] = '\0';
  }
  return fault;
} catch (...) {
  return kSimErrorUnexpected;
}

KvStatus BS_STDCALL kv740m_cmd(KvSession session, const char* command) try {
  size_t mainframe = 0;
  KvStatus status = Enter(session, __func__, mainframe);
  if (status < 0) {
    return status;
  }
  if (command == nullptr) {
    return ParameterError(2);
  }
  const std::string text = Trimmed(command);
  if (text == "*CLS") {
    SimState().MainframeState(mainframe).errorQueue.clear();
  } else if (text == "*RST") {
    SimState().Preset(mainframe);
  } else {
    return InstrumentError(mainframe, kUndefinedHeader);
  }
  return status;
} catch (...) {
  return kSimErrorUnexpected;
}

KvStatus BS_STDCALL kv740m_getSlotInformation_Q(KvSession session, int32_t count, int32_t* slotTypes) try {
  size_t mainframe = 0;
  KvStatus status = Enter(session, __func__, mainframe);
  if (status < 0) {
    return status;
  }
  if (count < 1) {
    return ParameterError(2);
  }
  if (slotTypes == nullptr) {
    return ParameterError(3);
  }
  const SimMainframe& bench = SimState().Mainframe(mainframe);
  for (int32_t slot = 0; slot < count && slot < kSlotCount; ++slot) {
    slotTypes[slot] = bench.slots[slot].type;
  }
  return status;
} catch (...) {
  return kSimErrorUnexpected;
}

KvStatus BS_STDCALL kv740m_cmdString_Q(KvSession session, const char* command, int32_t size, char* answer) try {
  if (answer == nullptr) {
    return ParameterError(4);
  }
  if (size < 1) {
    return ParameterError(3);
  }
  answer[0] = '\0';
  size_t mainframe = 0;
  KvStatus status = Enter(session, __func__, mainframe);
  if (status < 0) {
    return status;
  }
  if (command == nullptr) {
    return ParameterError(2);
  }
  std::string text;
  KvStatus answered = Answer(mainframe, Trimmed(command), text);
  if (answered < 0) {
    return answered;
  }
  CopyText(answer, static_cast<size_t>(size), text);
  return status;
} catch (...) {
  return kSimErrorUnexpected;
}

KvStatus BS_STDCALL kv740m_PWM_readValue(KvSession session, int32_t slot, int32_t channel, double* value) try {
  size_t mainframe = 0;
  KvStatus status = EnterModule(session, slot, __func__, IsMeter, mainframe);
  if (status < 0) {
    return status;
  }
  if (KvStatus bad = CheckChannel(mainframe, slot, channel, 3)) {
    return bad;
  }
  if (value == nullptr) {
    return ParameterError(4);
  }
  *value = InUnit(ReadingWatts(mainframe, slot, channel), SlotState(mainframe, slot).channels[channel].powerUnit);
  return status;
} catch (...) {
  return kSimErrorUnexpected;
}

KvStatus BS_STDCALL kv740m_set_PWM_parameters(KvSession session, int32_t slot, int32_t channel, int32_t rangeMode,
                                              int32_t powerUnit, int32_t internalTrigger, double wavelength,
                                              double averagingTime, double powerRange) try {
  size_t mainframe = 0;
  KvStatus status = EnterModule(session, slot, __func__, IsMeter, mainframe);
  if (status < 0) {
    return status;
  }
  if (KvStatus bad = CheckChannel(mainframe, slot, channel, 3)) {
    return bad;
  }
  if (!InRange(rangeMode, 0, 1)) return ParameterError(4);
  if (!InRange(powerUnit, 0, 1)) return ParameterError(5);
  if (!InRange(internalTrigger, 0, 1)) return ParameterError(6);
  if (!IsWavelength(wavelength)) return ParameterError(7);
  if (!(averagingTime > 0.0 && averagingTime <= 10000.0)) return ParameterError(8);
  if (!std::isfinite(powerRange)) return ParameterError(9);
  SimChannelState& state = SlotState(mainframe, slot).channels[channel];
  state.powerUnit = powerUnit;
  state.wavelength = wavelength;
  state.averagingTime = averagingTime;
  return status;
} catch (...) {
  return kSimErrorUnexpected;
}

KvStatus BS_STDCALL kv740m_set_TLS_wavelength(KvSession session, int32_t slot, double wavelength) try {
  size_t mainframe = 0;
  KvStatus status = EnterLaserChange(session, slot, __func__, mainframe);
  if (status < 0) {
    return status;
  }
  if (!IsWavelength(wavelength)) {
    return ParameterError(3);
  }
  SlotState(mainframe, slot).wavelength = wavelength;
  return status;
} catch (...) {
  return kSimErrorUnexpected;
}

KvStatus BS_STDCALL kv740m_set_TLS_laserState(KvSession session, int32_t slot, uint16_t state) try {
  size_t mainframe = 0;
  KvStatus status = EnterLaserChange(session, slot, __func__, mainframe);
  if (status < 0) {
    return status;
  }
  if (state > 1) {
    return ParameterError(3);
  }
  SlotState(mainframe, slot).laserOn = state;
  return status;
} catch (...) {
  return kSimErrorUnexpected;
}

KvStatus BS_STDCALL kv740m_set_FLS_laserState(KvSession session, int32_t slot, uint16_t state) try {
  size_t mainframe = 0;
  KvStatus status = EnterModule(session, slot, __func__, IsFixedLaser, mainframe);
  if (status < 0) {
    return status;
  }
  if (state > 1) {
    return ParameterError(3);
  }
  SlotState(mainframe, slot).laserOn = state;
  return status;
} catch (...) {
  return kSimErrorUnexpected;
}

KvStatus BS_STDCALL kv740m_set_TLS_parameters(KvSession session, int32_t slot, int32_t powerUnit,
                                              int32_t opticalOutput, int32_t turnLaser, double power,
                                              double attenuation, double wavelength) try {
  size_t mainframe = 0;
  KvStatus status = EnterLaserChange(session, slot, __func__, mainframe);
  if (status < 0) {
    return status;
  }
  if (!InRange(powerUnit, 0, 1)) return ParameterError(3);
  if (!InRange(opticalOutput, 0, 3)) return ParameterError(4);  // HIGHPOW, LOWSSE, BHR, BLR
  if (!InRange(turnLaser, 0, 1)) return ParameterError(5);
  if (!std::isfinite(power)) return ParameterError(6);
  if (!(attenuation >= 0.0 && attenuation <= 60.0)) return ParameterError(7);
  if (!IsWavelength(wavelength)) return ParameterError(8);
  SimSlotState& laser = SlotState(mainframe, slot);
  laser.opticalOutput = opticalOutput;
  laser.laserOn = static_cast<uint16_t>(turnLaser);
  laser.power = power;
  laser.wavelength = wavelength;
  return status;
} catch (...) {
  return kSimErrorUnexpected;
}

KvStatus BS_STDCALL kv740m_get_TLS_laserState_Q(KvSession session, int32_t slot, uint16_t* state) try {
  size_t mainframe = 0;
  KvStatus status = EnterModule(session, slot, __func__, IsTunable, mainframe);
  if (status < 0) {
    return status;
  }
  if (state == nullptr) {
    return ParameterError(3);
  }
  *state = SlotState(mainframe, slot).laserOn;
  return status;
} catch (...) {
  return kSimErrorUnexpected;
}

KvStatus BS_STDCALL kv740m_get_FLS_laserState_Q(KvSession session, int32_t slot, uint16_t* state) try {
  size_t mainframe = 0;
  KvStatus status = EnterModule(session, slot, __func__, IsFixedLaser, mainframe);
  if (status < 0) {
    return status;
  }
  if (state == nullptr) {
    return ParameterError(3);
  }
  *state = SlotState(mainframe, slot).laserOn;
  return status;
} catch (...) {
  return kSimErrorUnexpected;
}

KvStatus BS_STDCALL kv740m_get_TLS_opticalOutput_Q(KvSession session, int32_t slot, int32_t* output) try {
  size_t mainframe = 0;
  KvStatus status = EnterModule(session, slot, __func__, IsTunable, mainframe);
  if (status < 0) {
    return status;
  }
  if (output == nullptr) {
    return ParameterError(3);
  }
  *output = SlotState(mainframe, slot).opticalOutput;
  return status;
} catch (...) {
  return kSimErrorUnexpected;
}

KvStatus BS_STDCALL kv740m_set_TLS_sweep(KvSession session, int32_t slot, int32_t sweepMode, int32_t repeatMode,
                                         int32_t cycles, int32_t dwellTime, int32_t lambdaLogging, double start,
                                         double stop, double step, double speed) try {
  size_t mainframe = 0;
  KvStatus status = EnterLaserChange(session, slot, __func__, mainframe);
  if (status < 0) {
    return status;
  }
  if (!InRange(sweepMode, 0, 2)) return ParameterError(3);
  if (!InRange(repeatMode, 0, 1)) return ParameterError(4);
  if (!InRange(cycles, 1, 1000)) return ParameterError(5);
  if (!InRange(dwellTime, 0, 60000)) return ParameterError(6);
  if (!InRange(lambdaLogging, 0, 1)) return ParameterError(7);
  if (!IsWavelength(start)) return ParameterError(8);
  if (!IsWavelength(stop) || !(stop > start)) return ParameterError(9);
  if (!(step > 0.0) || step > stop - start) return ParameterError(10);
  if (!(speed > 0.0 && speed <= 1.0e-6)) return ParameterError(11);
  // The ratio of two decimal wavelengths is rarely a whole number in binary.
  const double steps = std::floor((stop - start) / step + 1e-6) + 1.0;
  if (steps * cycles > kMaxSweepSteps) {
    return ParameterError(10);
  }
  SimSlotState& laser = SlotState(mainframe, slot);
  laser.sweepConfigured = true;
  laser.sweepRunning = false;
  laser.sweepTriggers = static_cast<int32_t>(steps) * cycles;
  return status;
} catch (...) {
  return kSimErrorUnexpected;
}

KvStatus BS_STDCALL kv740m_TLS_sweepControl(KvSession session, int32_t slot, int32_t action) try {
  size_t mainframe = 0;
  KvStatus status = EnterLaserChange(session, slot, __func__, mainframe);
  if (status < 0) {
    return status;
  }
  if (!InRange(action, 0, 3)) {  // stop, start, pause, continue
    return ParameterError(3);
  }
  SimSlotState& laser = SlotState(mainframe, slot);
  if (action == 0) {
    laser.sweepRunning = false;  // stopped before its end: no triggers
  } else if (action == 1) {
    if (!laser.sweepConfigured) {
      return InstrumentError(mainframe, kNoSweep);
    }
    laser.sweepRunning = true;
  } else if (!laser.sweepRunning) {
    return InstrumentError(mainframe, kSweepNotRunning);
  }
  return status;
} catch (...) {
  return kSimErrorUnexpected;
}

KvStatus BS_STDCALL kv740m_TLS_sweepWait(KvSession session, int32_t slot) try {
  size_t mainframe = 0;
  KvStatus status = EnterModule(session, slot, __func__, IsTunable, mainframe);
  if (status < 0) {
    return status;
  }
  if (SlotState(mainframe, slot).sweepRunning) {
    EndSweep(mainframe, slot);
  }
  return status;
} catch (...) {
  return kSimErrorUnexpected;
}

KvStatus BS_STDCALL kv740m_set_PWM_logging(KvSession session, int32_t slot, int32_t channel, double averagingTime,
                                           int32_t points, double* estimatedTime) try {
  size_t mainframe = 0;
  KvStatus status = EnterModule(session, slot, __func__, IsMeter, mainframe);
  if (status < 0) {
    return status;
  }
  if (KvStatus bad = CheckChannel(mainframe, slot, channel, 3)) {
    return bad;
  }
  if (!(averagingTime > 0.0 && averagingTime <= 10000.0)) return ParameterError(4);
  if (!InRange(points, 1, static_cast<int32_t>(kMaxLoggingPoints))) return ParameterError(5);
  SimChannelState& logging = SlotState(mainframe, slot).channels[channel];
  logging.loggingArmed = true;
  logging.loggingPoints = points;
  logging.averagingTime = averagingTime;
  logging.triggersReceived = 0;
  logging.logged.clear();
  if (estimatedTime != nullptr) {
    *estimatedTime = averagingTime * points;
  }
  return status;
} catch (...) {
  return kSimErrorUnexpected;
}

KvStatus BS_STDCALL kv740m_set_TLS_triggerConfiguration(KvSession session, int32_t slot, int32_t triggerIn,
                                                        int32_t triggerOut) try {
  size_t mainframe = 0;
  KvStatus status = EnterLaserChange(session, slot, __func__, mainframe);
  if (status < 0) {
    return status;
  }
  if (!InRange(triggerIn, 0, 3)) return ParameterError(3);
  if (!InRange(triggerOut, 0, 3)) return ParameterError(4);
  SimSlotState& laser = SlotState(mainframe, slot);
  laser.triggerIn = triggerIn;
  laser.triggerOut = triggerOut;
  return status;
} catch (...) {
  return kSimErrorUnexpected;
}

KvStatus BS_STDCALL kv740m_set_PWM_triggerConfiguration(KvSession session, int32_t slot, int32_t triggerIn,
                                                        int32_t triggerOut) try {
  size_t mainframe = 0;
  KvStatus status = EnterModule(session, slot, __func__, IsMeter, mainframe);
  if (status < 0) {
    return status;
  }
  if (!InRange(triggerIn, 0, 3)) return ParameterError(3);
  if (!InRange(triggerOut, 0, 3)) return ParameterError(4);
  SimSlotState& meter = SlotState(mainframe, slot);
  meter.triggerIn = triggerIn;
  meter.triggerOut = triggerOut;
  return status;
} catch (...) {
  return kSimErrorUnexpected;
}

KvStatus BS_STDCALL kv740m_standardTriggerConfiguration(KvSession session, int32_t configuration, uint32_t nodeA,
                                                        uint32_t nodeB, uint32_t nodeC) try {
  size_t mainframe = 0;
  KvStatus status = Enter(session, __func__, mainframe);
  if (status < 0) {
    return status;
  }
  if (!InRange(configuration, 0, 4)) {  // 0 leaves the mainframe out of the trigger chain
    return ParameterError(2);
  }
  SimState().MainframeState(mainframe).triggerConfiguration = configuration;
  return status;
} catch (...) {
  return kSimErrorUnexpected;
}

KvStatus BS_STDCALL kv740m_get_PWM_loggingResults_Q(KvSession session, int32_t slot, int32_t channel,
                                                    uint16_t waitForCompletion, uint16_t resultUnit,
                                                    uint16_t* finished, double* results) try {
  if (finished != nullptr) {
    *finished = 0;
  }
  size_t mainframe = 0;
  KvStatus status = EnterModule(session, slot, __func__, IsMeter, mainframe);
  if (status < 0) {
    return status;
  }
  if (KvStatus bad = CheckChannel(mainframe, slot, channel, 3)) {
    return bad;
  }
  if (resultUnit > 1) return ParameterError(5);
  if (finished == nullptr) return ParameterError(6);
  if (results == nullptr) return ParameterError(7);
  const SimChannelState& logging = SlotState(mainframe, slot).channels[channel];
  if (!logging.loggingArmed) {
    return kKvErrorNoLogging;
  }
  const bool done = logging.triggersReceived >= logging.loggingPoints &&
                    SimState().Mainframe(mainframe).slots[slot].loggingFinishes;
  if (!done) {
    return waitForCompletion != 0 ? kViErrorTimeout : status;
  }
  // As many values as were armed: the caller's array was sized for them.
  for (size_t i = 0; i < logging.logged.size(); ++i) {
    results[i] = InUnit(logging.logged[i], resultUnit);
  }
  *finished = 1;
  return status;
} catch (...) {
  return kSimErrorUnexpected;
}

KvStatus BS_STDCALL kv740m_PWM_functionStop(KvSession session, int32_t slot, int32_t channel) try {
  size_t mainframe = 0;
  KvStatus status = EnterModule(session, slot, __func__, IsMeter, mainframe);
  if (status < 0) {
    return status;
  }
  if (KvStatus bad = CheckChannel(mainframe, slot, channel, 3)) {
    return bad;
  }
  SlotState(mainframe, slot).channels[channel].loggingArmed = false;
  return status;
} catch (...) {
  return kSimErrorUnexpected;
}

KvStatus BS_STDCALL kv740m_preset(KvSession session) try {
  size_t mainframe = 0;
  KvStatus status = Enter(session, __func__, mainframe);
  if (status >= 0) {
    SimState().Preset(mainframe);
  }
  return status;
} catch (...) {
  return kSimErrorUnexpected;
}

KvStatus BS_STDCALL kv740m_forceTransaction(KvSession session, uint16_t force) try {
  size_t mainframe = 0;
  KvStatus status = Enter(session, __func__, mainframe);
  if (status < 0) {
    return status;
  }
  if (force > 1) {
    return ParameterError(2);
  }
  SimState().Session(session)->forceTransaction = force;
  return status;
} catch (...) {
  return kSimErrorUnexpected;
}

KvStatus BS_STDCALL kv740m_errorQueryDetect(KvSession session, uint16_t detect) try {
  size_t mainframe = 0;
  KvStatus status = Enter(session, __func__, mainframe);
  if (status < 0) {
    return status;
  }
  if (detect > 1) {
    return ParameterError(2);
  }
  SimState().Session(session)->errorQueryDetect = detect;
  return status;
} catch (...) {
  return kSimErrorUnexpected;
}

KvStatus BS_STDCALL kv740m_timeOut(KvSession session, uint32_t milliseconds) try {
  size_t mainframe = 0;
  KvStatus status = Enter(session, __func__, mainframe);
  if (status >= 0) {
    SimState().Session(session)->timeoutMilliseconds = milliseconds;
  }
  return status;
} catch (...) {
  return kSimErrorUnexpected;
}

BS_SIM_END_EXPORTS
