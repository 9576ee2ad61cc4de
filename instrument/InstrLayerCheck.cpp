#include "instrument/InstrLayerCheck.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "instrument/ListItem.h"
#include "platform/Platform.h"

const char kDriverLibrary[] = "kv740m_32.dll";

namespace {

constexpr size_t kListSize = kKvListSize;
constexpr size_t kIdentificationSize = kKvIdentificationSize;
constexpr size_t kMessageSize = kKvMessageSize;
constexpr int32_t kSlotAnswerSize = 100;
constexpr int32_t kInvalidTask = kInstrumentLayer.tasks + 2;

const char kFiveMinutes[] =
    "Please be aware, that it might take a long time up to 5 minutes to get a list of all\r\n"
    "<br>existing GPIB kv740m addresses.\r\n<br>";
const char kNoDevice[] =
    "Could not find any device. Check the cable connection and weather an application is "
    "running on the mainframe <br>\r\n";

// A text the driver fills without being told its size: terminated at our end
// whatever the driver did.
std::string Terminated(std::vector<char>& buffer) {
  buffer.back() = '\0';
  return std::string(buffer.data());
}

// The items of a comma-separated list: none in an empty list.
int32_t ListedItems(const std::string& list) {
  if (list.empty()) return 0;
  return static_cast<int32_t>(std::count(list.begin(), list.end(), ',') + 1);
}

}  // namespace

CInstrLayerCheck::CInstrLayerCheck() : CInstrLayerCheck(kInstrumentLayer) {}

CInstrLayerCheck::CInstrLayerCheck(const CLayerTexts& layer) : CLayerCheck(layer) {
  m_findings.Hold(Finding::Layer::mainframes);
}

CInstrLayerCheck::~CInstrLayerCheck() = default;

int CInstrLayerCheck::RunTask(int task) {
  switch (task) {
    case 1:
      m_error = m_driverStatus;
      break;
    case 2:
      if (m_error == 0) {
        std::string list;
        int32_t count = 0;
        ListMainframes(list, count);
        if (count < 1) {
          WriteError(kNoDevice);
          m_error = kInstrErrorNoDevice;
        } else {
          Write("list of addresses: ");
          WriteExternal(list.c_str());
          Write("<br>\r\n");
        }
        for (int i = 1; i <= count; ++i) {
          std::string address;
          GetListItem(i, list.c_str(), ',', address);
          Write("Details for ");
          WriteExternal(address.c_str());
          Write(":<br>\r\n");
          ReportMainframe(address.c_str());
        }
      }
      break;
  }
  return task + 1;
}

int CInstrLayerCheck::BeginWithDriver() {
  Begin();
  m_driverStatus = LoadDriver();
  return m_driverStatus;
}

int CInstrLayerCheck::LoadDriver() {
  ILibraries* libraries = GetPlatform().libraries;
  ModuleHandle module = libraries != nullptr ? libraries->LoadLibrary(kDriverLibrary) : nullptr;
  if (module == nullptr) {
    WriteError("Could not load kv740m_32.dll, please run the ZELK layer check first\r\n<br>");
    m_task = kInvalidTask;
    m_error = kDriverNotLoadable;
    return kDriverNotLoadable;
  }
  // The library stays loaded until the process ends: sessions outlive the check.
  m_driver = module;
  m_kv.LookUp(*libraries, module);
  const int missing = CheckDriverEntries();
  if (missing != 0) {
    m_error = missing;
    m_task = kInvalidTask;
  }
  return missing;
}

int CInstrLayerCheck::CheckDriverEntries() {
  const char* name = nullptr;
  const int32_t missing = m_kv.FirstMissing(&name);
  if (missing == 0) return 0;
  std::string message = name;
  // The one message of the list that lacks "not found in".
  message += missing == 12 ? " kv740m_32.dll" : " not found in kv740m_32.dll";
  Write(message.c_str());
  return missing;
}

int CInstrLayerCheck::ReportDriverError(KvSession session, KvStatus status) {
  if (status >= 0) return status;
  m_error = kInstrErrorDriverCall;
  char message[kMessageSize] = {};
  if (status == kKvInstrumentError) {
    int32_t code = 0;
    if (m_kv.kv740m_error_query != nullptr) m_kv.kv740m_error_query(session, &code, message);
    WriteError("\r\n<br>Instrument Error : ");
  } else {
    if (m_kv.kv740m_error_message != nullptr) m_kv.kv740m_error_message(session, status, message);
    WriteError("Driver Error : ");
  }
  message[kMessageSize - 1] = '\0';
  WriteErrorExternal(message);
  Write("<br>\r\n");
  const KvStatus cleared = m_kv.kv740m_cls != nullptr ? m_kv.kv740m_cls(session) : kKvEntryMissing;
  EndErrorReport();
  return cleared;
}

int CInstrLayerCheck::OpenMainframe(const char* address, KvSession& session) {
  session = 0;
  // A mainframe that does not answer holds the init until its timeout.
  ReportBlockingCall((std::string("mainframe ") + address).c_str(),
                     (std::string("the init of ") + address).c_str());
  KvStatus status = m_kv.kv740m_init != nullptr ? m_kv.kv740m_init(address, 1, 0, &session) : kKvEntryMissing;
  ReportDriverError(session, status);
  Write("Performing pnp driver function 'kv740m_preset'\r\n<br>");
  status = m_kv.kv740m_preset != nullptr ? m_kv.kv740m_preset(session) : kKvEntryMissing;
  return ReportDriverError(session, status);
}

int CInstrLayerCheck::PrepareTriggering(KvSession session) {
  if (m_kv.kv740m_forceTransaction == nullptr || m_kv.kv740m_errorQueryDetect == nullptr ||
      m_kv.kv740m_standardTriggerConfiguration == nullptr) {
    return ReportDriverError(session, kKvEntryMissing);
  }
  ReportDriverError(session, m_kv.kv740m_forceTransaction(session, 1));
  ReportDriverError(session, m_kv.kv740m_errorQueryDetect(session, 1));
  const KvStatus status = m_kv.kv740m_standardTriggerConfiguration(session, 3, 0, 0, 0);
  ReportDriverError(session, status);
  return status;
}

int CInstrLayerCheck::ConfigureTlsSweep(KvSession session) {
  if (m_kv.kv740m_set_TLS_triggerConfiguration == nullptr || m_kv.kv740m_set_TLS_sweep == nullptr) {
    return ReportDriverError(session, kKvEntryMissing);
  }
  ReportDriverError(session, m_kv.kv740m_set_TLS_triggerConfiguration(session, 0, 0, 2));
  const KvStatus status =
      m_kv.kv740m_set_TLS_sweep(session, 0, 2, 0, 1, 0, 0, 1.545e-6, 1.555e-6, 1e-9, 5e-9);
  ReportDriverError(session, status);
  return status;
}

void CInstrLayerCheck::ListMainframes(std::string& list, int32_t& count) {
  if (m_mainframeCount != -1) {
    list = m_mainframeList;
    count = m_mainframeCount;
    return;
  }
  Write(kFiveMinutes);
  // The warning is on screen before the listing holds the thread; the caption
  // says why.
  Flush();
  ReportBlockingCall("listing mainframes (this can take minutes)", "the listing");
  std::vector<char> buffer(kListSize, '\0');
  count = 0;
  const KvStatus status = m_kv.kv740m_listVisa_Q != nullptr
                              ? m_kv.kv740m_listVisa_Q(0, 1, &count, buffer.data())
                              : kKvEntryMissing;
  if (status != 0) {
    Write("List could not be retrieved \r\n<br>");
    ReportDriverError(0, status);
    count = 0;
    list.clear();
    return;
  }
  list = Terminated(buffer);
  // A count beyond the addresses listed would have each missing one reported
  // with an empty address, billions of times for a broken count.
  count = std::min(count, ListedItems(list));
  m_mainframeCount = count;
  m_mainframeList = list;
}

int CInstrLayerCheck::OpenAllMainframes() {
  std::string list;
  int32_t count = 0;
  ListMainframes(list, count);
  if (count < 1) return count;
  m_sessions.assign(static_cast<size_t>(count), 0);
  for (int32_t i = 1; i <= count; ++i) {
    std::string address;
    GetListItem(i, list.c_str(), ',', address);
    OpenMainframe(address.c_str(), m_sessions[static_cast<size_t>(i - 1)]);
  }
  return count;
}

int CInstrLayerCheck::ReportMainframe(const char* address) {
  m_findings.Add(Finding::Layer::mainframes);
  m_findings.Set(Finding::Mainframe::address, address);
  ReportSlots(address);
  m_findings.Leave();
  return m_error;
}

void CInstrLayerCheck::ReportSlots(const char* address) {
  KvSession session = 0;
  OpenMainframe(address, session);
  if (m_kv.kv740m_cls != nullptr) m_kv.kv740m_cls(session);

  std::vector<char> identification(kIdentificationSize, '\0');
  const KvStatus idStatus = m_kv.kv740m_getInstrumentId_Q != nullptr
                                ? m_kv.kv740m_getInstrumentId_Q(address, identification.data())
                                : kKvEntryMissing;
  // A warning is success: its answer is written as any other.
  if (idStatus >= 0) {
    const std::string text = Terminated(identification);
    Write("InstrumentID: ");
    WriteInfoExternal(Keep(Finding::Mainframe::identification, text.c_str()));
    Write("<br>\r\n");
  } else {
    ReportDriverError(session, idStatus);
  }

  GetSlotTypes(session, m_slotTypes);
  if (m_measure != 0) AllLasersOn(session, m_slotTypes);

  for (int32_t slot = 0; slot < kSlotsPerMainframe; ++slot) {
    const int32_t code = m_slotTypes[slot];
    if (code == kSlotEmpty) continue;
    m_findings.Add(Finding::Mainframe::slots);
    m_findings.SetInteger(Finding::Slot::slot, slot);
    m_findings.SetInteger(Finding::Slot::type_code, code);
    m_findings.Set(Finding::Slot::module, ModuleName(code));
    WriteSlotType(code, slot);
    const std::string command = "SLOT" + std::to_string(slot) + ":IDN?";
    char answer[kSlotAnswerSize + 1] = {};
    const KvStatus status =
        m_kv.kv740m_cmdString_Q != nullptr
            ? m_kv.kv740m_cmdString_Q(session, command.c_str(), kSlotAnswerSize, answer)
            : kKvEntryMissing;
    answer[kSlotAnswerSize] = '\0';
    if (status >= 0) {
      Write("ID string: ");
      WriteInfoExternal(Keep(Finding::Slot::identification, answer));
      Write("<br>\r\n");
      if (std::strstr(answer, "795") != nullptr) WriteError("Power meters 795xx are not supported\r\n<br>");
    } else {
      ReportDriverError(session, status);
    }
    if (m_measure != 0 && (code == kSlotPowerMeter || code == kSlotDualPowerMeter)) {
      Write("Measurement result for channel 1: ");
      ReportPower(session, slot, 0);
      if (code == kSlotDualPowerMeter) {
        Write("Measurement result for channel 2: ");
        ReportPower(session, slot, 1);
      }
    }
    m_findings.Leave();
  }

  if (m_measure != 0) AllLasersOff(session, m_slotTypes);
}

namespace {

// Each module type code: the report's words and the record's.
struct CModuleKind {
  const char* report;
  const char* name;
};

const CModuleKind kModuleKinds[] = {
    {nullptr, "undefined"},
    {"A single-channel Power Sensor<br>\r\n", "single-channel power meter"},
    {"A dual-channel Power Sensor<br>\r\n", "dual-channel power meter"},
    {"A single Laser Source <br>\r\n", "single laser source"},
    {"A dual-wavelength Laser Source<br>\r\n", "dual-wavelength laser source"},
    {"A Tunable Laser module<br>\r\n", "tunable laser source"},
    {"A Return Loss Module<br>\r\n", "return-loss module"},
    {"A Return Loss Combo Module<br>\r\n", "return-loss combination module"},
};

bool KnownModule(int32_t code) { return code >= kSlotPowerMeter && code <= kSlotReturnLossCombo; }

}  // namespace

const char* ModuleName(int32_t code) { return kModuleKinds[KnownModule(code) ? code : 0].name; }

void CInstrLayerCheck::WriteSlotType(int32_t code, int32_t slot) {
  const std::string head = "Slot no. " + std::to_string(slot) + " : ";
  Write(head.c_str());
  if (KnownModule(code)) {
    WriteInfo(kModuleKinds[code].report);
  } else {
    WriteError("Undefined slot number<br>\r\n");
  }
}
