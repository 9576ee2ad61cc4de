// Resource and command ids of benchsentry.exe, shared by benchsentry.rc and the
// dialogs' code. Plain #defines so the resource compiler reads them too.
#pragma once

#include "app/InstrumentIoResource.h"
#include "bench/BenchResource.h"

#define IDD_ABOUTBOX 100
#define IDS_ABOUTBOX 101
#define IDD_BENCHSENTRY_DIALOG 102
#define IDR_MAINFRAME 128
#define IDR_MAINMENU 129

// The system-menu item of the About box.
#define IDM_ABOUTBOX 0x0010

// The report window.
#define IDC_REPORT 1000

// Menu commands, each with the second id its handler also answers to.
#define ID_LAYER_OS 32795
#define ID_LAYER_OS_ALT 32771
#define ID_LAYER_SW 32796
#define ID_LAYER_SW_ALT 32772
#define ID_LAYER_GPIB 32797
#define ID_LAYER_GPIB_ALT 32773
#define ID_LAYER_INSTR 32798
#define ID_LAYER_INSTR_ALT 32774
#define ID_LAYER_OPTICAL 32799
#define ID_LAYER_OPTICAL_ALT 32775
#define ID_DIAGNOSE_ALL 32793
#define ID_DIAGNOSE_ALL_ALT 32776
#define ID_DIAGNOSE_GUIDED 32801
#define ID_DIAGNOSE_GUIDED_ALT 32777
#define ID_DIAGNOSE_TRIGGERS 32800
#define ID_DIAGNOSE_TRIGGERS_ALT 32788
#define ID_DIAGNOSE_VISA 32811
#define ID_EDIT_CLEAR 57632
#define ID_EDIT_CLEAR_ALT 1001
#define ID_FILE_SAVE_AS_TEXT 32791
#define ID_FILE_SAVE_AS_TEXT_ALT 1002
#define ID_FILE_SAVE 57603
#define ID_FILE_SAVE_ALT 1003
// Every call into the bench libraries since the window opened or the last Clear.
#define ID_FILE_SAVE_TRACE 32810
#define ID_FILE_VIEW_AS_HTML 32789
#define ID_FILE_VIEW_AS_HTML_ALT 1005
#define ID_FILE_EXIT 32792
#define ID_ABOUT 32802
#define ID_EDIT_GET_PHYSICAL_ADDRESS 32806
#define ID_DIAGNOSE_IO 32812

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
