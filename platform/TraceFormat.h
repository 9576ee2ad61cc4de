#pragma once
// What a traced call's arguments are and how its line reads. Each entry of a
// bench library's X-macro list names, beside its parameter list, the role of
// every parameter (ArgIn, ArgHandle, ArgOutText(256), ...); from that one
// declaration a call's inputs are shown before it runs and its outputs are read
// after it has returned, never before.
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <type_traits>
#include <vector>

enum class ArgKind : uint8_t {
  In,              // a value: integers in decimal, reals, texts quoted
  Handle,          // a session or other handle: decimal and hex
  Status,          // a status handed in: number, hex and its standard name
  Attribute,       // an attribute id: hex and its standard name
  Out,             // one value the call writes through the pointer
  OutHandle,       // the same, a handle
  OutText,         // a text buffer of parameter bytes
  OutTextSizedBy,  // a text buffer whose size is the argument numbered parameter (from 0)
  OutArray,        // integers, as many as the argument numbered parameter says
  OutReals,        // parameter reals
  InBytes,         // bytes written, as many as the argument numbered parameter says
  OutBytes,        // bytes read, as many as the integer the numbered parameter points at
  WriteFormat,     // the format of what a formatted call writes
  ReadFormat,      // the format of what it reads
  Formatted,       // the rest of a formatted call's arguments, as its formats name them
};

struct CArgRole {
  ArgKind kind;
  int32_t parameter;
};

constexpr CArgRole ArgIn{ArgKind::In, 0};
constexpr CArgRole ArgHandle{ArgKind::Handle, 0};
constexpr CArgRole ArgStatus{ArgKind::Status, 0};
constexpr CArgRole ArgAttribute{ArgKind::Attribute, 0};
constexpr CArgRole ArgOut{ArgKind::Out, 0};
constexpr CArgRole ArgOutHandle{ArgKind::OutHandle, 0};
constexpr CArgRole ArgOutText(int32_t size) { return {ArgKind::OutText, size}; }
constexpr CArgRole ArgOutTextSizedBy(int32_t argument) { return {ArgKind::OutTextSizedBy, argument}; }
constexpr CArgRole ArgOutArray(int32_t countArgument) { return {ArgKind::OutArray, countArgument}; }
constexpr CArgRole ArgOutReals(int32_t count) { return {ArgKind::OutReals, count}; }
constexpr CArgRole ArgInBytes(int32_t countArgument) { return {ArgKind::InBytes, countArgument}; }
constexpr CArgRole ArgOutBytes(int32_t countPointer) { return {ArgKind::OutBytes, countPointer}; }
constexpr CArgRole ArgWriteFormat{ArgKind::WriteFormat, 0};
constexpr CArgRole ArgReadFormat{ArgKind::ReadFormat, 0};
constexpr CArgRole ArgFormatted{ArgKind::Formatted, 0};

// How a library's return values read: VISA and driver statuses (negative fails,
// VI_ERROR_TMO is a time-out), or a number the system does not judge.
enum class TraceStatusKind : uint8_t { Visa, Plain };

struct CTraceLibrary {
  const char* file;  // "visa32.dll"
  TraceStatusKind statuses;
};

// One function of a list: its library, name, parameter names (read from the
// parameter list as the X-macro spells it) and roles.
class CTracedFunction {
 public:
  CTracedFunction(const CTraceLibrary& library, const char* name, const char* parameters,
                  std::initializer_list<CArgRole> roles);
  const CTraceLibrary& Library() const { return m_library; }
  const char* Name() const { return m_name; }
  size_t Count() const { return m_roles.size(); }
  const std::string& ParameterName(size_t index) const;
  CArgRole Role(size_t index) const;
  // The names as the parameter list has them, "..." for a variadic tail.
  static std::vector<std::string> ParameterNames(const char* parameters);

 private:
  const CTraceLibrary& m_library;
  const char* m_name;
  std::vector<std::string> m_names;
  std::vector<CArgRole> m_roles;
};

// One argument as it was passed, whatever its type.
struct CTraceArg {
  enum Type : uint8_t { None, Signed, Unsigned, Real, Text, SignedPointer, UnsignedPointer, RealPointer, TextBuffer, OtherPointer };
  Type type = None;
  uint8_t size = 0;  // of an integer, or of what an integer pointer points at
  int64_t integer = 0;
  double real = 0;
  const void* pointer = nullptr;
};

template <class T>
CTraceArg MakeTraceArg(T value) {
  CTraceArg arg;
  if constexpr (std::is_floating_point_v<T>) {
    arg.type = CTraceArg::Real;
    arg.real = static_cast<double>(value);
  } else if constexpr (std::is_integral_v<T>) {
    arg.type = std::is_signed_v<T> ? CTraceArg::Signed : CTraceArg::Unsigned;
    arg.size = sizeof(T);
    arg.integer = static_cast<int64_t>(value);
  } else if constexpr (std::is_pointer_v<T>) {
    using Target = std::remove_cv_t<std::remove_pointer_t<T>>;
    arg.pointer = static_cast<const void*>(value);
    if constexpr (std::is_same_v<Target, char>) {
      arg.type = std::is_const_v<std::remove_pointer_t<T>> ? CTraceArg::Text : CTraceArg::TextBuffer;
    } else if constexpr (std::is_floating_point_v<Target>) {
      arg.type = sizeof(Target) == sizeof(double) ? CTraceArg::RealPointer : CTraceArg::OtherPointer;
    } else if constexpr (std::is_integral_v<Target>) {
      arg.type = std::is_signed_v<Target> ? CTraceArg::SignedPointer : CTraceArg::UnsignedPointer;
      arg.size = sizeof(Target);
    } else {
      arg.type = CTraceArg::OtherPointer;
    }
  } else {
    arg.type = CTraceArg::OtherPointer;
  }
  return arg;
}

// Text as the trace shows it: quoted, with \r, \n, \", \\ and \xNN for every
// other byte that is not printable ASCII, so no byte from an instrument reaches
// the file as it came.
std::string QuoteTraceText(const char* text, size_t length);
std::string QuoteTraceText(const std::string& text);
// value in decimal and, in brackets, as eight hex digits: 26 (0x0000001A).
std::string DecimalAndHex(uint32_t value, bool isSigned);
// 12.345: microseconds as milliseconds with three decimals.
std::string Milliseconds(int64_t micros);

// What a call was given and what it gave back, from one call's arguments.
class CCallText {
 public:
  CCallText(const CTracedFunction& function, const CTraceArg* args, size_t count);
  // Before the call: the inputs (and the sizes of the formatted reads).
  std::string Inputs();
  // After it: what the output arguments hold (Inputs has run before the call).
  std::string Outputs() const;

 private:
  void FormattedInputs(size_t from, std::string& text);
  void FormattedOutputs(std::string& text) const;
  const char* FormatArgument(ArgKind kind) const;

  const CTracedFunction& m_function;
  const CTraceArg* m_args;
  size_t m_count;
  // The buffer size each "%#t" read was given, by argument index, and where
  // the reads' arguments start (found by Inputs, which runs first).
  std::vector<int64_t> m_readSizes;
  size_t m_readFrom = 0;
};
