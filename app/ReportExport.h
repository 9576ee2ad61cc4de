#pragma once
// The ways out of the program: the report document as an HTML file, the report
// window's text as a text file, and the view file opened by the shell.
#include <cstdint>
#include <string>

#include "platform/Files.h"

// The report document's fixed start, as ResetReport puts it in place.
extern const char kReportHead[];
extern const char kReportTitle[];

extern const char kViewFileName[];     // "temp~987.html", in the current directory
extern const char kViewFileClosing[];  // what the view file adds after the document

// The save dialog's one filter entry: description, NUL, pattern, NUL.
std::string SaveFilter(const char* description, const char* pattern);

extern const char kRequestFailedCaption[];
extern const char kReadOnlyDirectoryMessage[];

// Content as the platform's text files hold it: every LF becomes CR LF, nothing
// else changes.
std::string ToTextFileBytes(const std::string& content);

// The extension the save dialog reported: the text from extensionOffset on, empty
// when the offset is 0 or past the end.
std::string FileExtension(const std::string& path, uint16_t extensionOffset);
// path, with "." + extension appended unless its extension is exactly extension.
std::string WithExtension(const std::string& path, uint16_t extensionOffset,
                          const char* extension);

enum class WriteStatus { Ok, CreateFailed, WriteFailed };

// Creates or truncates the file and writes content as a text file. A file that
// could not be written completely is removed again.
WriteStatus WriteTextFile(IFileSystem& files, const char* path, const std::string& content);

std::string SaveFailedMessage(const std::string& path);
