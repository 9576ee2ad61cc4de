#include "instrument/OpticalLayerCheck.h"

#include <string>

#include "instrument/ListItem.h"

COpticalLayerCheck::COpticalLayerCheck() : CInstrLayerCheck(kOpticalLayer) { m_measure = 1; }

COpticalLayerCheck::~COpticalLayerCheck() = default;

int COpticalLayerCheck::RunTask(int task) {
  if (task == 1) {
    m_error = m_driverStatus;
  } else if (m_error == 0) {
    RunOpticalTest();
  }
  return task + 1;
}

void COpticalLayerCheck::RunOpticalTest() {
  Write(
      "This will look for any laser source, turn it on, get a measurement\r\n"
      "<br>from every powermeter and turn off the laser sources at the end.\r\n<br>");
  std::string list;
  int32_t count = 0;
  ListMainframes(list, count);
  if (count <= 0) {
    WriteError("No kv740m instruments found.\r\n<br>");
    m_error = kInstrErrorNoMainframe;
    return;
  }
  Write("GPIB kv740m addresses list:  ");
  WriteExternal(list.c_str());
  Write("\r\n<br>");
  int result = m_error;
  for (int32_t i = 1; i <= count; ++i) {
    std::string address;
    GetListItem(i, list.c_str(), ',', address);
    Write("Mainframe test, ");
    WriteExternal(address.c_str());
    Write(":<br>\r\n");
    // Each mainframe's lasers are off again before the next one is opened.
    result = ReportMainframe(address.c_str());
  }
  m_error = result;
}
