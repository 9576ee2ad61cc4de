#pragma once
// The choice of the tunable laser that sweeps for the trigger test, shown when
// the bench has more than one; OK runs the test before the dialog closes.
#include <cstdint>
#include <string>

#include "platform/Dialog.h"

class CTriggerCheck;

class CTlsSelectDlg : public CDialog {
 public:
  CTlsSelectDlg();

  // The ';' among the first limit characters of text, up to its terminator.
  static int32_t CountListItems(const char* text, int32_t limit);

  // The TLS list of the check, filled by the Triggers command.
  std::string m_listText;
  // Runs the test; not owned.
  CTriggerCheck* m_check = nullptr;

 protected:
  bool OnInitDialog() override;
  void OnOK() override;
};

// The dialog reads at most this much of the list.
constexpr int32_t kTlsListTextLimit = 10000;
