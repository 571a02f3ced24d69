// Starting a program for CreateProcessW, CreateProcessAsUserW and
// ShellExecuteW (internal to the process facility).
#pragma once

#include "platform/process/process.h"

namespace k460::process {

BOOL StartProcess(const char* function, LPCWSTR applicationName, LPWSTR commandLine, DWORD flags, LPVOID environment,
                  LPCWSTR currentDirectory, LPSTARTUPINFOW startupInfo, LPPROCESS_INFORMATION information);

}  // namespace k460::process
