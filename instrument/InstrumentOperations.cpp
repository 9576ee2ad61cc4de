// The instrument operations of CInstrLayerCheck: slot inventory, module labels,
// power readings in dBm and the switching of tunable lasers.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "instrument/InstrLayerCheck.h"
#include "instrument/ListItem.h"
#include "platform/Platform.h"

const char kUnlockHint[] =
    "Check if your TLS is unlocked. At your mainframe press 'Local' button and then 'Config' "
    "button, select 'Unlock' and press 'OK', provide a password and press 'Enter' and then "
    "'Close'\r\n<br>";

namespace {

constexpr double kWavelength = 1.544e-6;
constexpr int32_t kSettleTicks = 3000;
// The longest sleep of the settle between two chances for the window to paint.
constexpr int32_t kSettleSliceMilliseconds = 100;
// The same call's answer as in the mainframe report: one size per call.
constexpr size_t kModelIdentificationSize = kKvIdentificationSize;
constexpr int32_t kLabelAnswerSize = 30;
constexpr double kMinWatts = 1e-23;
constexpr double kMaxWatts = 1e17;

}  // namespace

void CInstrLayerCheck::HintIfLocked(KvStatus status) {
  if (status == kKvInstrumentError) Write(kUnlockHint);
}

KvStatus CInstrLayerCheck::GetSlotTypes(KvSession session, int32_t* codes) {
  const KvStatus status = m_kv.kv740m_getSlotInformation_Q != nullptr
                              ? m_kv.kv740m_getSlotInformation_Q(session, kSlotsPerMainframe, codes)
                              : kKvEntryMissing;
  ReportDriverError(session, status);
  // A failed query leaves no codes to trust: a table kept from another mainframe
  // would show its modules here and switch its lasers on here.
  if (status < 0) std::fill(codes, codes + kSlotsPerMainframe, 0);
  return status;
}

KvStatus CInstrLayerCheck::GetMainframeModel(const char* address, std::string& model) {
  std::vector<char> identification(kModelIdentificationSize, '\0');
  const KvStatus status = m_kv.kv740m_getInstrumentId_Q != nullptr
                              ? m_kv.kv740m_getInstrumentId_Q(address, identification.data())
                              : kKvEntryMissing;
  identification.back() = '\0';
  // A failed query leaves an empty model (a warning keeps it); the status tells the caller.
  if (status < 0) identification[0] = '\0';
  GetListItem(2, identification.data(), ',', model);
  return status;
}

void CInstrLayerCheck::GetSlotLabel(int32_t slot, KvSession session, std::string& label) {
  const std::string command = "SLOT" + std::to_string(slot) + ":IDN?";
  char answer[kLabelAnswerSize + 1] = {};
  const KvStatus status = m_kv.kv740m_cmdString_Q != nullptr
                              ? m_kv.kv740m_cmdString_Q(session, command.c_str(), kLabelAnswerSize, answer)
                              : kKvEntryMissing;
  answer[kLabelAnswerSize] = '\0';
  ReportDriverError(session, status);
  GetListItem(2, answer, ',', label);
  label += ", SLOT" + std::to_string(slot);
}

double CInstrLayerCheck::ToDbm(double watts) {
  if (std::isnan(watts) || watts < kMinWatts) watts = kMinWatts;
  if (watts > kMaxWatts) watts = kMaxWatts;
  return 10.0 * std::log10(watts * 1000.0);
}

double CInstrLayerCheck::MeasureWatts(KvSession session, int32_t slot, int32_t channel,
                                      int32_t internalTrigger, double averagingTime, bool& readOk) {
  KvStatus status = m_kv.kv740m_set_PWM_parameters != nullptr
                        ? m_kv.kv740m_set_PWM_parameters(session, slot, channel, 1, 1, internalTrigger,
                                                         kWavelength, averagingTime, 0.0)
                        : kKvEntryMissing;
  ReportDriverError(session, status);
  double watts = 0.0;
  status = m_kv.kv740m_PWM_readValue != nullptr ? m_kv.kv740m_PWM_readValue(session, slot, channel, &watts)
                                                 : kKvEntryMissing;
  ReportDriverError(session, status);
  readOk = status >= 0;
  // A failed reading shows as the floor of the scale.
  return readOk ? watts : 0.0;
}

int CInstrLayerCheck::ReportPower(KvSession session, int32_t slot, int32_t channel) {
  bool readOk = false;
  const double dbm = ToDbm(MeasureWatts(session, slot, channel, 1, 0.02, readOk));
  m_findings.Add(Finding::Slot::measurements);
  m_findings.SetInteger(Finding::Measurement::channel, channel + 1);
  m_findings.SetNumber(Finding::Measurement::dbm, dbm);
  m_findings.SetBool(Finding::Measurement::valid, readOk);
  m_findings.Leave();
  const std::string text = " " + FormatExponent(dbm);
  WriteInfo(text.c_str());
  Write(" dBm<br>\r\n");
  return 1;
}

int CInstrLayerCheck::ReadPower(KvSession session, int32_t slot, int32_t channel, std::string& text, double& dbm) {
  bool readOk = false;
  dbm = ToDbm(MeasureWatts(session, slot, channel, 0, 0.01, readOk));
  text = " " + FormatExponent(dbm) + " dBm";
  return 1;
}

int CInstrLayerCheck::AllLasersOn(KvSession session, const int32_t* codes) {
  if (m_kv.kv740m_set_TLS_parameters == nullptr || m_kv.kv740m_set_TLS_laserState == nullptr) return 0;
  IClock* clock = GetPlatform().clock;
  for (int32_t slot = 0; slot < kSlotsPerMainframe; ++slot) {
    if (codes[slot] != kSlotTunableLaser) continue;
    KvStatus status = m_kv.kv740m_set_TLS_parameters(session, slot, 1, 3, 1, 0.001, 0.0, kWavelength);
    ReportDriverError(session, status);
    HintIfLocked(status);
    status = m_kv.kv740m_set_TLS_laserState(session, slot, 1);
    ReportDriverError(session, status);
    HintIfLocked(status);
    // The laser settles for 3 s: the report so far goes to the window first, and
    // the window keeps painting meanwhile.
    Flush();
    if (clock != nullptr) {
      ReportProgress(("laser in slot " + std::to_string(slot) + " settling").c_str());
      Settle(*clock);
    }
  }
  return 0;
}

void CInstrLayerCheck::Settle(IClock& clock) {
  const int32_t start = clock.Clock();
  // What stands for the clock when it cannot be read: 3 s of sleeping end it.
  int32_t slept = 0;
  for (;;) {
    const int32_t now = clock.Clock();
    const int32_t elapsed = start == -1 || now == -1 ? slept : now - start;
    if (elapsed >= kSettleTicks) break;
    const int32_t slice = std::min(kSettleTicks - elapsed, kSettleSliceMilliseconds);
    clock.Wait(slice);
    slept += slice;
    ReportProgress(nullptr);
  }
}

int CInstrLayerCheck::AllLasersOff(KvSession session, const int32_t* codes) {
  if (m_kv.kv740m_set_TLS_laserState == nullptr) return 0;
  for (int32_t slot = 0; slot < kSlotsPerMainframe; ++slot) {
    if (codes[slot] != kSlotTunableLaser) continue;
    const KvStatus status = m_kv.kv740m_set_TLS_laserState(session, slot, 0);
    ReportDriverError(session, status);
    HintIfLocked(status);
  }
  return 0;
}

uint16_t CInstrLayerCheck::SetLaserState(KvSession session, uint16_t state, int32_t slot, int32_t output) {
  KvStatus status = m_kv.kv740m_set_TLS_parameters != nullptr
                        ? m_kv.kv740m_set_TLS_parameters(session, slot, 1, output, 1, 0.001, 0.0, kWavelength)
                        : kKvEntryMissing;
  ReportDriverError(session, status);
  HintIfLocked(status);
  status = m_kv.kv740m_set_TLS_laserState != nullptr ? m_kv.kv740m_set_TLS_laserState(session, slot, state)
                                                      : kKvEntryMissing;
  ReportDriverError(session, status);
  HintIfLocked(status);
  uint16_t readBack = 0;
  status = m_kv.kv740m_get_TLS_laserState_Q != nullptr ? m_kv.kv740m_get_TLS_laserState_Q(session, slot, &readBack)
                                                        : kKvEntryMissing;
  ReportDriverError(session, status);
  return readBack;
}

void CInstrLayerCheck::GetLaserStatus(KvSession session, int32_t slot, uint16_t& state, int32_t& output) {
  const KvStatus status = m_kv.kv740m_get_TLS_laserState_Q != nullptr
                              ? m_kv.kv740m_get_TLS_laserState_Q(session, slot, &state)
                              : kKvEntryMissing;
  ReportDriverError(session, status);
  std::string label;
  GetSlotLabel(slot, session, label);
  // The 64290K module has no choice of output; a driver without the query
  // leaves the output as it was.
  if (label.find("64290K") != std::string::npos || m_kv.kv740m_get_TLS_opticalOutput_Q == nullptr) return;
  ReportDriverError(session, m_kv.kv740m_get_TLS_opticalOutput_Q(session, slot, &output));
}
