// The conversation with the device over the network for one job: commands
// posted to "upcmd.cgi" and page files to "updata.cgi", with the waits of a
// busy device, and the settings the posts need (the device's HTTP port and
// this computer's address). The caller has made the job's command object
// (hCmd) and network object (hNet).
#pragma once

#include <string>

#include "monitors/netmon/job_record.h"

namespace netmon {

// Seconds the sender waits after each busy answer.
inline constexpr DWORD kBusyWaitMs = 10000;

// The full exchange of command `nCmdID` (see device_commands.h): TRUE when
// the device accepted it. Sets JOB_PRINTER_OFFLINE, JOB_NETWORK_FAILED and
// JOB_DEVICE_CREATED as the exchange finds.
BOOL SendPrintCommand(IniJob& job, int nCmdID, int nPortID, DWORD Pages);

// The upload of `fileName` as page `Pages`: TRUE when the device took it.
BOOL SendData(IniJob& job, int nPortID, DWORD Pages, const std::u16string& fileName);

// The device's HTTP port: "HttpPort" of HKLM "Software\Velkaro\Ar+Vento\Common"
// as decimal text; 80 when missing or not a port number.
WORD GetHttpPortNoFromReg(const IniPort* port);

// This computer's IPv4 address as dotted text: the first address that name
// resolution gives for its own host name; "" when that fails.
std::string GetMyIPAdddress();

// `text` in the ANSI code page.
std::string ToAnsi(std::u16string_view text);

}  // namespace netmon
