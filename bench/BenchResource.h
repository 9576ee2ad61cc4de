// Resource ids of the bench dialogs, with the dialogs that use them; the
// program's resource script reads them through app/resource.h. Plain #defines
// so the resource compiler reads them too.
#pragma once

#define IDD_GUIDED_TEST 130
#define IDD_TLS_SELECT 132

// The guided optical test dialog.
#define IDC_HINT 1000
#define IDC_LASER_STATE 1001
#define IDC_PWM_MAINFRAME 1006
#define IDC_POWER_METER 1008
#define IDC_TLS_SLOT 1009
#define IDC_CHANNEL 1010
#define IDC_RESULT 1011
#define IDC_OUTPUT 1012
#define IDC_TLS_MAINFRAME 1013

// The TLS selection dialog.
#define IDC_TLS_LIST 1006
