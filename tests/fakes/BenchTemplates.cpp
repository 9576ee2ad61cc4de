#include "tests/fakes/BenchTemplates.h"

#include "app/resource.h"

void DefineGuidedTestTemplate(CHeadlessDialogBackend& dialogs) {
  using Kind = HeadlessControlKind;
  HeadlessTemplate guided;
  guided.caption = "Please select";
  // In the order of the template, which is the order of the focus moving with Tab.
  guided.controls = {
      {kIdOk, Kind::Button, "Measure", true},
      {kIdCancel, Kind::Button, "Exit", true},
      {IDC_PWM_MAINFRAME, Kind::Combo, "", true},
      {IDC_POWER_METER, Kind::Combo, "", true},
      {IDC_CHANNEL, Kind::Combo, "", true},
      {IDC_TLS_MAINFRAME, Kind::Combo, "", true},
      {IDC_TLS_SLOT, Kind::Combo, "", true},
      {IDC_OUTPUT, Kind::Combo, "", true},
      {IDC_LASER_STATE, Kind::Button, "Off", true},
      {IDC_RESULT, Kind::Edit, "", true},
      {IDC_HINT, Kind::Edit, "", true},
  };
  dialogs.DefineTemplate(IDD_GUIDED_TEST, guided);
}

void DefineTlsSelectTemplate(CHeadlessDialogBackend& dialogs) {
  using Kind = HeadlessControlKind;
  HeadlessTemplate select;
  select.caption = "Please choose a TLS to generate the triggers";
  select.controls = {
      {kIdOk, Kind::Button, "OK", true},
      {kIdCancel, Kind::Button, "Cancel", true},
      {IDC_TLS_LIST, Kind::Combo, "", true},
  };
  dialogs.DefineTemplate(IDD_TLS_SELECT, select);
}

void DefineInstrumentIoTemplate(CHeadlessDialogBackend& dialogs) {
  using Kind = HeadlessControlKind;
  HeadlessTemplate io;
  io.caption = "Instrument I/O";
  io.controls = {
      {IDC_IO_RESOURCE, Kind::Combo, "", true},   {IDC_IO_TIMEOUT, Kind::Edit, "", true},
      {IDC_IO_LINE_END, Kind::Combo, "", true},   {IDC_IO_READ_END, Kind::Combo, "", true},
      {IDC_IO_COMMAND, Kind::Combo, "", true},    {IDC_IO_WRITE, Kind::Button, "Write", true},
      {IDC_IO_READ, Kind::Button, "Read", true},  {IDC_IO_QUERY, Kind::Button, "Query", true},
      {IDC_IO_CLEAR, Kind::Button, "Device Clear", true},
      {IDC_IO_STATUS_BYTE, Kind::Button, "Read Status Byte", true},
      {IDC_IO_ERROR_QUEUE, Kind::Button, "Error Queue", true},
      {IDC_IO_OUTPUT, Kind::Edit, "", true},      {kIdCancel, Kind::Button, "Close", true},
  };
  dialogs.DefineTemplate(IDD_INSTRUMENT_IO, io);
}
