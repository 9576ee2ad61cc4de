#include "host/OsLayerCheck.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "platform/Platform.h"

const char kServicePackAnchor[] =
    "<a target=_blank href=\"https://www.microsoft.com/en-us/download/windows.aspx\"> click "
    "here to download SP5</a>";

namespace {

constexpr uint32_t kVersionRecordSize = 156;
constexpr uint32_t kBasicVersionRecordSize = 148;
constexpr uint32_t kProductTypeSize = 80;
constexpr size_t kServicePackDigit = 13;

std::string Decimal(int64_t value) { return std::to_string(value); }

std::string Hex(uint32_t value) {
  char text[16] = {};
  std::snprintf(text, sizeof(text), "%x", value);
  return text;
}

// "%*ld MB" and "%*ld kB" with width 7, for amounts beyond 32 bits as well.
std::string Amount(int64_t value, const char* unit) {
  char text[48] = {};
  std::snprintf(text, sizeof(text), "%*lld %s", 7, static_cast<long long>(value), unit);
  return text;
}

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualsIgnoringCase(const char* a, const char* b) {
  for (; *a != '\0' && *b != '\0'; ++a, ++b) {
    if (AsciiLower(*a) != AsciiLower(*b)) return false;
  }
  return *a == *b;
}

}  // namespace

COsLayerCheck::COsLayerCheck() : CLibraryProbeCheck(kOsLayer) {
  m_findings.Hold(Finding::Layer::system);
  m_findings.Hold(Finding::Layer::libraries);
}

COsLayerCheck::~COsLayerCheck() = default;

int COsLayerCheck::RunTask(int task) {
  switch (task) {
    case 1:
      ReportOsVersion();
      break;
    case 2:
      if (CheckLibrary("mfc42.dll") != 1) m_error = kOsErrorMfc42;
      break;
    case 3:
      if (CheckLibrary("ole32.dll") != 1) m_error = kOsErrorOle32;
      if (CheckLibrary("msvcrt.dll") != 1) m_error = kOsErrorMsvcrt;
      break;
  }
  return task + 1;
}

int COsLayerCheck::ReportOsVersion() {
  m_findings.Enter(Finding::Layer::system);
  const int reported = ReportSystem();
  m_findings.Leave();
  return reported;
}

int COsLayerCheck::ReportSystem() {
  ISystem* system = GetPlatform().system;

  SystemInfoRecord info;
  if (system != nullptr) system->GetSystemInfo(info);
  ReportProcessor(info);

  ReportAdapterAddress();
  ReportIpAddress();

  MemoryStatusRecord memory;
  if (system != nullptr) memory = ReadMemoryStatus(*system);
  ReportMemory(memory);

  if (system == nullptr) return 0;
  OsVersionRecord version;
  version.size = kVersionRecordSize;
  if (!system->GetVersionEx(version)) {
    version = OsVersionRecord();
    version.size = kBasicVersionRecordSize;
    if (!system->GetVersionEx(version)) return 0;
  }
  version.csdVersion[sizeof(version.csdVersion) - 1] = '\0';

  Write("Operating system: ");
  switch (version.platformId) {
    case 0:
      WriteError(KeepWords(Finding::System::operating_system, "Microsoft Win32s <br>\r\n"));
      m_error = kOsErrorWin9x;
      return 1;
    case 1:
      if (version.majorVersion > 4 || (version.majorVersion == 4 && version.minorVersion != 0)) {
        WriteError(KeepWords(Finding::System::operating_system, "Microsoft Windows 98 <br>\r\n"));
      } else {
        WriteError(KeepWords(Finding::System::operating_system, "Microsoft Windows 95 <br>\r\n"));
      }
      m_error = kOsErrorWin9x;
      return 1;
    case 2:
      break;
    default:
      WriteError("Incorrect operating system version information");
      return 0;
  }

  m_findings.Set(Finding::System::operating_system, "");
  if (version.majorVersion <= 4) WriteInfo(KeepWords(Finding::System::operating_system, "Microsoft Windows NT "));
  else if (version.majorVersion == 5) WriteInfo(KeepWords(Finding::System::operating_system, "Microsoft Windows 2000 "));

  ReportProductType();

  m_findings.Set(Finding::System::version, Decimal(version.majorVersion) + "." + Decimal(version.minorVersion));
  WriteInfo(Decimal(version.majorVersion).c_str());
  Write(".");
  WriteInfo(Decimal(version.minorVersion).c_str());
  Write("<br> \r\n");

  Write("Build no.");
  WriteInfo(Decimal(KeepInteger(Finding::System::build, version.buildNumber & 0xFFFF)).c_str());
  Write("<br>\r\n");

  ReportServicePack(version);
  return 1;
}

void COsLayerCheck::ReportProductType() {
  ISystem* system = GetPlatform().system;
  uint8_t productType[kProductTypeSize] = {};
  RegistryKey key = nullptr;
  if (system->RegOpenKeyEx("SYSTEM\\CurrentControlSet\\Control\\ProductOptions", &key) == 0) {
    uint32_t size = kProductTypeSize;
    if (system->RegQueryValueEx(key, "ProductType", productType, &size) != 0) {
      std::memset(productType, 0, sizeof(productType));
    }
    system->RegCloseKey(key);
  }
  // Registry strings need not carry their terminator.
  productType[kProductTypeSize - 1] = '\0';

  const char* text = reinterpret_cast<const char*>(productType);
  if (EqualsIgnoringCase(text, "WINNT")) WriteInfo(KeepWords(Finding::System::operating_system, "Workstation "));
  else if (EqualsIgnoringCase(text, "SERVERNT")) WriteInfo(KeepWords(Finding::System::operating_system, "Server <br>\r\n"));
}

void COsLayerCheck::ReportServicePack(const OsVersionRecord& version) {
  const bool sufficient = version.majorVersion > 4 ||
                          static_cast<signed char>(version.csdVersion[kServicePackDigit]) >= '5';
  if (sufficient) {
    WriteExternal(Keep(Finding::System::service_pack, version.csdVersion));
    Write("<br>\r\n");
    return;
  }
  m_error = kOsErrorServicePack;
  WriteErrorExternal(Keep(Finding::System::service_pack, version.csdVersion));
  Write("<br>\r\n");
  WriteError("Please upgrade to SP5 version or newer.<br>\r\n");
  WriteError(kServicePackAnchor);
  Write("<br>\r\n");
}

void COsLayerCheck::ReportProcessor(const SystemInfoRecord& info) {
  m_findings.Enter(Finding::System::processor);
  Write("Processor Type: ");
  WriteInfo(Decimal(KeepInteger(Finding::Processor::type, info.processorType)).c_str());
  Write(" family: ");
  WriteInfo(Decimal(KeepInteger(Finding::Processor::family, info.processorLevel)).c_str());
  const uint32_t model = info.processorRevision >> 8;
  const uint32_t stepping = info.processorRevision & 0xFF;
  if (model != 0xFF) {
    Write(" model: ");
    WriteInfo(Keep(Finding::Processor::model, Hex(model).c_str()));
    Write(" stepping: ");
    WriteInfo(Keep(Finding::Processor::stepping, Hex(stepping).c_str()));
    Write("\r\n<br>");
  }
  m_findings.Leave();
}

MemoryStatusRecord ReadMemoryStatus(ISystem& system) {
  MemoryStatusRecord memory;
  // The extended call keeps totals of 4 GiB and more; the basic one is what
  // systems before 2000 offer.
  if (system.HasGlobalMemoryStatusEx() && system.GlobalMemoryStatusEx(memory)) return memory;
  memory = MemoryStatusRecord();
  system.GlobalMemoryStatus(memory);
  return memory;
}

void COsLayerCheck::ReportMemory(const MemoryStatusRecord& memory) {
  m_findings.Enter(Finding::System::memory);
  Write("RAM available = ");
  WriteInfo(Amount(KeepInteger(Finding::Memory::total_mb, static_cast<int64_t>(memory.totalPhys >> 20)), "MB").c_str());
  Write("\r\n<br>");
  Write("Free physical memory = ");
  WriteInfo(Amount(KeepInteger(Finding::Memory::free_kb, static_cast<int64_t>(memory.availPhys >> 10)), "kB").c_str());
  Write("\r\n<br>");
  m_findings.Leave();
}
