#pragma once
// A check of the layer protocol's shape with no platform needs: a finding, an
// error and the FAILED banner, logging its life into the shared journal.
#include <string>
#include <vector>

#include "report/LayerCheck.h"

inline constexpr CLayerTexts kProbeLayer = {"Probe", 2, kInvalidTaskText, kBannerEnd};

class CProbeCheck : public CLayerCheck {
 public:
  inline static std::vector<std::string>* s_journal = nullptr;
  // Extra findings written by task 1 (each a line of the given length).
  inline static int s_extraLines = 0;
  inline static int s_extraLineLength = 0;

  CProbeCheck() : CLayerCheck(kProbeLayer) { Log("check constructed"); }
  ~CProbeCheck() override { Log("check destroyed"); }

  int Step() override {
    Log("step " + std::to_string(m_task));
    return CLayerCheck::Step();
  }

 protected:
  int RunTask(int task) override {
    if (task == 2) {
      WriteError("Probe part missing\r\n<br>");
      m_error = 9;
      return 3;
    }
    Write("Probe finding: <b>42</b>\r\n<br>");
    for (int i = 0; i < s_extraLines; ++i) {
      std::string line(static_cast<size_t>(s_extraLineLength), static_cast<char>('a' + i % 26));
      Write((line + "\r\n<br>").c_str());
    }
    return 2;
  }

 private:
  static void Log(const std::string& entry) {
    if (s_journal != nullptr) s_journal->push_back(entry);
  }
};

// Started by a start of its own in place of Begin, as the instrument checks are.
class CProbeStartCheck : public CProbeCheck {
 public:
  int Start() override {
    s_journal->push_back("custom start");
    return Begin();
  }
};
