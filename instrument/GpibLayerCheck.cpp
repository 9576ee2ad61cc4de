#include "instrument/GpibLayerCheck.h"

#include <string>

#include "host/LibraryProbe.h"
#include "platform/Platform.h"

const char kVisaLibrary[] = "visa32.dll";

namespace {

constexpr ViAttrState kTimeoutMilliseconds = 2000;
constexpr size_t kDescriptionSize = 256;
constexpr size_t kAnswerSize = 4096;
constexpr size_t kSystemErrorSize = 256;

}  // namespace

CGpibLayerCheck::CGpibLayerCheck() { SetName("GPIB "); }

CGpibLayerCheck::~CGpibLayerCheck() = default;

int CGpibLayerCheck::Step() {
  switch (m_task) {
    case 1: {
      if (CheckLibrary(kVisaLibrary) != kLibraryAccessible) {
        m_error = kGpibErrorNoVisa;
      } else {
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
      }
      m_task = 2;
      return m_error;
    }
    case 2:
      WriteVerdict("GPIB");
      m_error = -1;
      return -1;
    default:
      Write("An error detected in task number <br>\r\n");
      m_task = 1;
      return m_error;
  }
}

int CGpibLayerCheck::ScanGpibBoard(int board) {
  if (board < 0 || board > 9) return 0;
  const std::string name = "GPIB" + std::to_string(board);
  return ScanResources(name.c_str()) > 0 ? 1 : 0;
}

int CGpibLayerCheck::ScanResources(const char* interfaceName) {
  ILibraries* libraries = GetPlatform().libraries;
  if (libraries == nullptr) return 0;
  ViTable visa;
  if (visa.Load(*libraries, kVisaLibrary) == nullptr) return 0;
  const char* missing = nullptr;
  if (visa.FirstMissing(&missing) != 0) {
    if (!m_missingReported) {
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
    Write("Found resource: ");
    WriteInfoExternal(description);
    Write("<br>\r\n");
    visa.viSetAttribute(manager, kViAttrTimeoutValue, kTimeoutMilliseconds);
    QuerySystemError(manager);

    ViSession instrument = 0;
    ReportBlockingCall((std::string("opening ") + description).c_str(),
                       (std::string("the open of ") + description).c_str());
    if (visa.viOpen(manager, description, 0, 0, &instrument) != kViSuccess) {
      QuerySystemError(instrument);
    } else {
      visa.viSetAttribute(instrument, kViAttrTimeoutValue, kTimeoutMilliseconds);
      std::string answer(kAnswerSize, '\0');
      visa.viQueryf(instrument, "*IDN?\n", "%t", &answer[0]);
      answer.back() = '\0';
      Write("Instrument: ");
      WriteInfoExternal(answer.c_str());
      if (visa.viClose(instrument) == kViSuccess) {
        Write("\r\nresource closed successfully, <br>\r\n");
      } else {
        QuerySystemError(instrument);
      }
    }
    findStatus = visa.viFindNext(findList, description);
  }
  return static_cast<int>(count);
}

void CGpibLayerCheck::QuerySystemError(ViSession session) {
  char answer[kSystemErrorSize] = {};
  ILibraries* libraries = GetPlatform().libraries;
  if (libraries == nullptr) return;
  ViTable visa;
  visa.Load(*libraries, kVisaLibrary);
  if (visa.viQueryf == nullptr) return;
  const ViStatus status = visa.viQueryf(session, "%s\n", "%t", "SYST:ERR?", answer);
  answer[kSystemErrorSize - 1] = '\0';
  if (status == kViErrorTimeout) {
    WriteError("System Error - Timeout\r\n");
  } else if (answer[0] != '+') {
    WriteExternal(answer);
  }
}
