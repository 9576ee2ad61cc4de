#include "platform/TraceFormat.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <cstring>

#include "platform/StatusNames.h"

namespace {

// Past these a buffer of the call's own is not read further: a text a format
// reads without a count, an array whose count argument is out of reason.
constexpr size_t kUnsizedTextLimit = 65536;
constexpr int64_t kArrayLimit = 4096;
constexpr int64_t kTextLimit = 1 << 22;

bool IsNameCharacter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

std::string Trimmed(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return std::string();
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::string Real(double value) {
  char text[40];
  std::snprintf(text, sizeof text, "%.10g", value);
  return text;
}

void Append(std::string& text, const std::string& name, const std::string& value) {
  if (!text.empty()) text += ", ";
  text += name;
  text += '=';
  text += value;
}

std::string StatusText(int32_t status) {
  std::string text = DecimalAndHex(static_cast<uint32_t>(status), true);
  const char* name = StandardStatusName(status);
  if (name != nullptr) text.insert(text.size() - 1, std::string(" ") + name);
  return text;
}

// The value an integer pointer points at.
bool ReadInteger(const CTraceArg& arg, int64_t& value) {
  if (arg.pointer == nullptr) return false;
  const bool isSigned = arg.type == CTraceArg::SignedPointer;
  if (!isSigned && arg.type != CTraceArg::UnsignedPointer) return false;
  switch (arg.size) {
    case 1:
      value = isSigned ? *static_cast<const int8_t*>(arg.pointer) : *static_cast<const uint8_t*>(arg.pointer);
      return true;
    case 2:
      value = isSigned ? *static_cast<const int16_t*>(arg.pointer) : *static_cast<const uint16_t*>(arg.pointer);
      return true;
    case 4:
      value = isSigned ? *static_cast<const int32_t*>(arg.pointer) : *static_cast<const uint32_t*>(arg.pointer);
      return true;
    case 8:
      value = *static_cast<const int64_t*>(arg.pointer);
      return true;
    default:
      return false;
  }
}

std::string Value(const CTraceArg& arg) {
  switch (arg.type) {
    case CTraceArg::Signed:
    case CTraceArg::Unsigned:
      return std::to_string(arg.integer);
    case CTraceArg::Real:
      return Real(arg.real);
    case CTraceArg::Text:
    case CTraceArg::TextBuffer:
      return arg.pointer != nullptr
                 ? QuoteTraceText(static_cast<const char*>(arg.pointer),
                                  strnlen(static_cast<const char*>(arg.pointer), kUnsizedTextLimit))
                 : "NULL";
    default:
      return arg.pointer != nullptr ? "(buffer)" : "NULL";
  }
}

// What a pointer argument holds after the call.
std::string Pointee(const CTraceArg& arg, bool handle) {
  if (arg.pointer == nullptr) return "NULL";
  int64_t integer = 0;
  if (ReadInteger(arg, integer)) {
    return handle ? DecimalAndHex(static_cast<uint32_t>(integer), arg.type == CTraceArg::SignedPointer)
                  : std::to_string(integer);
  }
  if (arg.type == CTraceArg::RealPointer) return Real(*static_cast<const double*>(arg.pointer));
  return "(buffer)";
}

// Bytes of a counted buffer, NULs and all.
std::string ByteText(const CTraceArg& arg, int64_t size) {
  if (arg.pointer == nullptr) return "NULL";
  const size_t bound = static_cast<size_t>(std::clamp<int64_t>(size, 0, kTextLimit));
  return QuoteTraceText(static_cast<const char*>(arg.pointer), bound);
}

std::string BufferText(const CTraceArg& arg, int64_t size) {
  if (arg.pointer == nullptr) return "NULL";
  const size_t bound = static_cast<size_t>(std::clamp<int64_t>(size, 0, kTextLimit));
  const char* text = static_cast<const char*>(arg.pointer);
  return QuoteTraceText(text, strnlen(text, bound));
}

// One conversion of a format: its flags and its letter; the format moves past it.
struct CConversion {
  bool counted = false;  // '#': a count goes before the buffer
  char letter = 0;
};

bool NextConversion(const char*& format, std::string* literal, CConversion& conversion) {
  while (*format != '\0') {
    if (*format != '%') {
      if (literal != nullptr) *literal += *format;
      ++format;
      continue;
    }
    ++format;
    if (*format == '%') {
      if (literal != nullptr) *literal += '%';
      ++format;
      continue;
    }
    conversion = CConversion();
    while (*format != '\0' && std::strchr("-+ #0123456789.,*lhLzI", *format) != nullptr) {
      if (*format == '#') conversion.counted = true;
      ++format;
    }
    if (*format == '\0') return false;
    conversion.letter = *format++;
    return true;
  }
  return false;
}

bool IsTextLetter(char letter) { return letter == 't' || letter == 'T' || letter == 's' || letter == 'b'; }

}  // namespace

std::string QuoteTraceText(const char* text, size_t length) {
  std::string quoted;
  quoted.reserve(length + 2);
  quoted += '"';
  for (size_t i = 0; i < length; ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c == '\r') {
      quoted += "\\r";
    } else if (c == '\n') {
      quoted += "\\n";
    } else if (c == '"' || c == '\\') {
      quoted += '\\';
      quoted += static_cast<char>(c);
    } else if (c < 0x20 || c >= 0x7F) {
      char escaped[5];
      std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
      quoted += escaped;
    } else {
      quoted += static_cast<char>(c);
    }
  }
  quoted += '"';
  return quoted;
}

std::string QuoteTraceText(const std::string& text) { return QuoteTraceText(text.data(), text.size()); }

std::string DecimalAndHex(uint32_t value, bool isSigned) {
  char text[40];
  if (isSigned) {
    std::snprintf(text, sizeof text, "%" PRId32 " (0x%08" PRIX32 ")", static_cast<int32_t>(value), value);
  } else {
    std::snprintf(text, sizeof text, "%" PRIu32 " (0x%08" PRIX32 ")", value, value);
  }
  return text;
}

std::string Milliseconds(int64_t micros) {
  if (micros < 0) micros = 0;
  char text[32];
  std::snprintf(text, sizeof text, "%" PRId64 ".%03" PRId64, micros / 1000, micros % 1000);
  return text;
}

CTracedFunction::CTracedFunction(const CTraceLibrary& library, const char* name, const char* parameters,
                                 std::initializer_list<CArgRole> roles)
    : m_library(library), m_name(name), m_names(ParameterNames(parameters)), m_roles(roles) {}

const std::string& CTracedFunction::ParameterName(size_t index) const {
  static const std::string unnamed = "argument";
  return index < m_names.size() ? m_names[index] : unnamed;
}

CArgRole CTracedFunction::Role(size_t index) const {
  if (m_roles.empty()) return ArgIn;
  // The formatted tail stands for every argument from its place on.
  if (index >= m_roles.size()) return m_roles.back().kind == ArgKind::Formatted ? m_roles.back() : ArgIn;
  return m_roles[index];
}

std::vector<std::string> CTracedFunction::ParameterNames(const char* parameters) {
  std::vector<std::string> names;
  std::string list = parameters != nullptr ? parameters : "";
  const size_t open = list.find('(');
  const size_t close = list.rfind(')');
  if (open == std::string::npos || close == std::string::npos || close <= open) return names;
  list = list.substr(open + 1, close - open - 1);
  size_t start = 0;
  while (start <= list.size()) {
    size_t comma = list.find(',', start);
    if (comma == std::string::npos) comma = list.size();
    const std::string parameter = Trimmed(list.substr(start, comma - start));
    start = comma + 1;
    if (parameter.empty()) continue;
    size_t end = parameter.size();
    while (end > 0 && !IsNameCharacter(parameter[end - 1])) --end;
    size_t begin = end;
    while (begin > 0 && IsNameCharacter(parameter[begin - 1])) --begin;
    names.push_back(parameter == "..." || begin == end ? parameter : parameter.substr(begin, end - begin));
  }
  return names;
}

CCallText::CCallText(const CTracedFunction& function, const CTraceArg* args, size_t count)
    : m_function(function), m_args(args), m_count(count), m_readSizes(count, -1) {}

const char* CCallText::FormatArgument(ArgKind kind) const {
  for (size_t i = 0; i < m_count && i < m_function.Count(); ++i) {
    if (m_function.Role(i).kind == kind && m_args[i].type == CTraceArg::Text) {
      return static_cast<const char*>(m_args[i].pointer);
    }
  }
  return nullptr;
}

std::string CCallText::Inputs() {
  std::string text;
  for (size_t i = 0; i < m_count; ++i) {
    const CArgRole role = m_function.Role(i);
    const std::string& name = m_function.ParameterName(i);
    const CTraceArg& arg = m_args[i];
    switch (role.kind) {
      case ArgKind::In:
      case ArgKind::WriteFormat:
      case ArgKind::ReadFormat:
        Append(text, name, Value(arg));
        break;
      case ArgKind::Handle:
        Append(text, name, DecimalAndHex(static_cast<uint32_t>(arg.integer), false));
        break;
      case ArgKind::Status:
        Append(text, name, StatusText(static_cast<int32_t>(arg.integer)));
        break;
      case ArgKind::Attribute: {
        char hex[16];
        std::snprintf(hex, sizeof hex, "0x%08" PRIX32, static_cast<uint32_t>(arg.integer));
        const char* known = StandardAttributeName(static_cast<uint32_t>(arg.integer));
        Append(text, name, known != nullptr ? std::string(hex) + " (" + known + ")" : std::string(hex));
        break;
      }
      case ArgKind::InBytes: {
        const size_t source = static_cast<size_t>(role.parameter);
        Append(text, name, ByteText(arg, source < m_count ? m_args[source].integer : 0));
        break;
      }
      case ArgKind::Formatted:
        FormattedInputs(i, text);
        return text;
      default:
        break;  // outputs are read after the call
    }
  }
  return text;
}

std::string CCallText::Outputs() const {
  std::string text;
  for (size_t i = 0; i < m_count; ++i) {
    const CArgRole role = m_function.Role(i);
    const std::string& name = m_function.ParameterName(i);
    const CTraceArg& arg = m_args[i];
    switch (role.kind) {
      case ArgKind::Out:
      case ArgKind::OutHandle:
        Append(text, name, Pointee(arg, role.kind == ArgKind::OutHandle));
        break;
      case ArgKind::OutText:
        Append(text, name, BufferText(arg, role.parameter));
        break;
      case ArgKind::OutTextSizedBy: {
        const size_t source = static_cast<size_t>(role.parameter);
        Append(text, name, BufferText(arg, source < m_count ? m_args[source].integer : 0));
        break;
      }
      case ArgKind::OutBytes: {
        // Only what the call says it read: the rest of the buffer is not the answer.
        const size_t source = static_cast<size_t>(role.parameter);
        const CTraceArg* counted = source < m_count ? &m_args[source] : nullptr;
        const bool readable = counted != nullptr && counted->pointer != nullptr &&
                              counted->type == CTraceArg::UnsignedPointer && counted->size == sizeof(uint32_t);
        uint32_t read = 0;
        if (readable) std::memcpy(&read, counted->pointer, sizeof read);
        Append(text, name, ByteText(arg, read));
        break;
      }
      case ArgKind::OutArray:
      case ArgKind::OutReals: {
        const size_t source = static_cast<size_t>(role.parameter);
        int64_t count = role.kind == ArgKind::OutReals ? role.parameter : source < m_count ? m_args[source].integer : 0;
        count = std::clamp<int64_t>(count, 0, kArrayLimit);
        std::string list = "[";
        for (int64_t k = 0; arg.pointer != nullptr && k < count; ++k) {
          if (k > 0) list += ", ";
          CTraceArg item = arg;
          item.pointer = static_cast<const char*>(arg.pointer) +
                         k * (arg.type == CTraceArg::RealPointer ? sizeof(double) : arg.size);
          list += Pointee(item, false);
        }
        Append(text, name, arg.pointer != nullptr ? list + "]" : "NULL");
        break;
      }
      case ArgKind::Formatted:
        FormattedOutputs(text);
        return text;
      default:
        break;
    }
  }
  return text;
}

void CCallText::FormattedInputs(size_t from, std::string& text) {
  size_t next = from;
  auto take = [&]() -> const CTraceArg* { return next < m_count ? &m_args[next++] : nullptr; };
  const char* format = FormatArgument(ArgKind::WriteFormat);
  if (format != nullptr) {
    std::string written;
    CConversion conversion;
    while (NextConversion(format, &written, conversion)) {
      const CTraceArg* arg = take();
      if (arg == nullptr) break;
      if (IsTextLetter(conversion.letter) && (arg->type == CTraceArg::Text || arg->type == CTraceArg::TextBuffer)) {
        if (arg->pointer != nullptr) {
          const char* value = static_cast<const char*>(arg->pointer);
          written.append(value, strnlen(value, kUnsizedTextLimit));
        }
      } else if (arg->type == CTraceArg::Signed || arg->type == CTraceArg::Unsigned) {
        written += conversion.letter == 'c' ? std::string(1, static_cast<char>(arg->integer)) : std::to_string(arg->integer);
      } else if (arg->type == CTraceArg::Real) {
        written += Real(arg->real);
      } else {
        written += '?';
      }
    }
    Append(text, "written", QuoteTraceText(written));
  }
  // The reads' sizes are what the caller gave: read before the call.
  m_readFrom = next;
  format = FormatArgument(ArgKind::ReadFormat);
  CConversion conversion;
  while (format != nullptr && NextConversion(format, nullptr, conversion)) {
    if (conversion.counted) {
      const size_t countIndex = next;
      const CTraceArg* count = take();
      int64_t size = 0;
      if (count != nullptr && ReadInteger(*count, size)) m_readSizes[countIndex] = size;
    }
    if (take() == nullptr) break;
  }
}

void CCallText::FormattedOutputs(std::string& text) const {
  size_t next = m_readFrom;
  auto take = [&]() -> const CTraceArg* { return next < m_count ? &m_args[next++] : nullptr; };
  const char* format = FormatArgument(ArgKind::ReadFormat);
  std::string read;
  CConversion conversion;
  while (format != nullptr && NextConversion(format, nullptr, conversion)) {
    int64_t bound = static_cast<int64_t>(kUnsizedTextLimit);
    if (conversion.counted) {
      const size_t countIndex = next;
      const CTraceArg* count = take();
      int64_t stored = 0;
      if (count != nullptr && ReadInteger(*count, stored)) {
        Append(text, "count", std::to_string(stored));
        // Never past the buffer the caller gave, whatever the count says.
        bound = std::clamp<int64_t>(stored, 0, std::max<int64_t>(m_readSizes[countIndex], 0));
      } else {
        bound = 0;
      }
    }
    const CTraceArg* target = take();
    if (target == nullptr) break;
    if (IsTextLetter(conversion.letter) && target->type == CTraceArg::TextBuffer && target->pointer != nullptr) {
      const char* value = static_cast<const char*>(target->pointer);
      read.append(value, strnlen(value, static_cast<size_t>(bound)));
    } else if (!IsTextLetter(conversion.letter)) {
      if (!read.empty()) read += ' ';
      read += Pointee(*target, false);
    }
  }
  Append(text, "read", QuoteTraceText(read));
}
