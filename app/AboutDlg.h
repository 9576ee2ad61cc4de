#pragma once
// The About box: icon, program name and version, OK.
#include "app/resource.h"
#include "platform/Dialog.h"

class CAboutDlg : public CDialog {
 public:
  explicit CAboutDlg(CDialog* parent = nullptr) : CDialog(IDD_ABOUTBOX, parent) {}
};
