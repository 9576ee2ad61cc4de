#pragma once
// A check of the layer protocol's shape with no platform needs: a finding, an
// error and the FAILED banner, logging its life into the shared journal.
#include <string>
#include <vector>

#include "report/LayerCheck.h"

class CProbeCheck : public CLayerCheck {
 public:
  inline static std::vector<std::string>* s_journal = nullptr;
  // Extra findings written by task 1 (each a line of the given length).
  inline static int s_extraLines = 0;
  inline static int s_extraLineLength = 0;

  CProbeCheck() {
    SetName("Probe ");
    Log("check constructed");
  }
  ~CProbeCheck() override { Log("check destroyed"); }

  int Step() override {
    Log("step " + std::to_string(m_task));
    switch (m_task) {
      case 1:
        Write("Probe finding: <b>42</b>\r\n<br>");
        for (int i = 0; i < s_extraLines; ++i) {
          std::string line(static_cast<size_t>(s_extraLineLength), static_cast<char>('a' + i % 26));
          Write((line + "\r\n<br>").c_str());
        }
        m_task = 2;
        return m_error;
      case 2:
        WriteError("Probe part missing\r\n<br>");
        m_error = 9;
        m_task = 3;
        return m_error;
      case 3:
        if (m_error != 0) {
          WriteError(
              "_______________________________<br>\r\nProbe Layer Check FAILED!!!. "
              "<br>\r\n<hr><br>\r\n");
        } else {
          WriteOk(
              "_______________________________<br>\r\nProbe Layer Checked, result OK. "
              "<br>\r\n<hr><br>\r\n");
        }
        m_error = -1;
        return -1;
      default:
        Write("An error detected in task number <br>\r\n");
        m_task = 1;
        return m_error;
    }
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
