// The debug trace of a job: switched on by a nonzero PortMonitorTraceOut in
// the "Monitors" section of the printer driver's INI file. While it is on,
// trace lines go to "a_netmon.log" and the job keeps its temporary files.
#pragma once

#include <string>

#include "monitors/netmon/port_record.h"
#include "platform/base/base.h"

namespace netmon {

// The switch for a job on `printerName`: the INI file is the first of the
// driver's dependent files whose name contains ".ini" or ".INI"; 0 when
// there is none or it has no such key.
BOOL ReadTraceSwitch(LPCWSTR printerName);

// The folder of the trace file, with a trailing backslash: the temporary
// path on Windows XP and earlier; on later systems the common documents
// folder with "\portSYS" (the spooler runs as "SYSTEM") or "\portUSER",
// created when missing, else "C:\Windows\TempLog".
std::u16string TraceFolder();

// Appends "<user>:<text>" to the trace file when the port's trace is on.
void TraceLine(const IniPort* port, const std::u16string& text);

}  // namespace netmon
