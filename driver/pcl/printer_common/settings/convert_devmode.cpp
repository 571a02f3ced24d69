#include <algorithm>
#include <cstring>

#include "driver/pcl/printer_common/settings/record_shape.h"
#include "driver/pcl/printer_common/settings/settings.h"
#include "platform/base/base.h"

namespace {

BOOL Fail(DWORD error) {
  SetLastError(error);
  return FALSE;
}

// Into the format the output record's header names.
BOOL ConvertToOutputFormat(const void* in, std::size_t inBytes, void* out, std::size_t outBytes, LONG* pcbNeeded) {
  // Without a readable header there is no format to convert to.
  if (!out || outBytes < kMinPublicSize) return Fail(ERROR_INSUFFICIENT_BUFFER);
  const std::size_t needed = DeclaredRecordSize(out);
  if (outBytes < needed) {
    *pcbNeeded = static_cast<LONG>(needed);
    return Fail(ERROR_INSUFFICIENT_BUFFER);
  }
  if (SettingsConvert(in, inBytes, out, outBytes) == 0) return Fail(ERROR_INVALID_PARAMETER);
  *pcbNeeded = static_cast<LONG>(needed);
  return TRUE;
}

// Into the 124-byte record of the oldest spooler, without private part.
BOOL ConvertToOldest(const void* in, std::size_t inBytes, void* out, std::size_t outBytes, LONG* pcbNeeded) {
  if (!out || outBytes < kOldestRecordSize) {
    *pcbNeeded = kOldestRecordSize;
    return Fail(ERROR_INSUFFICIENT_BUFFER);
  }
  auto* header = static_cast<BYTE*>(out);
  StoreLe<WORD>(header + offsetof(DEVMODEW, dmSpecVersion), kOldestSpecVersion);
  StoreLe<WORD>(header + offsetof(DEVMODEW, dmSize), kOldestRecordSize);
  StoreLe<WORD>(header + offsetof(DEVMODEW, dmDriverVersion), 0);
  StoreLe<WORD>(header + offsetof(DEVMODEW, dmDriverExtra), 0);
  if (SettingsConvert(in, inBytes, out, outBytes) == 0) return Fail(ERROR_INVALID_PARAMETER);
  *pcbNeeded = kOldestRecordSize;
  return TRUE;
}

BOOL DriverDefault(void* out, std::size_t outBytes, LONG* pcbNeeded) {
  if (!out || outBytes < kJobSettingsSize) {
    *pcbNeeded = static_cast<LONG>(kJobSettingsSize);
    return Fail(ERROR_INSUFFICIENT_BUFFER);
  }
  JobSettings defaults;
  SettingsDefaults(defaults, kDriverDefaultDeviceName, UsesLetterPaper(), nullptr);
  std::memcpy(out, &defaults, sizeof defaults);
  return TRUE;
}

}  // namespace

BOOL ConvertDevModeRecord(const void* in, std::size_t inBytes, void* out, LONG* pcbNeeded, DWORD mode) {
  if (!pcbNeeded) return Fail(ERROR_INVALID_PARAMETER);
  const std::size_t outBytes = static_cast<std::size_t>(std::max<LONG>(*pcbNeeded, 0));
  switch (mode) {
    case kConvertToOutputFormat:
      return ConvertToOutputFormat(in, inBytes, out, outBytes, pcbNeeded);
    case kConvertToOldest:
      return ConvertToOldest(in, inBytes, out, outBytes, pcbNeeded);
    case kConvertDriverDefault:
      return DriverDefault(out, outBytes, pcbNeeded);
    default:
      return TRUE;
  }
}
