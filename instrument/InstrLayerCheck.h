#pragma once
// The Instrument layer check: the instrument driver's binding, the inventory of
// the mainframes it lists, and the instrument operations with which every
// instrument-based check (Optical, trigger, guided test) drives the bench.
#include <cstdint>
#include <string>
#include <vector>

#include "instrument/DriverFunctions.h"
#include "platform/Clock.h"
#include "report/LayerCheck.h"


// Two tasks: the driver's load result, the inventory. A failed load leaves the
// check at task 4, which is none of them.
inline constexpr CLayerTexts kInstrumentLayer = {"Instrument", 2, kInvalidTaskText, kBannerEnd};

// Results of LoadDriver besides 1 to 36 (the number of the first missing function).
constexpr int32_t kDriverNotLoadable = 100;
// Layer codes.
constexpr int32_t kInstrErrorNoDevice = 2;
constexpr int32_t kInstrErrorNoMainframe = 13;
constexpr int32_t kInstrErrorDriverCall = 1000;

// The status a call through an absent entry gives: never a call through null.
constexpr KvStatus kKvEntryMissing = static_cast<KvStatus>(0xBFFC0FFFu);

extern const char kDriverLibrary[];  // "kv740m_32.dll"

// A slot's module type code in words, for the record; "undefined" for codes
// the report calls undefined.
const char* ModuleName(int32_t code);
extern const char kUnlockHint[];

class CInstrLayerCheck : public CLayerCheck {
 public:
  CInstrLayerCheck();
  ~CInstrLayerCheck() override;

  // The instrument checks act on the driver's load result themselves.
  int Start() override { return BeginWithDriver(); }

  // The driver binding.
  int BeginWithDriver();
  int LoadDriver();
  int CheckDriverEntries();
  int ReportDriverError(KvSession session, KvStatus status);
  int OpenMainframe(const char* address, KvSession& session);
  int PrepareTriggering(KvSession session);
  int ConfigureTlsSweep(KvSession session);

  // The inventory.
  void ListMainframes(std::string& list, int32_t& count);
  int OpenAllMainframes();
  int ReportMainframe(const char* address);
  void ReportSlots(const char* address);
  void WriteSlotType(int32_t code, int32_t slot);

  // The instrument operations; codes arrays hold kSlotsPerMainframe entries.
  KvStatus GetSlotTypes(KvSession session, int32_t* codes);
  KvStatus GetMainframeModel(const char* address, std::string& model);
  void GetSlotLabel(int32_t slot, KvSession session, std::string& label);
  static double ToDbm(double watts);
  int ReportPower(KvSession session, int32_t slot, int32_t channel);
  int ReadPower(KvSession session, int32_t slot, int32_t channel, std::string& text, double& dbm);
  // Configures the meter channel and reads it: the watts, 0 when the reading failed.
  double MeasureWatts(KvSession session, int32_t slot, int32_t channel, int32_t internalTrigger,
                      double averagingTime, bool& readOk);
  int AllLasersOn(KvSession session, const int32_t* codes);
  int AllLasersOff(KvSession session, const int32_t* codes);
  uint16_t SetLaserState(KvSession session, uint16_t state, int32_t slot, int32_t output);
  void GetLaserStatus(KvSession session, int32_t slot, uint16_t& state, int32_t& output);

  const KvDriverTable& Driver() const { return m_kv; }
  int32_t DriverStatus() const { return m_driverStatus; }
  const std::vector<KvSession>& Sessions() const { return m_sessions; }
  const int32_t* SlotTypes() const { return m_slotTypes; }

 protected:
  // The checks built on the instrument operations, with a layer of their own.
  explicit CInstrLayerCheck(const CLayerTexts& layer);
  int RunTask(int task) override;
  // The unlock hint when a laser call met the instrument-error status.
  void HintIfLocked(KvStatus status);
  // The 3 s a laser settles, measured on the clock, sleeping in slices between
  // which the window paints.
  void Settle(IClock& clock);

  int32_t m_driverStatus = 0;
  int32_t m_mainframeCount = -1;
  // The whole list as the driver gave it, so later calls see exactly that.
  std::string m_mainframeList;
  // One session per listed mainframe, in list order.
  std::vector<KvSession> m_sessions;
  int32_t m_measure = 0;
  int32_t m_slotTypes[kSlotsPerMainframe] = {};
  ModuleHandle m_driver = nullptr;
  KvDriverTable m_kv;
};
