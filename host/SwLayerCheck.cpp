#include "host/SwLayerCheck.h"

#include <string>

#include "host/LibraryProbe.h"
#include "host/ZebFunctions.h"
#include "platform/Platform.h"

namespace {


const char kBannerFailed[] =
    "_______________________________<br>\r\nSW Layer Check FAILED!!!. <br>\r\n<hr><br>\r\n";
const char kBannerOk[] =
    "_______________________________<br>\r\nSW Layer Checked, result OK. <br>\r\n<hr><br>\r\n";
const char kNotCallable[] = "Unable to call the DLL function ZebVersionString";

}  // namespace

CSwLayerCheck::CSwLayerCheck() {
  SetName("SW ");
  m_findings.SetEmptyList("libraries");
  // Found by name, the photonic library is asked for its own version.
  m_findings.SetNull("photonic_library");
}

CSwLayerCheck::~CSwLayerCheck() = default;

int CSwLayerCheck::Step() {
  switch (m_task) {
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
    case 11:
      if (m_error != 0) WriteError(kBannerFailed);
      else WriteOk(kBannerOk);
      m_error = -1;
      return -1;
    default:
      Write("An error detected in task number, This should never happen. <br>\r\n");
      m_task = 1;
      return m_error;
  }
  ++m_task;
  return m_error;
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
  m_findings.Enter("photonic_library");
  m_findings.SetBool("callable", false);
  m_findings.SetNull("version_string");
  m_findings.SetNull("version");
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

    m_findings.SetBool("callable", true);
    Write("ZebVersionString: ");
    WriteInfo("\"");
    WriteInfoExternal(Keep("version_string", text));
    WriteInfo("\"");

    Write("<br>\r\nZebVersion: ");
    m_findings.Set("version", std::to_string(a) + "." + std::to_string(b) + "." + std::to_string(c));
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
      m_findings.Set("visa_publisher", "maker");
      minMS = kVisaMinMakerMS;
      minLS = kVisaMinMakerLS;
      break;
    case kPublisherNational:
      m_findings.Set("visa_publisher", "national");
      minMS = kVisaMinNationalMS;
      minLS = kVisaMinNationalLS;
      break;
    default:
      m_findings.Set("visa_publisher", "other");
      Write(
          "Please uprgade your visa32.dll to National Instruments visa32.dll ver. 2.5 or Velmora "
          "Technologies visa32.dll ver. J.01.01\r\n<br>");
      break;
  }
  CheckLibrary("visa32.dll", minMS, minLS);
}
