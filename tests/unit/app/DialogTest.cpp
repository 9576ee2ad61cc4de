// The dialog framework: message dispatch to handlers, default OK/Cancel, the
// window's binding from WM_INITDIALOG to WM_NCDESTROY, and the controls' state
// as the headless backend keeps it for every dialog's tests.
#include <gtest/gtest.h>

#include "platform/Dialog.h"
#include "platform/Platform.h"
#include "tests/fakes/HeadlessDialog.h"

namespace {

constexpr int32_t kTemplate = 500;
constexpr int32_t kEdit = 1000;
constexpr int32_t kCombo = 1006;
constexpr int32_t kButton = 1001;
constexpr int32_t kLabel = 1100;
constexpr int32_t kNotifyingButton = 1002;

class CRecordingDialog : public CDialog {
 public:
  explicit CRecordingDialog(std::vector<std::string>& log, CDialog* parent = nullptr)
      : CDialog(kTemplate, parent), m_log(log) {}

  bool OnInitDialog() override {
    m_log.push_back("init");
    return CDialog::OnInitDialog();
  }
  bool OnCommand(int32_t id) override {
    m_log.push_back("command " + std::to_string(id));
    return id == kButton;
  }
  bool OnControlNotify(int32_t id, uint16_t code) override {
    m_log.push_back("notify " + std::to_string(id) + " " + std::to_string(code));
    return true;
  }
  bool OnShowWindow(bool show, uint32_t) override {
    m_log.push_back(show ? "show" : "hide");
    return false;
  }
  intptr_t OnCtlColor(DeviceContext dc, int32_t controlId, uint32_t message, uintptr_t wParam,
                      intptr_t lParam) override {
    const intptr_t brush = DefaultProcessing(message, wParam, lParam);
    if (controlId == kEdit) Backend().SetTextColor(dc, 0x000000FF);
    return brush;
  }
  void OnDestroy() override { m_log.push_back("destroy"); }

 private:
  std::vector<std::string>& m_log;
};

class DialogTest : public ::testing::Test {
 protected:
  DialogTest() : m_saved(GetPlatform()) {
    Platform platform;
    platform.dialogs = &m_dialogs;
    SetPlatform(platform);
    HeadlessTemplate templ;
    templ.caption = "Please select";
    templ.controls = {{kEdit, HeadlessControlKind::Edit, "", true},
                      {kCombo, HeadlessControlKind::Combo, "", true},
                      {kButton, HeadlessControlKind::Button, "Off", true},
                      {kLabel, HeadlessControlKind::Static, "SLOT", true},
                      {kIdOk, HeadlessControlKind::Button, "Measure", true},
                      {kIdCancel, HeadlessControlKind::Button, "Exit", true},
                      {kNotifyingButton, HeadlessControlKind::Button, "Info", true, true}};
    m_dialogs.DefineTemplate(kTemplate, templ);
  }
  ~DialogTest() override { SetPlatform(m_saved); }

  intptr_t Run(std::vector<HeadlessStep> steps) {
    m_dialogs.QueueScript(kTemplate, std::move(steps));
    return m_dialog.DoModal();
  }

  Platform m_saved;
  CHeadlessDialogBackend m_dialogs;
  std::vector<std::string> m_log;
  CRecordingDialog m_dialog{m_log};
};

TEST_F(DialogTest, ModalRunSendsInitThenShowAndBindsTheWindow) {
  WindowHandle during = nullptr;
  const intptr_t result = Run({headless::Run([&](HeadlessWindow&) { during = m_dialog.Handle(); }),
                               headless::Click(kIdOk)});
  EXPECT_EQ(result, kIdOk);
  // The first control takes the focus when OnInitDialog leaves it to the platform.
  const std::vector<std::string> expected = {"init",      "notify 1000 256", "show",
                                             "command 1", "hide",            "destroy"};
  EXPECT_EQ(m_log, expected);
  EXPECT_EQ(during, m_dialogs.LastWindow(kTemplate)->Handle());
  EXPECT_EQ(m_dialog.Handle(), nullptr);
  EXPECT_TRUE(m_dialogs.Faults().empty());
}

TEST_F(DialogTest, MessagesBeforeInitDialogAreNotDispatched) {
  EXPECT_EQ(m_dialog.HandleMessage(reinterpret_cast<WindowHandle>(0x1234), kWmCommand,
                                   MakeWParam(kButton, 0), 0),
            0);
  EXPECT_TRUE(m_log.empty());
  EXPECT_EQ(m_dialog.Handle(), nullptr);
}

TEST_F(DialogTest, CancelAndCloseEndWithCancel) {
  EXPECT_EQ(Run({headless::Click(kIdCancel)}), kIdCancel);
  EXPECT_EQ(Run({headless::Close()}), kIdCancel);
  EXPECT_EQ(Run({headless::SysCommand(kScClose)}), kIdCancel);
}

TEST_F(DialogTest, CommandsAndNotificationsGoToTheirHandlers) {
  Run({headless::Command(kButton), headless::Click(kButton), headless::Select(kCombo, 0),
       headless::Command(32800), headless::Close()});
  // The combo was empty: the selection was refused and nothing was sent.
  ASSERT_EQ(m_dialogs.Faults().size(), 1u);
  const std::vector<std::string> expected = {
      "init",          "notify 1000 256", "show",      "command 1001", "command 1001",
      "command 32800", "command 2",       "hide",      "destroy"};
  EXPECT_EQ(m_log, expected);
}

TEST_F(DialogTest, CodeOneIsAnAcceleratorOnlyWithoutAControl) {
  Run({headless::Run([this](HeadlessWindow& window) {
         m_dialogs.Send(window, kWmCommand, MakeWParam(kButton, 1), 0);
       }),
       headless::Notify(kCombo, kCbnSelChange), headless::Close()});
  EXPECT_EQ(m_log[3], "command 1001");
  EXPECT_EQ(m_log[4], "notify 1006 1");
}

TEST_F(DialogTest, FocusMovesNotifyBothControls) {
  Run({headless::Focus(kEdit), headless::Focus(kCombo), headless::Focus(kCombo),
       headless::Focus(kButton), headless::Focus(kNotifyingButton), headless::Focus(kEdit),
       headless::Close()});
  // The edit has the focus from the start, so focusing it again notifies nobody;
  // a button without BS_NOTIFY says nothing about its focus.
  const std::vector<std::string> expected = {
      "init",
      "notify 1000 256",  // EN_SETFOCUS
      "show",
      "notify 1000 512",  // EN_KILLFOCUS
      "notify 1006 3",    // CBN_SETFOCUS
      "notify 1006 4",    // CBN_KILLFOCUS
      "notify 1002 6",    // BN_SETFOCUS
      "notify 1002 7",    // BN_KILLFOCUS
      "notify 1000 256",
      "command 2", "hide", "destroy"};
  EXPECT_EQ(m_log, expected);
}

TEST_F(DialogTest, ColourHandlerGetsTheControlId) {
  intptr_t editBrush = 0;
  intptr_t labelBrush = 0;
  auto* editDc = reinterpret_cast<DeviceContext>(0xD1);
  auto* labelDc = reinterpret_cast<DeviceContext>(0xD2);
  Run({headless::Run([&](HeadlessWindow& window) {
         editBrush = m_dialogs.CtlColor(window, kEdit, kWmCtlColorStatic, editDc);
         labelBrush = m_dialogs.CtlColor(window, kLabel, kWmCtlColorStatic, labelDc);
       }),
       headless::Close()});
  EXPECT_EQ(editBrush, m_dialogs.DefaultBrush());
  EXPECT_EQ(labelBrush, m_dialogs.DefaultBrush());
  EXPECT_EQ(m_dialogs.TextColour(editDc), 0x000000FFu);
  EXPECT_EQ(m_dialogs.TextColour(labelDc), 0u);
}

TEST_F(DialogTest, EditSelectionAndReplacement) {
  Run({headless::Run([this](HeadlessWindow& window) {
         m_dialog.SetDlgItemText(kEdit, "abcdef");
         m_dialog.EditSetSel(kEdit, 4, 2);
         m_dialog.EditReplaceSel(kEdit, "XY", false);
         EXPECT_EQ(window.Text(kEdit), "abXYef");
         m_dialog.EditReplaceSel(kEdit, "+", true);
         EXPECT_EQ(window.Text(kEdit), "abXY+ef");
         m_dialog.EditSetSel(kEdit, 32768, 32768);
         m_dialog.EditReplaceSel(kEdit, "!", false);
         EXPECT_EQ(window.Text(kEdit), "abXY+ef!");
         m_dialog.EditSetSel(kEdit, 0, -1);
         m_dialog.EditReplaceSel(kEdit, "new", false);
         EXPECT_EQ(m_dialog.GetDlgItemText(kEdit), "new");
         EXPECT_EQ(m_dialog.GetDlgItemTextLength(kEdit), 3);
       }),
       headless::Close()});
  EXPECT_TRUE(m_dialogs.Faults().empty());
}

TEST_F(DialogTest, EditLimitCutsInsertsAndCanBeLifted) {
  Run({headless::Run([this](HeadlessWindow& window) {
         m_dialog.EditSetLimitText(kEdit, 5);
         m_dialog.EditReplaceSel(kEdit, "1234567", false);
         EXPECT_EQ(window.Text(kEdit), "12345");
         m_dialog.EditSetLimitText(kEdit, 0);
         m_dialog.EditReplaceSel(kEdit, std::string(70000, 'x').c_str(), false);
         EXPECT_EQ(window.Text(kEdit).size(), 70005u);
       }),
       headless::Close()});
  ASSERT_GE(m_log.size(), 5u);
  EXPECT_EQ(m_log[3], "notify 1000 1281");  // EN_MAXTEXT, once
  EXPECT_EQ(m_log[4], "command 2");
}

TEST_F(DialogTest, ComboEntriesAtExplicitPositions) {
  Run({headless::Run([this](HeadlessWindow& window) {
         EXPECT_EQ(m_dialog.ComboInsertString(kCombo, 0, "SLOT3"), 0);
         EXPECT_EQ(m_dialog.ComboInsertString(kCombo, 0, "SLOT7"), 0);
         EXPECT_EQ(m_dialog.ComboInsertString(kCombo, -1, "SLOT1"), 2);
         EXPECT_EQ(m_dialog.ComboInsertString(kCombo, 5, "beyond"), kCbErr);
         EXPECT_EQ(m_dialog.ComboGetCount(kCombo), 3);
         EXPECT_EQ(m_dialog.ComboSetItemData(kCombo, 0, 7), 0);
         EXPECT_EQ(m_dialog.ComboSetItemData(kCombo, 3, 9), kCbErr);
         EXPECT_EQ(m_dialog.ComboGetItemData(kCombo, 0), 7);
         EXPECT_EQ(m_dialog.ComboGetItemData(kCombo, -1), kCbErr);
         EXPECT_EQ(m_dialog.ComboGetLBText(kCombo, 1), "SLOT3");
         EXPECT_EQ(m_dialog.ComboGetLBText(kCombo, 3), "");

         EXPECT_EQ(m_dialog.ComboSetCurSel(kCombo, 1), 1);
         EXPECT_EQ(m_dialog.GetDlgItemText(kCombo), "SLOT3");
         // An entry put in front moves the selection with its entry.
         m_dialog.ComboInsertString(kCombo, 0, "SLOT9");
         EXPECT_EQ(m_dialog.ComboGetCurSel(kCombo), 2);
         EXPECT_EQ(m_dialog.ComboSetCurSel(kCombo, 4), kCbErr);
         EXPECT_EQ(m_dialog.ComboGetCurSel(kCombo), kCbErr);
         EXPECT_EQ(m_dialog.GetDlgItemText(kCombo), "");

         m_dialog.ComboSetCurSel(kCombo, 0);
         m_dialog.ComboResetContent(kCombo);
         EXPECT_EQ(m_dialog.ComboGetCount(kCombo), 0);
         EXPECT_EQ(m_dialog.ComboGetCurSel(kCombo), kCbErr);
         EXPECT_EQ(window.Control(kCombo)->items.size(), 0u);
       }),
       headless::Close()});
  EXPECT_TRUE(m_dialogs.Faults().empty());
}

TEST_F(DialogTest, UserSelectionNotifiesAndDisabledControlsTakeNoInput) {
  Run({headless::Run([this](HeadlessWindow&) {
         m_dialog.ComboInsertString(kCombo, 0, "1");
         m_dialog.ComboInsertString(kCombo, 1, "2");
         m_dialog.EnableDlgItem(kButton, false);
         EXPECT_FALSE(m_dialog.IsDlgItemEnabled(kButton));
         EXPECT_TRUE(m_dialog.IsDlgItemEnabled(kCombo));
       }),
       headless::Select(kCombo, 1), headless::Click(kButton), headless::Close()});
  EXPECT_EQ(m_log[3], "notify 1006 1");
  EXPECT_EQ(m_log[4], "command 2");
  ASSERT_EQ(m_dialogs.Faults().size(), 1u);
  EXPECT_EQ(m_dialogs.Faults()[0], "Click: button 1001 is disabled");
}

TEST_F(DialogTest, UnknownControlsAreFaultsNotCrashes) {
  Run({headless::Run([this](HeadlessWindow&) {
         EXPECT_FALSE(m_dialog.SetDlgItemText(4242, "x"));
         EXPECT_EQ(m_dialog.GetDlgItemText(4242), "");
         EXPECT_EQ(m_dialog.ComboGetCount(kEdit), kCbErr);
       }),
       headless::Close()});
  EXPECT_EQ(m_dialogs.Faults().size(), 3u);
}

TEST_F(DialogTest, NestedModalRunsItsOwnScript) {
  std::vector<std::string> innerLog;
  CRecordingDialog inner(innerLog, &m_dialog);
  m_dialogs.QueueScript(kTemplate, {headless::Run([&](HeadlessWindow&) { inner.DoModal(); }),
                                    headless::Click(kIdOk)});
  m_dialogs.QueueScript(kTemplate, {headless::Click(kIdCancel)});
  EXPECT_EQ(m_dialog.DoModal(), kIdOk);
  const std::vector<HeadlessWindow*> windows = m_dialogs.Windows();
  ASSERT_EQ(windows.size(), 2u);
  EXPECT_EQ(windows[1]->Parent(), windows[0]->Handle());
  EXPECT_EQ(windows[1]->Result(), kIdCancel);
  EXPECT_EQ(innerLog.front(), "init");
}

TEST_F(DialogTest, EndDialogInsideInitShowsNothing) {
  class CClosingDialog : public CDialog {
   public:
    CClosingDialog() : CDialog(kTemplate) {}
    bool OnInitDialog() override {
      OnCancel();
      return true;
    }
    bool OnShowWindow(bool, uint32_t) override {
      ++shows;
      return false;
    }
    int shows = 0;
  };
  CClosingDialog closing;
  EXPECT_EQ(closing.DoModal(), kIdCancel);
  EXPECT_EQ(closing.shows, 0);
  EXPECT_EQ(m_dialogs.AbandonedRuns(), 0);
}

TEST_F(DialogTest, MissingTemplateFailsTheRun) {
  CDialog missing(4711);
  EXPECT_EQ(missing.DoModal(), -1);
  EXPECT_EQ(m_dialogs.Faults().size(), 1u);
}

}  // namespace
