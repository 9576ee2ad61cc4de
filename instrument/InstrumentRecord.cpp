#include "instrument/InstrumentRecord.h"

void CInstrumentRecord::OnMainframe(const char* address) {
  CMainframeRecord mainframe;
  mainframe.address = address != nullptr ? address : "";
  m_mainframes.push_back(mainframe);
}

void CInstrumentRecord::OnIdentification(const char* identification) {
  if (m_mainframes.empty()) return;
  m_mainframes.back().identified = true;
  m_mainframes.back().identification = identification != nullptr ? identification : "";
}

void CInstrumentRecord::OnSlot(int32_t slot, int32_t code, const char* identification) {
  if (m_mainframes.empty()) return;
  CSlotRecord record;
  record.slot = slot;
  record.code = code;
  record.answered = identification != nullptr;
  if (identification != nullptr) record.identification = identification;
  m_mainframes.back().slots.push_back(record);
}

void CInstrumentRecord::OnPower(int32_t slot, int32_t channel, double dbm, bool ok) {
  if (m_mainframes.empty()) return;
  // Readings follow the slot line they belong to.
  std::vector<CSlotRecord>& slots = m_mainframes.back().slots;
  for (auto it = slots.rbegin(); it != slots.rend(); ++it) {
    if (it->slot != slot) continue;
    it->measurements.push_back({channel, dbm, ok});
    return;
  }
}
