#include "host/SwLayerCheck.h"

#include <string>

#include "host/LibraryProbe.h"
#include "host/ZebFunctions.h"
#include "platform/Platform.h"

namespace {


const char kNotCallable[] = "Unable to call the DLL function ZebVersionString";

}  // namespace

CSwLayerCheck::CSwLayerCheck() : CLibraryProbeCheck(kSwLayer) {
  m_findings.Hold(Finding::Layer::libraries);
  // Found by name, the photonic library is asked for its own version.
  m_findings.Hold(Finding::Layer::photonic_library);
}

CSwLayerCheck::~CSwLayerCheck() = default;

int CSwLayerCheck::RunTask(int task) {
  switch (task) {
    case 1: ProbePhotonicLibrary(); break;
    case 2: CheckLibrary("rz2290_32.dll"); break;
    case 3: CheckLibrary("kv740m_32.dll"); break;
    case 4: ProbeVisaLibrary(); break;
    case 5: CheckLibrary("msvcrt.dll"); break;
    case 6: CheckLibrary("msvcp60.dll"); break;
    case 7: CheckLibrary("advapi32.dll"); break;
    case 8: CheckLibrary("wsock32.dll"); break;
    case 9: CheckLibrary("rpcrt4.dll"); break;
    case 10: CheckLibrary("netapi32.dll"); break;
  }
  return task + 1;
}

void CSwLayerCheck::ProbePhotonicLibrary() {
  switch (CheckLibrary("zeb_32.dll")) {
    case kLibraryNotFound:
      m_error = kSwErrorZebNotFound;
      return;
    case kLibraryCopiesFound:
      m_error = kSwErrorZebCopiesFound;
      Write(
          "The most probable reason for this problem is that one of the files: <b> visa32.dll, "
          "rz2290_32.dll, kv740m_32.dll </b>is not accessible. <br>\r\n<br>\r\n");
      return;
    default:
      CallPhotonicLibrary();
      return;
  }
}

void CSwLayerCheck::CallPhotonicLibrary() {
  m_findings.Enter(Finding::Layer::photonic_library);
  AskPhotonicLibrary();
  m_findings.Leave();
}

void CSwLayerCheck::AskPhotonicLibrary() {
  ILibraries* libraries = GetPlatform().libraries;
  ZebTable zeb;
  ModuleHandle module = libraries != nullptr ? zeb.Load(*libraries, "zeb_32") : nullptr;
  if (module == nullptr) {
    Write(kNotCallable);
    m_error = kSwErrorZebNotCallable;
    return;
  }

  if (zeb.ZebVersionString != nullptr) {
    char text[kZebVersionStringSize] = {};
    int16_t a = 0;
    int16_t b = 0;
    int16_t c = 0;
    zeb.ZebVersionString(text);
    // The library's text is trusted no further than the buffer's end.
    text[kZebVersionStringSize - 1] = '\0';
    // A library lacking one of the other exports still gets its version text
    // reported; the missing call is skipped.
    if (zeb.ZebVersion != nullptr) zeb.ZebVersion(&a, &b, &c);

    m_findings.SetBool(Finding::Photonic::callable, true);
    Write("ZebVersionString: ");
    WriteInfo("\"");
    WriteInfoExternal(Keep(Finding::Photonic::version_string, text));
    WriteInfo("\"");

    Write("<br>\r\nZebVersion: ");
    m_findings.Set(Finding::Photonic::version, std::to_string(a) + "." + std::to_string(b) + "." + std::to_string(c));
    WriteInfo(std::to_string(a).c_str());
    Write(".");
    WriteInfo(std::to_string(b).c_str());
    Write(".");
    WriteInfo(std::to_string(c).c_str());
    Write(" ");

    if (zeb.ZebInit != nullptr) zeb.ZebInit(0, 0);
    Write("<br>\r\n");
    if (zeb.ZebClose != nullptr) zeb.ZebClose();
  }

  libraries->FreeLibrary(module);

  if (zeb.ZebVersionString == nullptr) {
    Write(kNotCallable);
    m_error = kSwErrorZebNotCallable;
  }
}

void CSwLayerCheck::ProbeVisaLibrary() {
  uint32_t minMS = 0;
  uint32_t minLS = 0;
  switch (GetLibraryPublisher("visa32.dll")) {
    case kPublisherMaker:
      m_findings.Set(Finding::Layer::visa_publisher, "maker");
      minMS = kVisaMinMakerMS;
      minLS = kVisaMinMakerLS;
      break;
    case kPublisherNational:
      m_findings.Set(Finding::Layer::visa_publisher, "national");
      minMS = kVisaMinNationalMS;
      minLS = kVisaMinNationalLS;
      break;
    default:
      m_findings.Set(Finding::Layer::visa_publisher, "other");
      Write(
          "Please uprgade your visa32.dll to National Instruments visa32.dll ver. 2.5 or Velmora "
          "Technologies visa32.dll ver. J.01.01\r\n<br>");
      break;
  }
  CheckLibrary("visa32.dll", minMS, minLS);
}
