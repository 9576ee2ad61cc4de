#include "app/ReportFile.h"

#include <ctime>

#include "app/JsonReport.h"

namespace {

using Json = nlohmann::ordered_json;

// A report is a few hundred kilobytes; anything far larger is not one.
constexpr size_t kMaxReportBytes = 16 * 1024 * 1024;

// A report nests a few levels. Its values are copied and compared recursively,
// so a file nested thousands deep would overflow the stack: it is refused.
constexpr int kMaxReportDepth = 64;

// The position (from 1) of the bracket that opens a level past kMaxReportDepth,
// or 0 when the text nests no deeper.
size_t TooDeepAt(const std::string& bytes) {
  int depth = 0;
  bool inString = false;
  for (size_t i = 0; i < bytes.size(); ++i) {
    const char c = bytes[i];
    if (inString) {
      if (c == '\\') ++i;
      else if (c == '"') inString = false;
    } else if (c == '"') {
      inString = true;
    } else if (c == '[' || c == '{') {
      if (++depth > kMaxReportDepth) return i + 1;
    } else if (c == ']' || c == '}') {
      --depth;
    }
  }
  return 0;
}

// Where the parser gave up, which tells a cut-off file from one that is not JSON.
class CErrorPosition : public nlohmann::json_sax<Json> {
 public:
  size_t position = 0;

  bool null() override { return true; }
  bool boolean(bool) override { return true; }
  bool number_integer(number_integer_t) override { return true; }
  bool number_unsigned(number_unsigned_t) override { return true; }
  bool number_float(number_float_t, const string_t&) override { return true; }
  bool string(string_t&) override { return true; }
  bool binary(binary_t&) override { return true; }
  bool start_object(std::size_t) override { return true; }
  bool key(string_t&) override { return true; }
  bool end_object() override { return true; }
  bool start_array(std::size_t) override { return true; }
  bool end_array() override { return true; }
  bool parse_error(std::size_t at, const std::string&, const nlohmann::detail::exception&) override {
    position = at;
    return false;
  }
};

CReadReport Refused(const std::string& problem) {
  CReadReport read;
  read.problem = problem;
  return read;
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

}  // namespace

CReadReport ParseReport(const std::string& bytes) {
  size_t last = bytes.size();
  while (last > 0 && IsBlank(bytes[last - 1])) --last;
  if (last == 0) return Refused("it is empty");
  if (const size_t deep = TooDeepAt(bytes); deep != 0) {
    return Refused("it nests values deeper than a report (at byte " + std::to_string(deep) + ")");
  }
  CReadReport read;
  read.report = Json::parse(bytes, nullptr, false);
  if (read.report.is_discarded()) {
    CErrorPosition error;
    Json::sax_parse(bytes, &error);
    // The parser reports a position one past the character it stopped at.
    if (error.position >= last) return Refused("it ends in the middle of the report (cut off?)");
    return Refused("it is not JSON (at byte " + std::to_string(error.position) + ")");
  }
  const Json& tool = read.report.is_object() ? read.report.value(Finding::Report::tool.key, Json()) : Json();
  if (!tool.is_object() || tool.value(Finding::Tool::name.key, Json()) != kToolName) {
    return Refused("it is not a report of benchsentry");
  }
  // The first reports carry no format of their own; newer ones are not guessed at.
  const Json version = read.report.value(Finding::Report::format.key, Json(1));
  // Read wide: a format of 2^32 + 1 is no format 1.
  if (!version.is_number_integer() || version.get<int64_t>() < 1 || version.get<int64_t>() > 1000) {
    return Refused("its format " + version.dump() + " is not one of benchsentry");
  }
  read.format = version.get<int>();
  if (read.format > kJsonFormat) {
    return Refused("it is of format " + std::to_string(read.format) +
                   ", newer than this benchsentry reads (up to " + std::to_string(kJsonFormat) + ")");
  }
  const Json& layers = read.report.value(Finding::Report::layers.key, Json());
  bool named = layers.is_array() && !layers.empty();
  for (const Json& layer : named ? layers : Json::array()) {
    named = named && layer.is_object() && layer.value(Finding::LayerRun::name.key, Json()).is_string();
  }
  if (!named) return Refused("it holds no layers to compare");
  return read;
}

CReadReport ReadReportFile(IFileSystem& files, const std::string& path) {
  FileHandle file = files.OpenForRead(path.c_str());
  if (file == nullptr) return Refused("the file cannot be opened (missing, or not readable)");
  std::string bytes;
  char buffer[65536];
  size_t read = 0;
  bool ok = true;
  while ((ok = files.Read(file, buffer, sizeof buffer, read)) && read > 0 && bytes.size() <= kMaxReportBytes) {
    bytes.append(buffer, read);
  }
  files.Close(file);
  if (!ok) return Refused("the file cannot be read");
  if (bytes.size() > kMaxReportBytes) return Refused("it is far too large to be a report");
  return ParseReport(bytes);
}

// The number of count digits at text[at], or -1.
int Digits(const std::string& text, size_t at, size_t count) {
  if (at + count > text.size()) return -1;
  int value = 0;
  for (size_t i = at; i < at + count; ++i) {
    if (text[i] < '0' || text[i] > '9') return -1;
    value = value * 10 + (text[i] - '0');
  }
  return value;
}

std::string ReportDate(const Json& report) {
  const Json& started = report.is_object() ? report.value(Finding::Report::started.key, Json()) : Json();
  const std::string stamp = started.is_string() ? started.get<std::string>() : std::string();
  std::tm time = {};
  const int year = Digits(stamp, 0, 4), month = Digits(stamp, 5, 2);
  time.tm_mday = Digits(stamp, 8, 2);
  time.tm_hour = Digits(stamp, 11, 2);
  time.tm_min = Digits(stamp, 14, 2);
  time.tm_sec = Digits(stamp, 17, 2);
  if (stamp.size() != 19 || year < 0 || month < 1 || month > 12 || time.tm_mday < 1 || time.tm_mday > 31 ||
      time.tm_hour < 0 || time.tm_min < 0 || time.tm_sec < 0) {
    return "an unknown date";
  }
  time.tm_year = year - 1900;
  time.tm_mon = month - 1;
  // The weekday of a Gregorian date (Sakamoto's method).
  static const int offsets[] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
  const int y = month < 3 ? year - 1 : year;
  time.tm_wday = (y + y / 4 - y / 100 + y / 400 + offsets[month - 1] + time.tm_mday) % 7;
  char text[128] = {};
  if (std::strftime(text, sizeof text, "%A, %B %d, %Y, %H:%M:%S", &time) == 0) return "an unknown date";
  return text;
}
