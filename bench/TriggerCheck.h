#pragma once
// The trigger test: one tunable laser in slot 0 sweeps and sends a trigger per
// step, and every power meter of every mainframe must log one value per trigger.
#include <cstdint>
#include <string>
#include <vector>

#include "instrument/InstrLayerCheck.h"

class CTriggerCheck : public CInstrLayerCheck {
 public:
  CTriggerCheck();

  // Counts the TLSes anew and copies their list into target when there is one.
  int32_t GetTlsList(std::string& target);
  int32_t FindTls();
  int32_t AddTlsOfMainframe(KvSession session);
  // index: position of the TLS in the list, from 0.
  int32_t RunTriggerTest(int32_t index);
  int32_t RunSweep(KvSession tlsSession);
  int32_t ConfigurePowerMeters(KvSession session);
  int32_t CheckLogging(KvSession session);
  // Position (from 0) of the listed mainframe with exactly this address, or -1.
  int32_t FindMainframeByAddress(const std::string& address);
  // Position (from 1) of the session among the listed mainframes, or -1.
  int32_t GetMainframeAddress(KvSession session, std::string& address);

  int32_t TlsCount() const { return m_tlsCount; }
  const std::string& TlsList() const { return m_tlsList; }
  // The entries of the list without their ';', each whole whatever its texts hold.
  std::vector<std::string> TlsEntries() const;

 protected:
  struct CTlsEntry {
    std::string address;  // as listed
    std::string text;     // "address, mainframe: model, TLS: label"
  };

  int32_t m_tlsCount = -1;
  // Entries "address, mainframe: model, TLS: label;", held whole.
  std::string m_tlsList;
  // The same entries one by one: a model or label may hold a ';' itself.
  std::vector<CTlsEntry> m_tlsEntries;

 private:
  // The test itself; RunTriggerTest hands its report to the window when it ends.
  int32_t TestTls(int32_t index);
};

extern const char kNoMainframeForTriggers[];
