#include "app/DiagApp.h"

#include "app/DiagDlg.h"
#include "platform/Platform.h"

bool CDiagApp::InitInstance() {
  if (GetPlatform().dialogs == nullptr) return false;
  GetPlatform().dialogs->InitCommonControls();
  {
    CDiagDlg dialog;
    dialog.MakeMainWindow();
    dialog.DoModal();
  }
  return false;
}
