#include "bench/TriggerCheck.h"

#include <algorithm>

#include "instrument/ListItem.h"

const char kNoMainframeForTriggers[] =
    "Could not find any device [mainframe]. Check the cable connection and weather an "
    "application is running on the mainframe <br>\r\n";

namespace {

constexpr int32_t kLoggingPoints = kKvLoggingPoints;
constexpr double kLoggingAveraging = 0.1;
bool IsPowerMeterCode(int32_t code) {
  return code == kSlotPowerMeter || code == kSlotDualPowerMeter;
}

}  // namespace

CTriggerCheck::CTriggerCheck() { SetName("Triggers "); }

int32_t CTriggerCheck::GetTlsList(std::string& target) {
  m_tlsCount = -1;
  FindTls();
  if (m_tlsCount > 0) target = m_tlsList;
  return m_tlsCount;
}

int32_t CTriggerCheck::FindTls() {
  m_tlsCount = 0;
  m_tlsList.clear();
  m_tlsEntries.clear();
  const int mainframes = OpenAllMainframes();
  if (mainframes <= 0) WriteError(kNoMainframeForTriggers);
  for (int i = 0; i < mainframes && static_cast<size_t>(i) < m_sessions.size(); ++i) {
    m_tlsCount += AddTlsOfMainframe(m_sessions[static_cast<size_t>(i)]);
  }
  if (m_tlsCount <= 0) {
    Write("Could not find any TLS.\r\n<br>");
  } else {
    Write("Found TLSes: \r\n<br>");
    WriteExternal(m_tlsList.c_str());
    Write("\r\n<br>");
  }
  return m_tlsCount;
}

int32_t CTriggerCheck::AddTlsOfMainframe(KvSession session) {
  GetSlotTypes(session, m_slotTypes);
  // Only slot 0 can drive the sweep's triggers.
  if (m_slotTypes[0] != kSlotTunableLaser) return 0;
  std::string label;
  GetSlotLabel(0, session, label);
  std::string address;
  GetMainframeAddress(session, address);
  std::string model;
  GetMainframeModel(address.c_str(), model);
  const std::string text = address + ", mainframe: " + model + ", TLS: " + label;
  m_tlsList += text + ";";
  m_tlsEntries.push_back({address, text});
  return 1;
}

std::vector<std::string> CTriggerCheck::TlsEntries() const {
  std::vector<std::string> entries;
  for (const CTlsEntry& entry : m_tlsEntries) entries.push_back(entry.text);
  return entries;
}

int32_t CTriggerCheck::RunTriggerTest(int32_t index) {
  const int32_t result = TestTls(index);
  // The test's flow ends here: its last lines go to the window at once.
  Flush();
  return result;
}

int32_t CTriggerCheck::TestTls(int32_t index) {
  if (m_tlsCount == -1) FindTls();
  if (m_tlsCount == 0) return 0;
  if (index < 0 || index >= m_tlsCount || static_cast<size_t>(index) >= m_tlsEntries.size()) {
    WriteError("No such TLS\r\n<br>");
    return -1;
  }
  // The address as the entry was built with it, not cut back out of the text.
  const std::string address = m_tlsEntries[static_cast<size_t>(index)].address;

  const int32_t position = FindMainframeByAddress(address);
  if (position < 0 || static_cast<size_t>(position) >= m_sessions.size()) {
    // A list built by FindTls names only listed mainframes; nothing is configured
    // for an address that is not among them.
    WriteError("No listed mainframe has the address ");
    WriteErrorExternal(address.c_str());
    Write("\r\n<br>");
    return -1;
  }
  const int32_t failures = RunSweep(m_sessions[static_cast<size_t>(position)]);
  Write("_______________________________<br>\r\n");
  if (failures > 0) {
    WriteError(std::to_string(failures).c_str());
    WriteError(" powermeter(s) have not received the triggers.\r\n<br>");
  } else if (failures == 0) {
    WriteOk("All powermeters have received the triggers.\r\n<br>");
  }
  return failures;
}

int32_t CTriggerCheck::RunSweep(KvSession tlsSession) {
  // A count never taken (-1) is no mainframe either: an empty loop would report
  // every power meter as triggered.
  if (m_mainframeCount <= 0) {
    WriteError(kNoMainframeForTriggers);
    return -1;
  }
  const size_t mainframes = std::min(static_cast<size_t>(m_mainframeCount), m_sessions.size());
  for (size_t k = 0; k < mainframes; ++k) {
    PrepareTriggering(m_sessions[k]);
    ConfigurePowerMeters(m_sessions[k]);
  }
  Write("Starting a TLS sweep, this might take a few minutes...\r\n<br>");
  ConfigureTlsSweep(tlsSession);
  ReportDriverError(tlsSession, m_kv.kv740m_TLS_sweepControl != nullptr
                                    ? m_kv.kv740m_TLS_sweepControl(tlsSession, 0, 1)
                                    : kKvEntryMissing);
  // Returns when the sweep has ended; the report so far is on screen meanwhile.
  Flush();
  ReportDriverError(tlsSession, m_kv.kv740m_TLS_sweepWait != nullptr
                                    ? m_kv.kv740m_TLS_sweepWait(tlsSession, 0)
                                    : kKvEntryMissing);
  int32_t total = 0;
  for (size_t k = 0; k < mainframes; ++k) total += CheckLogging(m_sessions[k]);
  return total;
}

int32_t CTriggerCheck::ConfigurePowerMeters(KvSession session) {
  GetSlotTypes(session, m_slotTypes);
  int32_t count = 0;
  for (int32_t slot = 0; slot < kSlotsPerMainframe; ++slot) {
    if (!IsPowerMeterCode(m_slotTypes[slot])) continue;
    ++count;
    ReportDriverError(session, m_kv.kv740m_set_PWM_triggerConfiguration != nullptr
                                   ? m_kv.kv740m_set_PWM_triggerConfiguration(session, slot, 1, 0)
                                   : kKvEntryMissing);
    // One logging per meter: channel 0 of a two-channel one.
    double estimated = 0.0;
    ReportDriverError(session,
                      m_kv.kv740m_set_PWM_logging != nullptr
                          ? m_kv.kv740m_set_PWM_logging(session, slot, 0, kLoggingAveraging,
                                                        kLoggingPoints, &estimated)
                          : kKvEntryMissing);
  }
  return count;
}

int32_t CTriggerCheck::CheckLogging(KvSession session) {
  int32_t failures = 0;
  GetSlotTypes(session, m_slotTypes);
  for (int32_t slot = 0; slot < kSlotsPerMainframe; ++slot) {
    if (!IsPowerMeterCode(m_slotTypes[slot])) continue;
    uint16_t finished = 0;
    double results[kLoggingPoints] = {};
    ReportDriverError(session, m_kv.kv740m_get_PWM_loggingResults_Q != nullptr
                                   ? m_kv.kv740m_get_PWM_loggingResults_Q(session, slot, 0, 0, 1,
                                                                          &finished, results)
                                   : kKvEntryMissing);
    std::string address;
    GetMainframeAddress(session, address);
    std::string model;
    GetMainframeModel(address.c_str(), model);
    std::string label;
    GetSlotLabel(slot, session, label);
    Write("Result for: ");
    WriteExternal(label.c_str());
    Write(" inside mainframe: ");
    WriteExternal(model.c_str());
    Write(" at address: ");
    WriteExternal(address.c_str());
    Write("\r\n<br>");
    if (finished != 0) {
      WriteOk("OK, Logging finished\r\n<br>");
    } else {
      WriteError("Logging not finished\r\n<br>");
      ++failures;
    }
  }
  return failures;
}

int32_t CTriggerCheck::FindMainframeByAddress(const std::string& address) {
  std::string list;
  int32_t count = 0;
  ListMainframes(list, count);
  if (count < 1) return -1;
  // The whole address: mainframes may share a primary address on other boards
  // or secondary addresses, and a short address is still a whole one.
  for (int32_t i = 1; i <= count; ++i) {
    std::string item;
    GetListItem(i, list.c_str(), ',', item);
    if (!address.empty() && item == address) return i - 1;
  }
  return -1;
}

int32_t CTriggerCheck::GetMainframeAddress(KvSession session, std::string& address) {
  std::string list;
  int32_t count = 0;
  ListMainframes(list, count);
  if (count <= 0) return -1;
  for (int32_t i = 0; i < count && static_cast<size_t>(i) < m_sessions.size(); ++i) {
    if (m_sessions[static_cast<size_t>(i)] == session) {
      GetListItem(i + 1, list.c_str(), ',', address);
      return i + 1;
    }
  }
  return -1;
}
