#pragma once
// What the instrument checks find, kept as data beside the report text: the
// mainframes with their identification, slot modules and power readings. The
// checks call the recorder where they write the same findings into the report.
#include <cstdint>
#include <string>
#include <vector>

class IInstrumentRecorder {
 public:
  virtual ~IInstrumentRecorder() = default;
  // A mainframe's report starts.
  virtual void OnMainframe(const char* address) = 0;
  virtual void OnIdentification(const char* identification) = 0;
  // An occupied slot; identification is null when the module did not answer.
  virtual void OnSlot(int32_t slot, int32_t code, const char* identification) = 0;
  // channel 0 is the module's first; ok is false when the reading failed.
  virtual void OnPower(int32_t slot, int32_t channel, double dbm, bool ok) = 0;
};

struct CPowerRecord {
  int32_t channel = 0;
  double dbm = 0.0;
  bool ok = false;
};

struct CSlotRecord {
  int32_t slot = 0;
  int32_t code = 0;
  bool answered = false;
  std::string identification;
  std::vector<CPowerRecord> measurements;
};

struct CMainframeRecord {
  std::string address;
  bool identified = false;
  std::string identification;
  std::vector<CSlotRecord> slots;
};

// Keeps every finding in the order the check reported it.
class CInstrumentRecord : public IInstrumentRecorder {
 public:
  void OnMainframe(const char* address) override;
  void OnIdentification(const char* identification) override;
  void OnSlot(int32_t slot, int32_t code, const char* identification) override;
  void OnPower(int32_t slot, int32_t channel, double dbm, bool ok) override;

  const std::vector<CMainframeRecord>& Mainframes() const { return m_mainframes; }

 private:
  std::vector<CMainframeRecord> m_mainframes;
};
