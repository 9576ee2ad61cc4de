#include "instrument/GpibLayerCheck.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "host/LibraryProbe.h"
#include "platform/Platform.h"

const char kVisaLibrary[] = "visa32.dll";

namespace {

constexpr ViAttrState kTimeoutMilliseconds = 2000;
constexpr size_t kDescriptionSize = kViFindBufferSize;
constexpr size_t kAnswerSize = 4096;
constexpr size_t kSystemErrorSize = 256;
// Past this an instrument that never ends its message is not read further.
constexpr size_t kMaxAnswerSize = 1u << 22;

// Writes the query and reads its answer whole however long it is, never past
// a buffer: each read is bounded by the count of "%#t" (chunkSize characters
// and the terminator, whichever way a library counts), and viScanf reads what
// a full one left until the message has ended. argument: the write format's
// string, or null for a format without one. The status of the query.
ViStatus QueryWhole(const ViTable& visa, ViSession session, const char* writeFormat, const char* argument,
                    size_t chunkSize, std::string& answer) {
  answer.clear();
  std::vector<char> chunk(chunkSize + 1, '\0');
  ViInt32 count = static_cast<ViInt32>(chunkSize);
  const ViStatus status = argument != nullptr
                              ? visa.viQueryf(session, writeFormat, "%#t", argument, &count, chunk.data())
                              : visa.viQueryf(session, writeFormat, "%#t", &count, chunk.data());
  ViStatus read = status;
  while (read == kViSuccess) {
    const size_t bound = std::min(static_cast<size_t>(std::max<ViInt32>(count, 0)), chunkSize);
    chunk[chunkSize] = '\0';
    const size_t stored = strnlen(chunk.data(), bound);
    answer.append(chunk.data(), stored);
    // A read that did not fill its chunk, or that ends the line, ended the message.
    const bool full = stored + 1 >= chunkSize && (stored == 0 || chunk[stored - 1] != '\n');
    if (!full || visa.viScanf == nullptr || answer.size() >= kMaxAnswerSize) break;
    count = static_cast<ViInt32>(chunkSize);
    chunk[0] = '\0';
    read = visa.viScanf(session, "%#t", &count, chunk.data());
  }
  return status;
}

}  // namespace

CGpibLayerCheck::CGpibLayerCheck() : CLibraryProbeCheck(kGpibLayer) {
  m_findings.Hold(Finding::Layer::libraries);
  m_findings.Hold(Finding::Layer::missing_function);
  m_findings.Hold(Finding::Layer::boards);
}

CGpibLayerCheck::~CGpibLayerCheck() = default;

int CGpibLayerCheck::RunTask(int task) {
  if (CheckLibrary(kVisaLibrary) != kLibraryAccessible) {
    m_error = kGpibErrorNoVisa;
    return task + 1;
  }
  int found = 0;
  // Every interface is scanned, also after a hit.
  for (int board = 0; board <= 9; ++board) {
    // A board's listing and its queries may wait for VISA timeouts.
    Flush();
    found |= ScanGpibBoard(board);
  }
  if (found == 0) {
    m_error = kGpibErrorNoResource;
    WriteError("Could not find any resource on GPIB\r\n<br>");
  }
  return task + 1;
}

int CGpibLayerCheck::ScanGpibBoard(int board) {
  if (board < 0 || board > 9) return 0;
  const std::string name = "GPIB" + std::to_string(board);
  m_findings.Add(Finding::Layer::boards);
  m_findings.Set(Finding::Board::interface_, name);
  const int found = ScanResources(name.c_str()) > 0 ? 1 : 0;
  m_findings.Leave();
  return found;
}

int CGpibLayerCheck::ScanResources(const char* interfaceName) {
  ILibraries* libraries = GetPlatform().libraries;
  if (libraries == nullptr) return 0;
  ViTable visa;
  if (visa.Load(*libraries, kVisaLibrary) == nullptr) return 0;
  const char* missing = nullptr;
  if (visa.FirstMissing(&missing) != 0) {
    if (!m_missingReported) {
      m_findings.SetTop(Finding::Layer::missing_function, missing);
      const std::string text = std::string(missing) + " not found in visa32.dll\r\n<br>";
      WriteError(text.c_str());
      m_missingReported = true;
    }
    return 0;
  }

  const std::string pattern = std::string(interfaceName) + "::?*INSTR";
  ViSession manager = 0;
  const ViStatus openStatus = visa.viOpenDefaultRM(&manager);
  QuerySystemError(manager);
  if (openStatus != kViSuccess) return 0;
  visa.viSetAttribute(manager, kViAttrTimeoutValue, kTimeoutMilliseconds);
  QuerySystemError(manager);

  ViFindList findList = 0;
  ViUInt32 count = 0;
  char description[kDescriptionSize] = {};
  ViStatus findStatus = visa.viFindRsrc(manager, pattern.c_str(), &findList, &count, description);
  if (findStatus != kViSuccess) count = 0;
  while (findStatus == kViSuccess) {
    description[kDescriptionSize - 1] = '\0';
    m_findings.Add(Finding::Board::resources);
    ScanResource(visa, manager, description);
    m_findings.Leave();
    findStatus = visa.viFindNext(findList, description);
  }
  return static_cast<int>(count);
}

void CGpibLayerCheck::ScanResource(ViTable& visa, ViSession manager, const char* description) {
  Write("Found resource: ");
  WriteInfoExternal(Keep(Finding::Resource::resource, description));
  Write("<br>\r\n");
  visa.viSetAttribute(manager, kViAttrTimeoutValue, kTimeoutMilliseconds);
  QuerySystemError(manager);

  ViSession instrument = 0;
  ReportBlockingCall((std::string("opening ") + description).c_str(),
                     (std::string("the open of ") + description).c_str());
  if (visa.viOpen(manager, description, 0, 0, &instrument) != kViSuccess) {
    QuerySystemError(instrument);
    return;
  }
  m_findings.SetBool(Finding::Resource::opened, true);
  visa.viSetAttribute(instrument, kViAttrTimeoutValue, kTimeoutMilliseconds);
  std::string answer;
  QueryWhole(visa, instrument, "*IDN?\n", nullptr, kAnswerSize, answer);
  Write("Instrument: ");
  WriteInfoExternal(Keep(Finding::Resource::identification, answer.c_str()));
  const bool closed = visa.viClose(instrument) == kViSuccess;
  m_findings.SetBool(Finding::Resource::closed, closed);
  if (closed) {
    Write("\r\nresource closed successfully, <br>\r\n");
  } else {
    QuerySystemError(instrument);
  }
}

void CGpibLayerCheck::QuerySystemError(ViSession session) {
  ILibraries* libraries = GetPlatform().libraries;
  if (libraries == nullptr) return;
  ViTable visa;
  visa.Load(*libraries, kVisaLibrary);
  if (visa.viQueryf == nullptr) return;
  std::string answer;
  const ViStatus status = QueryWhole(visa, session, "%s\n", "SYST:ERR?", kSystemErrorSize, answer);
  if (status == kViErrorTimeout) {
    m_findings.Append(Finding::Resource::system_errors, "System Error - Timeout");
    WriteError("System Error - Timeout\r\n");
  } else if (answer.empty() || answer[0] != '+') {
    // An empty answer shows nothing and is no finding.
    WriteExternal(!answer.empty() ? KeepItem(Finding::Resource::system_errors, answer.c_str()) : "");
  }
}
