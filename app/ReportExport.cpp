#include "app/ReportExport.h"

#include "app/Version.h"

const char kReportHead[] =
    "<html>\n  <head>\n    <title>Velmora Technologies Diagnostic tool results</title>\n"
    "  </head>\n  <body bgcolor=#FFFFFF text=#000000 ><font face=\"Verdana, "
    "Arial,Helvetica, sans-serif\" size=-1>";
const char kReportTitle[] =
    "<b>Velmora Technologies <i>Diagnostic Tool version " BS_VERSION_TEXT "</i></b><br>";

const char kViewFileName[] = "temp~987.html";
const char kViewFileClosing[] = "\n  </body>\n</html>";


const char kRequestFailedCaption[] = "Could not finish request";
const char kReadOnlyDirectoryMessage[] =
    "the current directory is read only, you cannot view the html file,\n"
    "please use the \"Save as html\" button to save the file in a different location.";

std::string SaveFilter(const char* description, const char* pattern) {
  std::string filter = description;
  filter += '\0';
  filter += pattern;
  filter += '\0';
  return filter;
}

std::string ToTextFileBytes(const std::string& content) {
  std::string bytes;
  bytes.reserve(content.size() + content.size() / 16);
  for (char c : content) {
    if (c == '\n') bytes += '\r';
    bytes += c;
  }
  return bytes;
}

std::string FileExtension(const std::string& path, uint16_t extensionOffset) {
  if (extensionOffset == 0 || extensionOffset > path.size()) return std::string();
  return path.substr(extensionOffset);
}

std::string WithExtension(const std::string& path, uint16_t extensionOffset,
                          const char* extension) {
  if (FileExtension(path, extensionOffset) == extension) return path;
  return path + "." + extension;
}

WriteStatus WriteTextFile(IFileSystem& files, const char* path, const std::string& content) {
  FileHandle file = files.CreateForWrite(path);
  if (file == nullptr) return WriteStatus::CreateFailed;
  const std::string bytes = ToTextFileBytes(content);
  bool written = bytes.empty() || files.Write(file, bytes.data(), bytes.size());
  // Buffered bytes may only fail to reach the disk when the file is closed.
  written = files.Close(file) && written;
  if (!written) {
    files.DeleteFile(path);
    return WriteStatus::WriteFailed;
  }
  return WriteStatus::Ok;
}

std::string SaveFailedMessage(const std::string& path) {
  return "The report could not be saved to\n" + path + ".\nThe file was not saved.";
}
