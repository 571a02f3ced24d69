// The frame of a print job around the pages: the job start (Universal Exit
// Language, PJL header, language switch, PCL XL stream header, session and
// data source), one BeginPage per sheet and the job end.
#pragma once

#include "driver/pcl/printer_common/nt/pclxl/xldevice.h"

// Escape and "%-12345X": the Universal Exit Language sequence.
inline constexpr char kUniversalExit[] = "\x1B%-12345X";
inline constexpr DWORD kUniversalExitLength = 9;
static_assert(sizeof(kUniversalExit) == kUniversalExitLength + 1);

// The PJL lines of the job's finishing and media settings. Records the
// job's paper as the device's current paper and marks the header as sent.
void SendPJLCommands(PDEV* pdev);
// Everything before the first page; once per document.
void WriteJobStart(PDEV* pdev);
// CloseDataSource, EndSession and the Universal Exit Language sequence.
void WriteJobEnd(PDEV* pdev);
// BeginPage of a new sheet of the device's current paper (orientation 0
// portrait, 1 landscape). FALSE without a stream.
BOOL BuildBeginPage(PDEV* pdev, BYTE orientation);
// EndPage with the copies the sheet is printed in.
void WriteEndPage(PDEV* pdev);
