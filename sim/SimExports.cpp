#include "sim/SimExports.h"

#include <cctype>
#include <cstring>
#include <utility>

#include "sim/SimAddress.h"
#include "sim/SimBenchFile.h"
#include "sim/SimFunctions.h"
#include "sim/SimState.h"

BS_DRIVER_FUNCTIONS(BS_SIM_CHECK_DRIVER)
BS_VISA_FUNCTIONS(BS_SIM_CHECK_VISA)
BS_ZEB_FUNCTIONS(BS_SIM_CHECK_ZEB)

namespace {

template <typename Function>
void* Address(Function function) {
  return reinterpret_cast<void*>(function);
}

#define BS_SIM_EXPORT_ENTRY(number, name, ...) {#name, Address(&simexp::name)},

std::vector<SimExport> DriverExports() { return {BS_DRIVER_FUNCTIONS(BS_SIM_EXPORT_ENTRY)}; }

std::vector<SimExport> VisaExports() { return {BS_VISA_FUNCTIONS(BS_SIM_EXPORT_ENTRY)}; }

std::vector<SimExport> ZebExports() { return {BS_ZEB_FUNCTIONS(BS_SIM_EXPORT_ENTRY)}; }

#undef BS_SIM_EXPORT_ENTRY

std::vector<SimExport> Without(std::vector<SimExport> exports, const char* missing) {
  for (auto it = exports.begin(); it != exports.end(); ++it) {
    if (std::strcmp(it->name, missing) == 0) {
      exports.erase(it);
      break;
    }
  }
  return exports;
}

// The version resources of the DLLs (sim/CMakeLists.txt) give the same values.
constexpr SimVersionInfo kDriverVersion{"Velmora Technologies", "kv740m instrument driver (simulated bench)",
                                        "5.2.0", "5.2.0.0", 0x00050002u, 0x00000000u, 0x00050002u, 0x00000000u};
constexpr SimVersionInfo kVisaMaker74110{"Velmora Technologies", "VISA library (simulated bench)", "J.01.01",
                                         "74.1.1.0", 0x004A0001u, 0x00010000u, 0x004A0001u, 0x00010000u};
constexpr SimVersionInfo kVisaMaker74109{"Velmora Technologies", "VISA library (simulated bench)", "J.01.00",
                                         "74.1.0.9", 0x004A0001u, 0x00000009u, 0x004A0001u, 0x00000009u};
constexpr SimVersionInfo kVisaNi2500{"National Instruments", "VISA library (simulated bench)", "2.5",
                                     "2.5.0.0", 0x00020005u, 0x00000000u, 0x00020005u, 0x00000000u};
constexpr SimVersionInfo kVisaOther{"Open Instrument Works", "VISA library (simulated bench)", "1.0",
                                    "1.0.0.0", 0x00010000u, 0x00000000u, 0x00010000u, 0x00000000u};
constexpr SimVersionInfo kZebVersion{"Velmora Technologies", "Zeb photonic library (simulated bench)", "3.2.1",
                                     "3.2.1.0", 0x00030002u, 0x00010000u, 0x00030002u, 0x00010000u};

struct Variant {
  const char* library;
  const char* variant;
  std::vector<SimExport> exports;
  const SimVersionInfo* version;
};

const std::vector<Variant>& Variants() {
  static const std::vector<Variant> variants = {
      {"kv740m_32.dll", "", DriverExports(), &kDriverVersion},
      {"kv740m_32.dll", "no-init", Without(DriverExports(), "kv740m_init"), &kDriverVersion},
      {"kv740m_32.dll", "no-error-message", Without(DriverExports(), "kv740m_error_message"), &kDriverVersion},
      {"kv740m_32.dll", "no-timeout", Without(DriverExports(), "kv740m_timeOut"), &kDriverVersion},
      {"kv740m_32.dll", "no-optical-output", Without(DriverExports(), "kv740m_get_TLS_opticalOutput_Q"),
       &kDriverVersion},
      {"visa32.dll", "", VisaExports(), &kVisaMaker74110},
      {"visa32.dll", "visa-maker-74109", VisaExports(), &kVisaMaker74109},
      {"visa32.dll", "visa-maker-74110", VisaExports(), &kVisaMaker74110},
      {"visa32.dll", "visa-ni-2500", VisaExports(), &kVisaNi2500},
      {"visa32.dll", "visa-other", VisaExports(), &kVisaOther},
      {"visa32.dll", "visa-no-findnext", Without(VisaExports(), "viFindNext"), &kVisaMaker74110},
      // In the DLL build one needs a library that is never there, and one is an
      // image of the other width; natively a test says how their loads fail.
      {"visa32.dll", "visa-missing-dependency", VisaExports(), &kVisaMaker74110},
      {"visa32.dll", "visa-other-image", VisaExports(), &kVisaOther},
      {"zeb_32.dll", "", ZebExports(), &kZebVersion},
      {"zeb_32.dll", "zeb-no-versionstring", Without(ZebExports(), "ZebVersionString"), &kZebVersion},
  };
  return variants;
}

std::string LibraryFileName(const std::string& library) {
  std::string name;
  for (char c : library) {
    name += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  if (name.size() < 4 || name.compare(name.size() - 4, 4, ".dll") != 0) {
    name += ".dll";
  }
  return name;
}

const Variant* FindVariant(const std::string& library, const std::string& variant) {
  const std::string name = LibraryFileName(library);
  for (const Variant& known : Variants()) {
    if (name == known.library && variant == known.variant) {
      return &known;
    }
  }
  return nullptr;
}

}  // namespace

const std::vector<SimExport>* SimLibraryExports(const std::string& library, const std::string& variant) {
  const Variant* found = FindVariant(library, variant);
  return found != nullptr ? &found->exports : nullptr;
}

std::vector<std::string> SimVariantNames(const std::string& library) {
  std::vector<std::string> names;
  const std::string name = LibraryFileName(library);
  for (const Variant& known : Variants()) {
    if (name == known.library && known.variant[0] != '\0') {
      names.emplace_back(known.variant);
    }
  }
  return names;
}

const SimVersionInfo* SimLibraryVersion(const std::string& library, const std::string& variant) {
  const Variant* found = FindVariant(library, variant);
  return found != nullptr ? found->version : nullptr;
}

bool SimLoadBenchText(const std::string& toml, const std::string& fileName, std::string& error) {
  sim::SimBench bench;
  if (!sim::ReadBenchText(toml, fileName, bench, error)) {
    sim::SimState().Refuse(error);
    return false;
  }
  sim::SimState().Use(std::move(bench));
  return true;
}

bool SimLoadBenchFile(const std::string& path, std::string& error) {
  sim::SimBench bench;
  if (!sim::ReadBenchFile(path, bench, error)) {
    sim::SimState().Refuse(error);
    return false;
  }
  sim::SimState().Use(std::move(bench));
  return true;
}

void SimUseDefaultBench() {
  std::string error;
  SimLoadBenchText(sim::DefaultBenchText(), sim::kDefaultBenchName, error);
}

const char* SimDefaultBenchText() { return sim::DefaultBenchText(); }

void SimSetDelayHook(void (*hook)(int32_t milliseconds)) { sim::SimSetDelayHookInternal(hook); }

int32_t SimDeviceClears(const std::string& address) {
  sim::CSimBenchState& state = sim::SimState();
  const int resource = state.FindResource(sim::AddressKey(address));
  return resource < 0 ? -1 : state.ResourceIo(static_cast<size_t>(resource)).deviceClears;
}

size_t SimOpenVisaObjects() { return sim::SimState().OpenVisaObjects(); }
