#include "instrument/VisaLibrariesCheck.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <set>
#include <tuple>

#include "host/FileVersionInfo.h"
#include "host/LibraryProbe.h"
#include "instrument/VisaFunctions.h"
#include "platform/Platform.h"

const char kVisaLibrariesTitle[] = "VISA Libraries";

namespace {

constexpr uint32_t kErrorModuleNotFound = 126;  // ERROR_MOD_NOT_FOUND
constexpr uint32_t kErrorBadImage = 193;        // ERROR_BAD_EXE_FORMAT
// VISA texts are at most 256 characters; the buffer is larger for a library that overruns.
constexpr size_t kAttributeTextSize = 1024;

std::string Hex(uint32_t value, int digits) {
  char text[16];
  std::snprintf(text, sizeof(text), "0x%0*lX", digits, static_cast<unsigned long>(value));
  return text;
}

// The VISA version form: major in the top 12 bits, minor in the next 12, sub-minor in the low 8.
std::string VisaVersionText(uint32_t version) {
  return std::to_string(version >> 20) + "." + std::to_string((version >> 8) & 0xFFF) + "." +
         std::to_string(version & 0xFF);
}

std::string Trimmed(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return std::string();
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// A maker and a publisher name the same company when one begins with the other
// ("Velmora Technologies" and "Velmora Technologies GmbH"), case aside.
bool SameCompany(const std::string& a, const std::string& b) {
  const std::string x = Trimmed(a);
  const std::string y = Trimmed(b);
  const size_t length = std::min(x.size(), y.size());
  return length > 0 && SameFileName(x.substr(0, length), y.substr(0, length));
}

const CVisaCopy* FirstSearchedCopy(const CVisaInventory& inventory) {
  for (const CVisaCopy& copy : inventory.copies) {
    if (inventory.folders[copy.folder].searched && copy.file == kVisa32Library) return &copy;
  }
  return nullptr;
}

}  // namespace

CVisaLibrariesCheck::CVisaLibrariesCheck() { SetName("VISA Libraries "); }

// The library stays loaded, as the other checks leave the bench libraries.
CVisaLibrariesCheck::~CVisaLibrariesCheck() = default;

std::string CVisaLibrariesCheck::Program() const {
  return "a " + std::to_string(m_inventory.programBits) + "-bit program";
}

int CVisaLibrariesCheck::Start() {
  m_task = 1;
  WriteHeaderBanner((std::string(kVisaLibrariesTitle) + " check, </b>").c_str());
  m_error = 0;
  return m_task;
}

int CVisaLibrariesCheck::Step() {
  switch (m_task) {
    case 1:
      ReportProgress("reading the folders and the registry");
      m_inventory = ReadVisaInventory();
      ReportLoadedLibrary();
      break;
    case 2:
      ReportSelfDescription();
      break;
    case 3:
      ReportCopies();
      break;
    case 4:
      ReportRegistry();
      break;
    case 5:
      ReportWarnings();
      break;
    case 6: {
      std::string banner = "_______________________________<br>\r\n";
      banner += kVisaLibrariesTitle;
      if (m_error != 0) {
        WriteError((banner + " Check FAILED!!!. <br>\r\n<hr><br>\r\n").c_str());
      } else {
        WriteOk((banner + " Checked, result OK. <br>\r\n<hr><br>\r\n").c_str());
      }
      m_error = -1;
      return -1;
    }
    default:
      Write("An error detected in task number <br>\r\n");
      m_task = 1;
      return m_error;
  }
  ++m_task;
  return m_error;
}

// The loaded library's record holds these facts under the same keys as a copy's.
void CVisaLibrariesCheck::WriteFacts(const CVisaCopy& copy) {
  namespace Copy = Finding::VisaCopy;
  const std::string image = ImageTypeText(copy.image);
  if (copy.hasVersion) {
    Write("version ");
    WriteInfo(Keep(Copy::version, FileVersionText(copy.versionMS, copy.versionLS).c_str()));
    Write(" \"");
    WriteInfoExternal(Keep(Copy::version_string, copy.productVersion.c_str()));
    Write("\", publisher ");
    WriteInfoExternal(Keep(Copy::publisher, copy.publisher.c_str()));
  } else {
    for (const CFindingField* field : {&Copy::version, &Copy::version_string, &Copy::publisher}) m_findings.Hold(*field);
    Write("no version information");
  }
  Write(", ");
  WriteInfo(Keep(Copy::image, image.c_str()));
}

void CVisaLibrariesCheck::ReportLoadedLibrary() {
  namespace Run = Finding::VisaRun;
  namespace Loaded = Finding::VisaLoaded;
  m_findings.SetInteger(Run::program_bits, m_inventory.programBits);
  if (m_inventory.windowsBits != 0) {
    m_findings.SetInteger(Run::windows_bits, m_inventory.windowsBits);
  } else {
    m_findings.Hold(Run::windows_bits);
  }
  m_findings.SetBool(Run::safe_search, m_inventory.safeSearch);

  Write("<b>The VISA library this program loads</b><br>\r\n");
  ILibraries* libraries = GetPlatform().libraries;
  m_module = libraries != nullptr ? libraries->LoadLibraryReporting(kVisa32Library, m_loadError) : nullptr;
  m_findings.Enter(Run::loaded);
  if (m_module == nullptr) {
    ReportLoadFailure();
    m_findings.Leave();
    return;
  }
  if (!libraries->GetModuleFileName(m_module, m_loaded.path)) m_loaded.path.clear();
  // Asked of the module itself, not guessed from the search order.
  CFileVersionInfo info;
  if (info.Load(kVisa32Library) == 1) {
    m_loaded.hasVersion = true;
    m_loaded.versionMS = info.FileVersionMS();
    m_loaded.versionLS = info.FileVersionLS();
    m_loaded.productVersion = info.GetString("ProductVersion");
    m_loaded.publisher = info.GetString("CompanyName");
  }
  m_loaded.image = ReadImageType(m_loaded.path.c_str());
  Write("Loaded: ");
  if (m_loaded.path.empty()) {
    m_findings.Hold(Loaded::path);
    WriteError("its path cannot be read");
  } else {
    WriteInfoExternal(Keep(Loaded::path, m_loaded.path.c_str()));
  }
  Write("<br>\r\n");
  WriteFacts(m_loaded);
  Write("<br>\r\n");
  for (const CFindingField* field : {&Loaded::error_code, &Loaded::error, &Loaded::problem}) m_findings.Hold(*field);
  m_findings.Leave();
}

void CVisaLibrariesCheck::ReportLoadFailure() {
  namespace Loaded = Finding::VisaLoaded;
  for (const CFindingField* field :
       {&Loaded::path, &Loaded::version, &Loaded::version_string, &Loaded::publisher, &Loaded::image}) {
    m_findings.Hold(*field);
  }
  m_error = kVisaErrorNotLoadable;
  ISystem* system = GetPlatform().system;
  const std::string meaning = system != nullptr ? system->FormatMessage(m_loadError) : std::string();
  m_findings.SetInteger(Loaded::error_code, m_loadError);
  m_findings.Set(Loaded::error, meaning);
  WriteErrorExternal(("visa32.dll cannot be loaded: system error " + std::to_string(m_loadError) +
                      (meaning.empty() ? std::string() : ", " + meaning))
                         .c_str());
  Write("<br>\r\n");

  const CVisaCopy* first = FirstSearchedCopy(m_inventory);
  const char* problem = "other";
  const bool otherImage = first != nullptr && first->image.kind == CImageType::Image &&
                          !LoadableBy(first->image, m_inventory.programBits);
  if (first != nullptr && (m_loadError == kErrorBadImage || otherImage)) {
    problem = "wrong_image_type";
    WriteErrorExternal((first->path + " is " + ImageTypeText(first->image) + ": " + Program() +
                        " cannot load it (wrong image type).")
                           .c_str());
    Write("<br>\r\n");
  } else if (first != nullptr && m_loadError == kErrorModuleNotFound) {
    problem = "missing_dependency";
    WriteErrorExternal((first->path + " is there, but a library it needs is missing (missing dependency).").c_str());
    Write("<br>\r\n");
  } else if (first == nullptr) {
    problem = "not_found";
    WriteError(("No visa32.dll where " + Program() + " looks for it.<br>\r\n").c_str());
  }
  m_findings.Set(Loaded::problem, problem);
}

void CVisaLibrariesCheck::ReportSelfDescription() {
  Write("<b>What it says of itself</b> (the attributes of its default resource manager)<br>\r\n");
  namespace Self = Finding::VisaSelf;
  m_findings.Enter(Finding::VisaRun::self);
  for (const CFindingField* field :
       {&Self::maker, &Self::maker_id, &Self::implementation_version, &Self::specification_version, &Self::problem}) {
    m_findings.Hold(*field);
  }
  if (m_module == nullptr) {
    Write("Nothing: no VISA library is loaded.<br>\r\n");
    m_findings.Set(Self::problem, "not loaded");
    m_findings.Leave();
    return;
  }
  ViTable visa;
  visa.LookUp(*GetPlatform().libraries, m_module);
  ViSession manager = 0;
  const ViStatus opened = visa.viOpenDefaultRM != nullptr ? visa.viOpenDefaultRM(&manager) : kViErrorSystem;
  if (visa.viGetAttribute == nullptr || visa.viOpenDefaultRM == nullptr) {
    const char* missing = visa.viGetAttribute == nullptr ? "viGetAttribute" : "viOpenDefaultRM";
    WriteError((std::string("visa32.dll has no ") + missing + ": it cannot say what it is.<br>\r\n").c_str());
    m_findings.Set(Self::problem, std::string("no ") + missing);
  } else if (opened < kViSuccess) {
    WriteError(("Its default resource manager cannot be opened: status " + Hex(static_cast<uint32_t>(opened), 8) +
                ".<br>\r\n").c_str());
    m_findings.Set(Self::problem, "no resource manager");
  } else {
    struct Attribute {
      ViAttr id;
      const char* label;
      const CFindingField& field;
    };
    const Attribute attributes[] = {{kViAttrResourceMakerName, "Maker: ", Self::maker},
                                    {kViAttrResourceMakerId, "Maker id: ", Self::maker_id},
                                    {kViAttrResourceImplVersion, "Implementation version: ", Self::implementation_version},
                                    {kViAttrResourceSpecVersion, "VISA standard version: ", Self::specification_version}};
    for (const Attribute& attribute : attributes) {
      // Zeroed and larger than any answer: a 16-bit one leaves the rest at 0.
      char value[kAttributeTextSize] = {};
      const ViStatus status = visa.viGetAttribute(manager, attribute.id, value);
      value[kAttributeTextSize - 1] = '\0';
      Write(attribute.label);
      if (status < kViSuccess) {
        Write(("not given (status " + Hex(static_cast<uint32_t>(status), 8) + ")").c_str());
      } else if (attribute.id == kViAttrResourceMakerName) {
        value[256] = '\0';
        m_maker = value;
        WriteInfoExternal(Keep(attribute.field, value));
      } else {
        uint32_t number = 0;
        std::memcpy(&number, value, sizeof(number));
        if (attribute.id == kViAttrResourceMakerId) {
          number &= 0xFFFF;
          KeepInteger(attribute.field, number);
          WriteInfo(Hex(number, 4).c_str());
          Write((" (" + std::to_string(number) + ")").c_str());
        } else {
          WriteInfo(Keep(attribute.field, VisaVersionText(number).c_str()));
          Write((" (" + Hex(number, 8) + ")").c_str());
        }
      }
      Write("<br>\r\n");
    }
    if (visa.viClose != nullptr) visa.viClose(manager);
  }
  m_findings.Leave();
}

void CVisaLibrariesCheck::ReportCopies() {
  Write(("<b>Every copy of visa32.dll " + Program() + " could get</b>, in the order Windows searches<br>\r\n").c_str());
  Write("Windows: ");
  WriteInfo(m_inventory.windowsBits != 0 ? (std::to_string(m_inventory.windowsBits) + "-bit").c_str() : "width unknown");
  if (!m_inventory.windowsNote.empty()) Write((" (" + m_inventory.windowsNote + ")").c_str());
  Write("; safe DLL search mode: ");
  WriteInfo(m_inventory.safeSearch ? "on" : "off");
  Write(m_inventory.safeSearch ? " (the current folder after the Windows folder)<br>\r\n"
                               : " (the current folder after the program folder)<br>\r\n");

  const CVisaCopy* first = FirstSearchedCopy(m_inventory);
  const std::string loadedPath = ProgramPath(m_inventory, m_loaded.path);
  const bool loadedListed = [&] {
    for (const CVisaCopy& copy : m_inventory.copies) {
      if (!loadedPath.empty() && SamePath(copy.path, loadedPath)) return true;
    }
    return false;
  }();
  m_findings.SetEmptyList(Finding::VisaRun::copies);
  int number = 0;
  bool otherHeading = false;
  for (size_t folder = 0; folder < m_inventory.folders.size(); ++folder) {
    const CVisaFolder& entry = m_inventory.folders[folder];
    if (entry.searched) {
      Write((std::to_string(++number) + ". ").c_str());
    } else {
      if (!otherHeading) Write(("Not searched by " + Program() + ":<br>\r\n").c_str());
      otherHeading = true;
      Write("   ");
    }
    WriteInfoExternal(entry.path.c_str());
    Write((" (" + entry.roles + ")<br>\r\n").c_str());
    bool any = false;
    for (const CVisaCopy& copy : m_inventory.copies) {
      if (copy.folder != folder) continue;
      any = true;
      const bool loaded = !loadedPath.empty() && m_inventory.folders[folder].searched && SamePath(copy.path, loadedPath);
      namespace Copy = Finding::VisaCopy;
      m_findings.Add(Finding::VisaRun::copies);
      m_findings.Set(Copy::file, copy.file);
      m_findings.Set(Copy::path, copy.path);
      m_findings.Set(Copy::folder, entry.roles);
      m_findings.SetBool(Copy::searched, entry.searched);
      Write("   ");
      WriteExternal(copy.file.c_str());
      Write(": ");
      WriteFacts(copy);
      m_findings.SetBool(Copy::loaded, loaded);
      m_findings.SetBool(Copy::first, &copy == first);
      if (copy.file != kVisa32Library) {
        Write(" - noted: programs load visa32.dll by that name");
      } else if (loaded) {
        Write(&copy == first ? " - wins: first in the search order, loaded by this program"
                             : " - wins: loaded by this program");
      } else if (&copy == first) {
        Write(m_module == nullptr ? " - first in the search order: it did not load"
                                  : " - first in the search order, but not the one loaded");
      }
      Write("<br>\r\n");
      m_findings.Leave();
    }
    if (!any) Write("   none<br>\r\n");
  }
  if (!m_inventory.otherFolderNote.empty()) Write(("Not searched: " + m_inventory.otherFolderNote + "<br>\r\n").c_str());
  if (!m_loaded.path.empty() && !loadedListed) {
    Write("The loaded copy lies in none of these folders.<br>\r\n");
  }
}

void CVisaLibrariesCheck::ReportRegistry() {
  Write("<b>What the registry says is installed</b> (the framework's key that VISA installers write)<br>\r\n");
  m_findings.SetEmptyList(Finding::VisaRun::registry);
  const std::string base = kVisaFrameworkKey;
  for (const CRegistryView& view : m_inventory.registry) {
    if (!view.label.empty()) Write((view.label + ": ").c_str());
    Write(("HKEY_LOCAL_MACHINE\\" + base).c_str());
    if (!view.present) {
      Write(": not there<br>\r\n");
      continue;
    }
    Write(view.entries.empty() ? ": no values<br>\r\n" : "<br>\r\n");
    for (const CRegistryEntry& entry : view.entries) {
      namespace Value = Finding::VisaRegistry;
      m_findings.Add(Finding::VisaRun::registry);
      m_findings.Set(Value::view, view.label);
      m_findings.Set(Value::key, entry.key);
      m_findings.Set(Value::name, entry.name);
      m_findings.Set(Value::data, entry.data);
      m_findings.Leave();
      std::string name = entry.key.size() > base.size() ? entry.key.substr(base.size() + 1) + "\\" : std::string();
      name += entry.name.empty() ? "(default)" : entry.name;
      Write("   ");
      WriteExternal(name.c_str());
      Write(" = ");
      WriteInfoExternal(entry.data.c_str());
      Write("<br>\r\n");
    }
  }
}

void CVisaLibrariesCheck::Warn(const char* kind, const std::string& text) {
  ++m_warnings;
  m_findings.Add(Finding::VisaRun::warnings);
  m_findings.Set(Finding::VisaWarning::kind, kind);
  m_findings.Set(Finding::VisaWarning::text, text);
  m_findings.Leave();
  WriteErrorExternal(text.c_str());
  Write("<br>\r\n");
}

void CVisaLibrariesCheck::ReportWarnings() {
  Write("<b>Warnings</b><br>\r\n");
  m_findings.SetEmptyList(Finding::VisaRun::warnings);
  const std::string program = Program();
  const std::string loadedPath = ProgramPath(m_inventory, m_loaded.path);

  bool anyCopy = false;
  bool searchedCopy = false;
  // The versions and publishers a program of this width could get.
  std::set<std::tuple<bool, uint32_t, uint32_t, std::string>> kinds;
  int compared = 0;
  bool loadedAmongThem = false;
  const std::string systemFolder = [&] {
    for (const CVisaFolder& folder : m_inventory.folders) {
      if (folder.system) return folder.path;
    }
    return std::string();
  }();
  bool systemCopy = false;
  for (const CVisaCopy& copy : m_inventory.copies) {
    anyCopy = true;
    const bool searched = m_inventory.folders[copy.folder].searched;
    if (!searched || copy.file != kVisa32Library) continue;
    searchedCopy = true;
    if (!LoadableBy(copy.image, m_inventory.programBits)) {
      Warn("wrong_image", copy.image.kind == CImageType::Image
                              ? copy.path + " is " + ImageTypeText(copy.image) + " where " + program +
                                    " looks for visa32.dll."
                              : copy.path + " is no library " + program + " can load (" +
                                    ImageTypeText(copy.image) + ").");
      continue;
    }
    systemCopy |= SamePath(FolderOf(copy.path), systemFolder);
    loadedAmongThem |= !loadedPath.empty() && SamePath(copy.path, loadedPath);
    kinds.insert({copy.hasVersion, copy.versionMS, copy.versionLS, copy.publisher});
    ++compared;
  }
  if (!m_loaded.path.empty() && !loadedAmongThem) {
    kinds.insert({m_loaded.hasVersion, m_loaded.versionMS, m_loaded.versionLS, m_loaded.publisher});
    ++compared;
  }
  if (kinds.size() > 1) {
    m_error = m_error != 0 ? m_error : kVisaErrorCopiesDiffer;
    Warn("copies_differ", "The " + std::to_string(compared) + " copies of visa32.dll " + program +
                              " could get differ in version or publisher.");
  }
  if (!loadedPath.empty() && !systemFolder.empty() && !SamePath(FolderOf(loadedPath), systemFolder)) {
    Warn("not_system_copy", "The loaded copy is not the one in the system folder " + systemFolder +
                                (systemCopy ? "." : ", which has none."));
  }
  if (!m_maker.empty() && m_loaded.hasVersion && !SameCompany(m_maker, m_loaded.publisher)) {
    Warn("maker_differs", "The loaded library says its maker is " + m_maker + ", its file's publisher is " +
                              (m_loaded.publisher.empty() ? std::string("not named") : m_loaded.publisher) + ".");
  }
  if (m_module == nullptr) {
    Warn(searchedCopy ? "not_loadable" : "no_visa",
         searchedCopy ? "No VISA library can be loaded."
                      : std::string("No VISA at all: no visa32.dll where ") + program + " looks" +
                            (anyCopy ? ", only where it does not." : "."));
  }
  if (m_warnings == 0) Write("None.<br>\r\n");
  Write(("The check fails when no VISA library can be loaded, or when the copies of visa32.dll " + program +
         " could get differ in version or publisher: which one a program gets then depends on the folder it "
         "starts from, its current folder and PATH, so the bench software may get another VISA than this check "
         "did. The other warnings do not fail it.<br>\r\n")
            .c_str());
}
