#include "app/DiagApp.h"

#include "app/DiagDlg.h"
#include "platform/InstrumentThread.h"
#include "platform/Platform.h"

bool CDiagApp::InitInstance() {
  if (GetPlatform().dialogs == nullptr) return false;
  GetPlatform().dialogs->InitCommonControls();
  // Without the thread (no platform threads) the calls run on this one as before.
  CInstrumentThread::Start();
  {
    CDiagDlg dialog;
    dialog.MakeMainWindow();
    dialog.DoModal();
  }
  CInstrumentThread::Stop();
  return false;
}
