// Resource ids of the instrument I/O panel; the program's resource script reads
// them through app/resource.h. Plain #defines so the resource compiler reads them too.
#pragma once

#define IDD_INSTRUMENT_IO 140

#define IDC_IO_RESOURCE 1100
#define IDC_IO_TIMEOUT 1101
#define IDC_IO_LINE_END 1102
#define IDC_IO_READ_END 1103
#define IDC_IO_COMMAND 1104
#define IDC_IO_WRITE 1105
#define IDC_IO_READ 1106
#define IDC_IO_QUERY 1107
#define IDC_IO_CLEAR 1108
#define IDC_IO_STATUS_BYTE 1109
#define IDC_IO_ERROR_QUEUE 1110
#define IDC_IO_OUTPUT 1111
