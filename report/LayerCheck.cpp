#include "report/LayerCheck.h"

#include <cstring>

#include "report/Markup.h"

const char kInvalidTaskText[] = "An error detected in task number <br>\r\n";
const char kBannerEnd[] = "<br>\r\n<hr><br>\r\n";

namespace {

const char kBannerStars[] = "**********************************************<br>\r\n<b>";
const char kBannerClose[] = " <br>\r\n**********************************************<br>\r\n";

}  // namespace

CLayerCheck::CLayerCheck() { KeepErrorsIn(&m_findings); }

CLayerCheck::CLayerCheck(const CLayerTexts& layer) : m_layer(&layer) {
  KeepErrorsIn(&m_findings);
  SetName((std::string(layer.name) + " ").c_str());
}

CLayerCheck::~CLayerCheck() = default;

int CLayerCheck::Step() {
  if (m_layer == nullptr) return -1;
  if (m_task == m_layer->tasks + 1) {
    WriteVerdict();
    m_error = -1;
    return -1;
  }
  if (m_task < 1 || m_task > m_layer->tasks) {
    Write(m_layer->invalidTask);
    m_task = 1;
    return m_error;
  }
  m_task = RunTask(m_task);
  return m_error;
}

void CLayerCheck::SetName(const char* name) {
  std::strncpy(m_name, name, sizeof(m_name) - 1);
  m_name[sizeof(m_name) - 1] = '\0';
}

int CLayerCheck::Begin() {
  m_task = 1;
  ResetErrorCalls();
  WriteHeaderBanner((std::string(m_name) + "Layer check, </b>").c_str());
  m_error = 0;
  return m_task;
}

void CLayerCheck::WriteHeaderBanner(const char* title) {
  Write(kBannerStars);
  Write(title);
  WriteTimestamp();
  Write(kBannerClose);
}

const char* CLayerCheck::Keep(const CFindingField& field, const char* text) {
  m_findings.Set(field, text);
  return text;
}

int64_t CLayerCheck::KeepInteger(const CFindingField& field, int64_t value) {
  m_findings.SetInteger(field, value);
  return value;
}

const char* CLayerCheck::KeepWords(const CFindingField& field, const char* text) {
  m_findings.AppendWords(field, text);
  return text;
}

const char* CLayerCheck::KeepItem(const CFindingField& list, const char* text) {
  m_findings.Append(list, text);
  return text;
}

void CLayerCheck::MarkupToText(const char* source, char* destination) { ::MarkupToText(source, destination); }

std::string CLayerCheck::MarkupToText(const std::string& source) { return ::MarkupToText(source); }

std::string CLayerCheck::EscapeMarkup(const std::string& text) { return ::EscapeMarkup(text); }

void CLayerCheck::ReportProgress(const char* detail) {
  if (m_progress == nullptr) return;
  // A step the throttle passes over still gets its caption at the next point.
  if (detail != nullptr) m_caption = std::string(m_name) + "layer: " + detail;
  if (!m_progress->RefreshDue()) return;
  // What the window paints is never behind what the check has written.
  Flush();
  m_progress->ShowProgress(m_caption.empty() ? nullptr : m_caption.c_str());
  m_caption.clear();
}

void CLayerCheck::ReportBlockingCall(const char* detail, const char* call) {
  if (m_progress == nullptr) return;
  Flush();
  m_caption.clear();
  const std::string text = std::string(m_name) + "layer: " + detail;
  m_progress->ShowBlockingCall(text.c_str(), call);
}

void CLayerCheck::WriteVerdict() {
  // The verdict is a finding of its own, not an error line.
  EndErrorLine();
  KeepErrorsIn(nullptr);
  std::string banner = "_______________________________<br>\r\n";
  banner += m_layer->name;
  banner += m_error != 0 ? " Layer Check FAILED!!!. " : " Layer Checked, result OK. ";
  banner += m_layer->bannerEnd;
  if (m_error != 0) {
    WriteError(banner.c_str());
  } else {
    WriteOk(banner.c_str());
  }
  KeepErrorsIn(&m_findings);
}
