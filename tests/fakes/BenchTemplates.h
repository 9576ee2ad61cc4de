#pragma once
// The templates of the guided test dialog (130), the TLS selection dialog (132)
// and the instrument I/O panel (140) as benchsentry.rc defines them, for the
// headless backend.
#include "tests/fakes/HeadlessDialog.h"

void DefineGuidedTestTemplate(CHeadlessDialogBackend& dialogs);
void DefineTlsSelectTemplate(CHeadlessDialogBackend& dialogs);
void DefineInstrumentIoTemplate(CHeadlessDialogBackend& dialogs);
