#include "host/LibraryProbe.h"

#include <string>
#include <vector>

#include "host/FileVersionInfo.h"
#include "platform/Platform.h"

namespace {

char FoldCase(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

bool SameFileName(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (FoldCase(a[i]) != FoldCase(b[i])) return false;
  }
  return true;
}

int FileExists(const char* path) {
  IFileSystem* files = GetPlatform().files;
  if (files == nullptr || path == nullptr) return 0;
  FileHandle file = files->OpenForRead(path);
  if (file == nullptr) return 0;
  files->Close(file);
  return 1;
}

namespace {

// 12345 -> "12,345"
std::string WithThousands(int32_t value) {
  std::string digits = std::to_string(value);
  for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3) digits.insert(static_cast<size_t>(at), ",");
  return digits;
}

// The caption changes every so many folders; the window paints at every one.
constexpr int32_t kFoldersPerProgress = 100;

}  // namespace

int CLibraryProbeCheck::CheckLibrary(const char* name, uint32_t minMS, uint32_t minLS) {
  return ProbeLibrary(Finding::Layer::libraries, name, minMS, minLS);
}

int CLibraryProbeCheck::ProbeLibrary(const CFindingField& list, const char* name, uint32_t minMS, uint32_t minLS) {
  ReportProgress((std::string("checking ") + name).c_str());
  ILibraries* libraries = GetPlatform().libraries;
  ModuleHandle module = libraries != nullptr ? libraries->LoadLibrary(name) : nullptr;

  m_findings.Add(list);
  if (module == nullptr && FileExists(name) == 0) {
    WriteErrorExternal(Keep(Finding::Library::name, name));
    WriteError(" is not accessible");
    m_findings.Set(Finding::Library::found, "missing");
    m_findings.SetEmptyList(Finding::Library::copies);
    Write(", trying to find it on your local drive C: ... <br>\r\n");
    // The search can take minutes: its first progress point past the refresh
    // interval puts what it is for on screen; a short one costs no extra insert.
    int counter = 0;
    m_foldersSearched = 0;
    FindFileOnDrive("C:", name, counter);
    Write(std::to_string(counter).c_str());
    Write(" files found<br> \r\n");
    m_findings.Leave();
    return counter > 0 ? kLibraryCopiesFound : kLibraryNotFound;
  }

  // The name may be a path found on the drive: written as text, never as markup.
  WriteColourHead("<b><font color=", kColourOk);
  WriteExternal(Keep(Finding::Library::name, name));
  Write("</font></b>");
  m_findings.Set(Finding::Library::found, module != nullptr ? "accessible" : "not loadable");
  if (module != nullptr) {
    WriteOk(" is accessible\r\n<br> ");
  } else {
    WriteError(
        "\r\n<br>File exists, but could not be loaded. This has to do with it's "
        "dependencies.\r\n<br>");
  }

  {
    CFileVersionInfo info;
    if (info.Load(name) == 1) {
      uint32_t ms = info.FileVersionMS();
      uint32_t ls = info.FileVersionLS();
      if (IsFileVersionBelow(ms, ls, minMS, minLS)) {
        WriteError("Wrong library version, please get a new one.\r\n<br>");
        Write("You should get version at least: ");
        WriteFileVersion(*this, minMS, minLS, Finding::Library::required_version);
        Write("\r\n<br>");
      }
      Write("version: ");
      WriteFileVersion(*this, ms, ls, Finding::Library::version);
      Write(" string value: ");
      WriteInfo("\"");
      WriteInfoExternal(Keep(Finding::Library::version_string, info.GetString("ProductVersion").c_str()));
      WriteInfo("\"");
      Write("<br>\r\n");
      Write("Company Name : ");
      WriteInfoExternal(Keep(Finding::Library::publisher, info.GetString("CompanyName").c_str()));
      Write("<br>\r\n");
    }
  }

  m_findings.Leave();
  if (module != nullptr) libraries->FreeLibrary(module);
  return kLibraryAccessible;
}

int CLibraryProbeCheck::FindFileOnDrive(const char* directory, const char* name, int& counter) {
  IFileSystem* files = GetPlatform().files;
  if (files == nullptr) return counter;
  const std::string base(directory);
  ++m_foldersSearched;
  if (m_foldersSearched % kFoldersPerProgress == 1) {
    const std::string folders = WithThousands(m_foldersSearched) + (m_foldersSearched == 1 ? " folder" : " folders");
    ReportProgress((std::string("searching C: for ") + name + " (" + folders + ")").c_str());
  } else {
    ReportProgress(nullptr);
  }

  // One listing serves both the hits and the subdirectories: a directory is read once.
  std::vector<FindEntry> entries;
  if (!files->FindFiles((base + "\\*.*").c_str(), entries)) return counter;

  for (const FindEntry& entry : entries) {
    if (!SameFileName(entry.name, name)) continue;
    const std::string path = base + "\\" + entry.name;
    Write("   Found ");
    WriteExternal(path.c_str());
    Write("<br> \r\n");
    Write("Loading the file explicitly...\r\n<br>");
    ProbeLibrary(Finding::Library::copies, path.c_str(), 0, 0);
    ++counter;
    // The walk goes on for minutes: each copy is on screen as soon as it is found.
    Flush();
  }

  for (const FindEntry& entry : entries) {
    if (!entry.isDirectory || entry.name == "." || entry.name == "..") continue;
    // A junction or symbolic link may point back up the tree; its target is
    // searched where it really lies.
    if (entry.isLink) continue;
    FindFileOnDrive((base + "\\" + entry.name).c_str(), name, counter);
  }
  return counter;
}

int CLibraryProbeCheck::GetLibraryPublisher(const char* name) {
  ILibraries* libraries = GetPlatform().libraries;
  if (libraries == nullptr) return 0;
  ModuleHandle module = libraries->LoadLibrary(name);

  int publisher = kPublisherOther;
  {
    CFileVersionInfo info;
    if (info.Load(name) == 1) {
      std::string company = info.GetString("CompanyName");
      if (!company.empty() && company[0] == 'V') publisher = kPublisherMaker;
      else if (!company.empty() && company[0] == 'N') publisher = kPublisherNational;
    }
  }

  if (module != nullptr) libraries->FreeLibrary(module);
  return publisher;
}
