// The print spooler's interface as the drivers and monitors call it.
#pragma once

#include "platform/base/base.h"

// Hands printer output of the job to the spooler. *pcWritten receives the
// bytes taken; a cancelled job answers FALSE with ERROR_PRINT_CANCELLED.
K460_API BOOL WritePrinter(HANDLE hPrinter, LPVOID pBuf, DWORD cbBuf, LPDWORD pcWritten);
