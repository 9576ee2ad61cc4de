#include "bench/GuidedTestDlg.h"

#include <algorithm>

#include "bench/BenchResource.h"
#include "instrument/ListItem.h"
#include "platform/Platform.h"

const char kHintIntroduction[] =
    "You can play around a little bit with the\r\nsettings and get some measurements.\r\nIn this "
    "window you will see some hints.\r\nIf you use this tool for the first time\r\nwe recommend "
    "you to click on each\r\nselection window, and read a short info\r\nwhich will appear in this "
    "text window.";
const char kHintIntroductionAfterShow[] =
    "You can play around a little bit with the\r\nsettings and get some measurements.\r\nIn this "
    "window you will see some hints.\r\nIf you use this tool for the first time\r\nwe recommend "
    "you to click on each\r\nselection window, and read the short info\r\nwhich will appear in "
    "this text window.";
const char kHintNoPowerMeter[] = "Sorry, there are no power meters\r\nfound for the mainframe ";
const char kHintTwoChannels[] =
    "remember to choose the proper\r\nchannel of the power meter,\r\nthis power meter has two "
    "input\r\nchannels, Input 1 and Input 2";
const char kHintMainframe[] =
    "This is a mainframe selection window.\r\nHere are all the detected mainframes.\r\nYou can "
    "also see a GPIB address.\r\nIf you cannot find your mainframe,\r\nplease check the cable "
    "connection\r\nturn your mainframe off and on, and\r\ntry again. If this does not help, "
    "there\r\nis a possibility of a hardware failure.\r\nPlease return to the main window\r\nand "
    "run all the tests from the 'check'\r\nmenu.";
const char kHintPowerMeter[] =
    "This is a power meter selection window.\r\nHere are all the deteced power meters\r\nfor the "
    "mainframe specified in the\r\nmainframe window above.\r\nThere are two types of power "
    "meters:\r\none channel and two channel\r\nFor a two channel power meter\r\nyou can also "
    "select which channel\r\nyou would like to use. To do this\r\ngo to selection window "
    "\"Channel\"";
const char kHintChannel[] =
    "This is a channel selection window.\r\nYou can choose a power meter\r\nchannel which you "
    "would like to use.\r\nThis selection window is only available\r\nfor a two channel power "
    "meter.";
const char kHintTls[] =
    "This is a TLS selection window.\r\nHere are all the detected TLS's\r\nfor the mainframe "
    "specified in the\r\nselection window above.\r\nYou can also see a slot in which\r\nthe TLS "
    "is installed in the mainframe.";
const char kHintOutput[] =
    "This is a optical output window.\r\nHere you can select which one of the\r\ntwo laser "
    "sources you want to use.\r\nThe High Power is the Output 2\r\nThe Low SSE is the Output "
    "1.\r\nBHR and BLR - activate both outputs\r\ntogether.\r\nBHR- Output 2 is regulated\r\nand "
    "the Output 1 is the unregulated\r\nBLR- Output 1 is regulated\r\nand the Output 2 is the "
    "unregulated\r\n";
const char kHintMeasurement[] =
    "This is a measurement window.\r\nHere you can see the results from\r\nthe latest "
    "measurement conducted.\r\nIn order to do a measurement for the\r\ncurrent power meter "
    "specified above,\r\npress the \"Measure\" button.\r\nRemember to connect the power "
    "meter\r\nto your laser source with a patchcord.\r\n(That is of course if you wish)\r\nYou "
    "might also want to switch the\r\nlaser ON before the measurement.";
const char kHintLaserFailed[] =
    "The laser could not be turned\r\nON or OFF due to some problems.\r\nCheck the main window.";
const char kCommentOnAbove[] =
    "Ok, the power meter has read a proper\r\nvalue of above -7.0000e+001 dBM.";
const char kCommentOnBelow[] =
    "The laser is turned on, but the power\r\nmeter did not read anything, or it might\r\nbe "
    "only a natural light (values below\r\n -7.000000e+001 dBm) please check\r\nthe patchcord "
    "connection and try again.\r\nMake sure you have the right laser\r\nconnected to your power "
    "meter.\r\n";
const char kCommentOffAbove[] =
    "please do not set any values manually\r\n on the mainframe, use only the program\r\nto "
    "turn on the lasers.";
const char kCommentOffBelow[] =
    "You did not turn the laser on.\r\nTo turn the laser on, click the 'Laser state'\r\nbutton "
    "which indicates right now that\r\nthe laser state is 'Off'";
const char kCommentNoTls[] =
    "You do not have any TLS sources\r\navailable, so you should get a value below\r\n "
    "-7.000000e+001 dBm";
const char kNoMainframeMessage[] =
    "There is no mainframe connected.\nRun all the checks from the check menu,\nand if "
    "everything is ok, try again.";

namespace {

constexpr double kDarkThresholdDbm = -70.0;
constexpr char kOutputWithoutChoice[] = "64290K";
constexpr char kUnsupportedMeter[] = "795";
const char* const kChannels[] = {"1", "2"};
const char* const kOutputs[] = {"HIGHPOW", "LOWSSE", "BHR", "BLR"};

bool Contains(const std::string& text, const char* part) {
  return text.find(part) != std::string::npos;
}

bool IsSlot(intptr_t slot) { return slot >= 0 && slot < kSlotsPerMainframe; }

}  // namespace

int32_t CGuidedTestDlg::m_laserOn = 0;

CGuidedTestDlg::CGuidedTestDlg() : CDialog(IDD_GUIDED_TEST) { SetName("Guided optical "); }

CGuidedTestDlg::~CGuidedTestDlg() = default;

void CGuidedTestDlg::SetHint(const char* text) { SetDlgItemText(IDC_HINT, text); }

std::string CGuidedTestDlg::SelectedText(int32_t listId) {
  return ComboGetLBText(listId, ComboGetCurSel(listId));
}

bool CGuidedTestDlg::SelectedMainframe(int32_t listId, KvSession& session) {
  const int32_t selected = ComboGetCurSel(listId);
  if (selected < 0) return false;
  const intptr_t mainframe = ComboGetItemData(listId, selected);
  if (mainframe < 0 || static_cast<size_t>(mainframe) >= m_sessions.size()) return false;
  session = m_sessions[static_cast<size_t>(mainframe)];
  return true;
}

bool CGuidedTestDlg::LaserButtonShowsOn() {
  const std::string text = GetDlgItemText(IDC_LASER_STATE);
  return text.size() > 1 && text[1] == 'n';
}

void CGuidedTestDlg::ShowLaserState(int32_t on) {
  SetDlgItemText(IDC_LASER_STATE, on != 0 ? "On" : "Off");
}

bool CGuidedTestDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  OpenAllMainframes();

  for (int32_t i = 0; i < 2; ++i) ComboInsertString(IDC_CHANNEL, i, kChannels[i]);
  ComboSetCurSel(IDC_CHANNEL, 0);
  for (int32_t i = 0; i < 4; ++i) ComboInsertString(IDC_OUTPUT, i, kOutputs[i]);
  ComboSetCurSel(IDC_OUTPUT, 0);
  EnableDlgItem(kIdOk, false);

  IShell* shell = GetPlatform().shell;
  if (shell != nullptr) shell->BeginWaitCursor();
  std::string list;
  int32_t count = 0;
  ListMainframes(list, count);
  if (shell != nullptr) shell->EndWaitCursor();

  if (count <= 0) {
    WriteError("Could not find any instrument.\r\n<br>");
    Flush();
    MessageBox(kNoMainframeMessage, "No mainframe", kMbOk);
    OnCancel();
    return true;
  }

  for (int32_t i = 1; i <= count; ++i) {
    std::string address;
    GetListItem(i, list.c_str(), ',', address);
    std::string model;
    if (GetMainframeModel(address.c_str(), model) < 0) {
      WriteError("Problems while getting mainframe name\r\n<br>");
      continue;
    }
    const std::string entry = model + ", " + address;
    const int32_t position = ComboGetCount(IDC_PWM_MAINFRAME);
    // A mainframe left out moves the later ones up: each entry keeps the
    // position of its mainframe in the list.
    ComboInsertString(IDC_PWM_MAINFRAME, position, entry.c_str());
    ComboSetItemData(IDC_PWM_MAINFRAME, position, i - 1);
    ComboInsertString(IDC_TLS_MAINFRAME, position, entry.c_str());
    ComboSetItemData(IDC_TLS_MAINFRAME, position, i - 1);
  }

  ComboSetCurSel(IDC_PWM_MAINFRAME, 0);
  ComboSetCurSel(IDC_TLS_MAINFRAME, 0);
  OnMainframeChanged();
  OnTlsMainframeChanged();
  Flush();
  return true;
}

void CGuidedTestDlg::OnMainframeChanged() {
  ComboResetContent(IDC_POWER_METER);
  KvSession session = 0;
  if (SelectedMainframe(IDC_PWM_MAINFRAME, session)) {
    GetSlotTypes(session, m_pwmSlotTypes);
    m_pwmSession = session;
    for (int32_t slot = 0; slot < kSlotsPerMainframe; ++slot) {
      const int32_t code = m_pwmSlotTypes[slot];
      if (code != kSlotPowerMeter && code != kSlotDualPowerMeter) continue;
      std::string label;
      GetSlotLabel(slot, session, label);
      if (Contains(label, kUnsupportedMeter)) continue;
      // Each at the top: the list runs from the highest slot down.
      ComboInsertString(IDC_POWER_METER, 0, label.c_str());
      ComboSetItemData(IDC_POWER_METER, 0, slot);
    }
  }
  ComboSetCurSel(IDC_POWER_METER, 0);
  OnPowerMeterChanged();
}

void CGuidedTestDlg::OnPowerMeterChanged() {
  if (ComboGetCount(IDC_POWER_METER) <= 0) {
    EnableDlgItem(IDC_CHANNEL, false);
    EnableDlgItem(IDC_POWER_METER, false);
    EnableDlgItem(kIdOk, false);
    EnableDlgItem(IDC_LASER_STATE, false);
    SetHint((kHintNoPowerMeter + SelectedText(IDC_PWM_MAINFRAME)).c_str());
    return;
  }
  EnableDlgItem(kIdOk, true);
  if (ComboGetCount(IDC_TLS_SLOT) > 0) EnableDlgItem(IDC_LASER_STATE, true);
  SetHint(kHintIntroduction);
  EnableDlgItem(IDC_POWER_METER, true);

  const intptr_t slot = ComboGetItemData(IDC_POWER_METER, ComboGetCurSel(IDC_POWER_METER));
  if (!IsSlot(slot)) return;
  const int32_t code = m_pwmSlotTypes[slot];
  if (code == kSlotPowerMeter) {
    EnableDlgItem(IDC_CHANNEL, false);
  } else if (code == kSlotDualPowerMeter) {
    EnableDlgItem(IDC_CHANNEL, true);
    SetHint(kHintTwoChannels);
  }
}

void CGuidedTestDlg::OnTlsMainframeChanged() {
  ComboResetContent(IDC_TLS_SLOT);
  KvSession session = 0;
  if (SelectedMainframe(IDC_TLS_MAINFRAME, session)) {
    GetSlotTypes(session, m_tlsSlotTypes);
    m_tlsSession = session;
    // Only slot 0 is offered.
    if (m_tlsSlotTypes[0] == kSlotTunableLaser) {
      std::string label;
      GetSlotLabel(0, session, label);
      ComboInsertString(IDC_TLS_SLOT, 0, label.c_str());
      ComboSetItemData(IDC_TLS_SLOT, 0, 0);
      EnableDlgItem(IDC_OUTPUT, !Contains(label, kOutputWithoutChoice));
    }
  }
  ComboSetCurSel(IDC_TLS_SLOT, 0);
  OnTlsChanged();
}

void CGuidedTestDlg::OnTlsChanged() {
  if (ComboGetCount(IDC_TLS_SLOT) <= 0) {
    EnableDlgItem(IDC_OUTPUT, false);
    EnableDlgItem(IDC_TLS_SLOT, false);
    EnableDlgItem(IDC_LASER_STATE, false);
    return;
  }
  EnableDlgItem(IDC_OUTPUT, !Contains(SelectedText(IDC_TLS_SLOT), kOutputWithoutChoice));
  EnableDlgItem(IDC_TLS_SLOT, true);
  EnableDlgItem(IDC_LASER_STATE, true);

  const intptr_t slot = ComboGetItemData(IDC_TLS_SLOT, ComboGetCurSel(IDC_TLS_SLOT));
  if (!IsSlot(slot)) return;
  uint16_t state = 0;
  int32_t output = -1;
  GetLaserStatus(m_tlsSession, static_cast<int32_t>(slot), state, output);
  if (output >= 0 && output < 4) ComboSetCurSel(IDC_OUTPUT, output);
  m_laserOn = state != 0 ? 1 : 0;
  ShowLaserState(m_laserOn);
}

void CGuidedTestDlg::OnLaserState() {
  m_laserOn = m_laserOn != 0 ? 0 : 1;
  // The TLS list holds at most the slot-0 laser, so its position is the slot.
  const uint16_t result = SetLaserState(m_tlsSession, static_cast<uint16_t>(m_laserOn),
                                        ComboGetCurSel(IDC_TLS_SLOT), ComboGetCurSel(IDC_OUTPUT));
  if (result != m_laserOn) SetHint(kHintLaserFailed);
  m_laserOn = result;
  ShowLaserState(result);
}

void CGuidedTestDlg::OnOutputChanged() {
  if (!LaserButtonShowsOn()) return;
  SetLaserState(m_tlsSession, 1, ComboGetCurSel(IDC_TLS_SLOT), ComboGetCurSel(IDC_OUTPUT));
}

void CGuidedTestDlg::Measure() {
  const intptr_t slot = ComboGetItemData(IDC_POWER_METER, ComboGetCurSel(IDC_POWER_METER));
  // Without a power meter there is nothing to read.
  if (!IsSlot(slot)) return;
  // A one-channel meter has channel 0 only, whatever the channel list last showed.
  const int32_t channel =
      m_pwmSlotTypes[slot] == kSlotDualPowerMeter ? ComboGetCurSel(IDC_CHANNEL) : 0;
  std::string text;
  double dbm = 0.0;
  ReadPower(m_pwmSession, static_cast<int32_t>(slot), channel < 0 ? 0 : channel, text, dbm);
  SetDlgItemText(IDC_RESULT, text.c_str());

  const bool laserSelectable = IsDlgItemEnabled(IDC_LASER_STATE);
  const bool lit = dbm >= kDarkThresholdDbm;
  const char* comment = kCommentNoTls;
  if (laserSelectable && LaserButtonShowsOn()) {
    comment = lit ? kCommentOnAbove : kCommentOnBelow;
  } else if (laserSelectable) {
    comment = lit ? kCommentOffAbove : kCommentOffBelow;
  }
  SetHint(("Your measured value is:\r\n " + text + "\r\n" + comment).c_str());

  Write("Measurement for :\r\n<br>mainframe: ");
  WriteInfoExternal(SelectedText(IDC_PWM_MAINFRAME).c_str());
  Write("\r\n<br>power meter: ");
  WriteInfoExternal(SelectedText(IDC_POWER_METER).c_str());
  Write("\r\n<br>power meter channel: ");
  WriteInfo(IsDlgItemEnabled(IDC_CHANNEL) ? SelectedText(IDC_CHANNEL).c_str()
                                          : "this is a one channel power meter");
  if (laserSelectable) {
    Write("\r\n<br>TLS source: ");
    WriteInfoExternal(SelectedText(IDC_TLS_SLOT).c_str());
  } else {
    WriteInfo("\r\n<br>TLS source: No TLS available");
  }
  Write("\r\n<br>TLS state (Laser state): ");
  WriteInfo(GetDlgItemText(IDC_LASER_STATE).c_str());
  Write("\r\n<br>TLS optical output: ");
  WriteInfo(SelectedText(IDC_OUTPUT).c_str());
  Write("\r\n<br>_____________________________________\r\n<br>measured value: ");
  WriteInfo((text + "\r\n<br>\r\n<br>").c_str());
}

void CGuidedTestDlg::OnOK() {
  Measure();
  Flush();
}

void CGuidedTestDlg::OnCancel() {
  const size_t mainframes =
      m_mainframeCount > 0 ? std::min(static_cast<size_t>(m_mainframeCount), m_sessions.size()) : 0;
  for (size_t i = 0; i < mainframes; ++i) {
    // Each mainframe by its own codes: the tables of the two lists know only
    // the mainframes selected last.
    int32_t codes[kSlotsPerMainframe] = {};
    GetSlotTypes(m_sessions[i], codes);
    AllLasersOff(m_sessions[i], codes);
  }
  Flush();
  CDialog::OnCancel();
}

bool CGuidedTestDlg::OnCommand(int32_t id) {
  if (id != IDC_LASER_STATE) return false;
  OnLaserState();
  Flush();
  return true;
}

bool CGuidedTestDlg::OnSelectionChanged(int32_t id) {
  switch (id) {
    case IDC_PWM_MAINFRAME:
      OnMainframeChanged();
      return true;
    case IDC_TLS_MAINFRAME:
      OnTlsMainframeChanged();
      return true;
    case IDC_POWER_METER:
      OnPowerMeterChanged();
      return true;
    case IDC_TLS_SLOT:
      OnTlsChanged();
      return true;
    case IDC_OUTPUT:
      OnOutputChanged();
      return true;
    default:
      return false;
  }
}

bool CGuidedTestDlg::OnControlNotify(int32_t id, uint16_t code) {
  if (code == kCbnSelChange) {
    const bool handled = OnSelectionChanged(id);
    // The dialog waits for the user again: what the change wrote is shown now.
    Flush();
    return handled;
  }
  const char* hint = nullptr;
  if (code == kCbnSetFocus) {
    switch (id) {
      case IDC_PWM_MAINFRAME:
      case IDC_TLS_MAINFRAME:
        hint = kHintMainframe;
        break;
      case IDC_POWER_METER:
        hint = kHintPowerMeter;
        break;
      case IDC_CHANNEL:
        hint = kHintChannel;
        break;
      case IDC_TLS_SLOT:
        hint = kHintTls;
        break;
      case IDC_OUTPUT:
        hint = kHintOutput;
        break;
      default:
        break;
    }
  } else if (code == kEnSetFocus && id == IDC_RESULT) {
    hint = kHintMeasurement;
  }
  if (hint == nullptr) return false;
  SetHint(hint);
  return true;
}

bool CGuidedTestDlg::OnShowWindow(bool show, uint32_t status) {
  DefaultProcessing(kWmShowWindow, show ? 1 : 0, static_cast<intptr_t>(status));
  // Hiding comes with closing, after the lasers went off: no measurement then.
  if (show && IsDlgItemEnabled(kIdOk)) {
    Measure();
    SetHint(kHintIntroductionAfterShow);
    Flush();
  }
  m_hintColor = 0;
  return true;
}

intptr_t CGuidedTestDlg::OnCtlColor(DeviceContext dc, int32_t controlId, uint32_t message,
                                    uintptr_t wParam, intptr_t lParam) {
  const intptr_t brush = DefaultProcessing(message, wParam, lParam);
  if (controlId == IDC_HINT) Backend().SetTextColor(dc, m_hintColor);
  return brush;
}
