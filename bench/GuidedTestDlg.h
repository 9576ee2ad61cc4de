#pragma once
// The guided optical test: a newcomer picks a power meter and a tunable laser,
// switches the laser and reads values, with a hint for every control and a
// comment on every value. The dialog is itself an instrument check, so all it
// finds and measures lands in the main report.
#include <cstdint>
#include <string>

#include "instrument/InstrLayerCheck.h"
#include "platform/Dialog.h"

// Bases in this order: the check side is destroyed first, then the dialog.
class CGuidedTestDlg : public CDialog, public CInstrLayerCheck {
 public:
  CGuidedTestDlg();
  ~CGuidedTestDlg() override;

  void OnMainframeChanged();
  void OnTlsMainframeChanged();
  void OnPowerMeterChanged();
  void OnTlsChanged();
  void OnOutputChanged();
  void OnLaserState();
  // One reading of the chosen power meter, commented in the hint window and
  // written into the report with the whole selection.
  void Measure();

  KvSession PwmSession() const { return m_pwmSession; }
  KvSession TlsSession() const { return m_tlsSession; }
  uint32_t HintColor() const { return m_hintColor; }
  static int32_t LaserOn() { return m_laserOn; }

 protected:
  bool OnInitDialog() override;
  void OnOK() override;
  void OnCancel() override;
  bool OnCommand(int32_t id) override;
  bool OnControlNotify(int32_t id, uint16_t code) override;
  bool OnShowWindow(bool show, uint32_t status) override;
  intptr_t OnCtlColor(DeviceContext dc, int32_t controlId, uint32_t message, uintptr_t wParam,
                      intptr_t lParam) override;

 private:
  void SetHint(const char* text);
  // The handler of a selection change in a combo; false for another control.
  bool OnSelectionChanged(int32_t id);
  // The session of the mainframe that the selected entry of a mainframe list
  // names; false when the list has no selection.
  bool SelectedMainframe(int32_t listId, KvSession& session);
  std::string SelectedText(int32_t listId);
  bool LaserButtonShowsOn();
  void ShowLaserState(int32_t on);

  KvSession m_pwmSession = 0;
  KvSession m_tlsSession = 0;
  // One table per mainframe list, so that neither side reads the other's codes.
  int32_t m_pwmSlotTypes[kSlotsPerMainframe] = {};
  int32_t m_tlsSlotTypes[kSlotsPerMainframe] = {};
  uint32_t m_hintColor = 0;
  // The state the Laser state button toggles, shared by every opening.
  static int32_t m_laserOn;
};

// Hints and comments of the dialog.
extern const char kHintIntroduction[];
extern const char kHintIntroductionAfterShow[];
extern const char kHintNoPowerMeter[];
extern const char kHintTwoChannels[];
extern const char kHintMainframe[];
extern const char kHintPowerMeter[];
extern const char kHintChannel[];
extern const char kHintTls[];
extern const char kHintOutput[];
extern const char kHintMeasurement[];
extern const char kHintLaserFailed[];
extern const char kCommentOnAbove[];
extern const char kCommentOnBelow[];
extern const char kCommentOffAbove[];
extern const char kCommentOffBelow[];
extern const char kCommentNoTls[];
extern const char kNoMainframeMessage[];
