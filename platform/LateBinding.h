#pragma once
// Late-bound library functions. A library's functions are one X-macro list,
// X(number, name, ...), and BS_LATE_BOUND_TABLE turns it into a table of typed
// addresses that is filled by looking every entry up by its exported name. The
// number is an entry's place in the presence check; 0 marks an entry that is
// looked up but not required. A missing function stays null and is never called.
// Every call through a table runs on the instrument thread (platform/InstrumentThread.h),
// and is in the trace (platform/CallTrace.h) when its entry names how: a list
// entry's roles make a Traced type with a static Function() describing it.
#include <cstddef>
#include <cstdint>
#include <type_traits>
#include <utility>

#include "platform/CallTrace.h"
#include "platform/InstrumentThread.h"
#include "platform/Libraries.h"

// One entry of a table: the function's address, called like the function.
template <class Fn, class Traced = void>
class CLateBound {
 public:
  CLateBound& operator=(std::nullptr_t) {
    m_address = nullptr;
    return *this;
  }
  CLateBound& operator=(Fn address) {
    m_address = address;
    return *this;
  }
  void Bind(void* address) { m_address = reinterpret_cast<Fn>(address); }

  // The caller's arguments reach the function as a direct call would pass them
  // (the variadic viQueryf included); the caller waits for its result.
  template <class... Args>
  auto operator()(Args... args) const -> decltype(std::declval<Fn>()(args...)) {
    decltype(std::declval<Fn>()(args...)) result{};
    const Fn address = m_address;
    if constexpr (!std::is_void_v<Traced>) {
      if (CCallTrace::Active()) {
        const CTraceArg traced[] = {MakeTraceArg(args)..., CTraceArg()};
        CCallRecord record(Traced::Function(), traced, sizeof...(Args));
        auto call = [&] {
          record.Started();
          result = address(args...);
          record.Ended();
        };
        CInstrumentThread::Run(call);
        record.Finish(static_cast<int64_t>(result));
        return result;
      }
    }
    auto call = [&] { result = address(args...); };
    CInstrumentThread::Run(call);
    return result;
  }

  friend bool operator==(const CLateBound& entry, std::nullptr_t) { return entry.m_address == nullptr; }
  friend bool operator!=(const CLateBound& entry, std::nullptr_t) { return entry.m_address != nullptr; }

 private:
  Fn m_address = nullptr;
};

struct LateBoundPresence {
  int32_t number;
  const char* name;
  bool present;
};

// The absent entry with the lowest non-zero number; null when none is absent.
template <size_t N>
const LateBoundPresence* FirstMissingEntry(const LateBoundPresence (&entries)[N]) {
  const LateBoundPresence* first = nullptr;
  for (const LateBoundPresence& entry : entries) {
    if (entry.number > 0 && !entry.present && (first == nullptr || entry.number < first->number)) {
      first = &entry;
    }
  }
  return first;
}

// An entry takes its address whether it is a plain pointer (the system's own
// functions) or a call handed to the instrument thread (the bench libraries').
template <class Fn>
void BindAddress(Fn& entry, void* address) {
  entry = reinterpret_cast<Fn>(address);
}
template <class Fn, class Traced>
void BindAddress(CLateBound<Fn, Traced>& entry, void* address) {
  entry.Bind(address);
}

#define BS_LATE_BOUND_LOOKUP(number, name, ...) BindAddress(name, libraries.GetProcAddress(module, #name));
#define BS_LATE_BOUND_RESOLVE(number, name, ...) BindAddress(name, resolve(#name));
#define BS_LATE_BOUND_CLEAR(number, name, ...) name = nullptr;
#define BS_LATE_BOUND_PRESENCE(number, name, ...) {number, #name, name != nullptr},
#define BS_UNPAREN(...) __VA_ARGS__

// Traits::Function(): one entry of a list (library, name, parameter list and the
// roles of its parameters) as the trace shows its calls.
#define BS_TRACED_FUNCTION(Traits, library, name, params, roles)                             \
  struct Traits {                                                                            \
    static const CTracedFunction& Function() {                                               \
      static const CTracedFunction function(library, #name, #params, {BS_UNPAREN roles});   \
      return function;                                                                       \
    }                                                                                        \
  };

// Table: the struct to define. LIST: the library's X-macro list. FIELD: the
// list's own macro that declares one typed member per entry.
#define BS_LATE_BOUND_TABLE(Table, LIST, FIELD)                                       \
  struct Table {                                                                      \
    LIST(FIELD)                                                                       \
    void Clear() { LIST(BS_LATE_BOUND_CLEAR) }                                        \
    /* Every entry looked up in list order; a name not exported stays null. */       \
    void LookUp(ILibraries& libraries, ModuleHandle module) {                         \
      Clear();                                                                        \
      if (module == nullptr) return;                                                  \
      LIST(BS_LATE_BOUND_LOOKUP)                                                      \
    }                                                                                 \
    /* Every entry looked up by resolve(name), which gives its address or null. */   \
    template <class Resolve>                                                          \
    void LookUpWith(Resolve resolve) {                                                \
      LIST(BS_LATE_BOUND_RESOLVE)                                                     \
    }                                                                                 \
    /* Loads the library by name; null (and an empty table) when it cannot load. */  \
    ModuleHandle Load(ILibraries& libraries, const char* library) {                   \
      ModuleHandle module = libraries.LoadLibrary(library);                           \
      LookUp(libraries, module);                                                      \
      return module;                                                                  \
    }                                                                                 \
    /* The number of the first missing entry (0 when complete) and its name. */      \
    int32_t FirstMissing(const char** missingName = nullptr) const {                  \
      const LateBoundPresence entries[] = {LIST(BS_LATE_BOUND_PRESENCE)};              \
      const LateBoundPresence* first = FirstMissingEntry(entries);                    \
      if (missingName != nullptr) *missingName = first != nullptr ? first->name : nullptr; \
      return first != nullptr ? first->number : 0;                                    \
    }                                                                                 \
  };
