#pragma once
// The report window as the checks see it: the main dialog's multi-line edit control,
// written by inserting at the caret.
#include <cstdint>

#include "platform/Dialog.h"
#include "report/LayerCheck.h"

class CReportWindow : public IReportWindow {
 public:
  CReportWindow(CDialog& dialog, int32_t controlId) : m_dialog(dialog), m_controlId(controlId) {}

  void ReplaceSelection(const char* text) override {
    m_dialog.EditReplaceSel(m_controlId, text, false);
  }

 private:
  CDialog& m_dialog;
  int32_t m_controlId;
};
