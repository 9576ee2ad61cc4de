#include "tests/unit/bench/BenchTestSupport.h"

#include <cstdio>

std::vector<std::string> BenchTest::Calls(const CInstrLayerCheck& check,
                                          const std::vector<std::string>& names) {
  std::vector<std::string> calls = DriverCalls(names);
  for (std::string& call : calls) {
    const size_t open = call.find('(');
    const size_t end = call.find_first_of(",)", open);
    if (open == std::string::npos || end == std::string::npos) continue;
    const std::string first = call.substr(open + 1, end - open - 1);
    const std::vector<KvSession>& sessions = check.Sessions();
    for (size_t i = 0; i < sessions.size(); ++i) {
      if (first == std::to_string(sessions[i])) {
        call.replace(open + 1, first.size(), "s" + std::to_string(i + 1));
        break;
      }
    }
  }
  return calls;
}

std::string BenchTest::WindowFrom(const std::string& from) const {
  const size_t at = Window().find(from);
  return at == std::string::npos ? std::string() : Window().substr(at);
}

uint16_t BenchTest::LaserState(const CInstrLayerCheck& check, size_t mainframe, int32_t slot) {
  uint16_t state = 0xFFFF;
  if (mainframe < check.Sessions().size() &&
      check.Driver().kv740m_get_TLS_laserState_Q != nullptr) {
    check.Driver().kv740m_get_TLS_laserState_Q(check.Sessions()[mainframe], slot, &state);
  }
  return state;
}

std::string Bench(const std::vector<std::string>& mainframes) {
  std::string toml = "format_version = 1\n";
  for (const std::string& mainframe : mainframes) toml += mainframe;
  return toml;
}

std::string Mainframe(const std::string& address, const std::string& model,
                      const std::vector<std::string>& slots, const std::string& extra) {
  std::string toml = "[[mainframe]]\naddress = \"" + address + "\"\nidentification = \"V," + model +
                     ",DE1,V3.12\"\n" + extra;
  for (const std::string& slot : slots) toml += slot;
  return toml;
}

std::string Slot(int32_t slot, int32_t type, const std::string& model, const std::string& extra) {
  return "[[mainframe.slot]]\nslot = " + std::to_string(slot) + "\ntype = " + std::to_string(type) +
         "\nidentification = \"V," + model + ",S" + std::to_string(slot) + ",1\"\n" + extra;
}

std::string Meter(int32_t slot, int32_t type, const std::string& model, double dark, double lit) {
  char values[128] = {};
  if (type == kSlotDualPowerMeter) {
    std::snprintf(values, sizeof(values), "dark = [%.17g, %.17g]\nlit = [%.17g, %.17g]\n", dark,
                  dark, lit, lit);
  } else {
    std::snprintf(values, sizeof(values), "dark = %.17g\nlit = %.17g\n", dark, lit);
  }
  return Slot(slot, type, model, values);
}

