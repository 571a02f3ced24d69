// Access to the switches in the driver's INI file, as the settings code sees
// it. The settings code never talks to the spooler itself: whoever holds a
// printer handle hands in a reader (the spooler-backed one finds the INI
// file among the driver's dependent files and reads it with the profile
// functions); tests hand in a table.
#pragma once

#include "platform/base/types.h"

class DriverIni {
 public:
  virtual ~DriverIni() = default;
  // The integer value of `key` in `section`, or `defaultValue` when the file,
  // the section or the key is missing.
  virtual int ReadInt(const WCHAR* section, const WCHAR* key, int defaultValue) const = 0;
};

// The one switch the settings library reads.
inline constexpr const WCHAR* kDevmodeSection = u"Devmode";
inline constexpr const WCHAR* kForceDuplexKey = u"FDuplex";

// The driver's INI file: the first of the driver's dependent files whose
// file name holds ".INI" (any case, anywhere in the name). False without a
// printer, buffer or capacity, when none is listed, or when the path does not
// fit (then ERROR_INSUFFICIENT_BUFFER).
bool FindDriverIni(HANDLE printer, WCHAR* buffer, DWORD capacity);

// An integer from the driver's INI file, or `defaultValue` when the printer,
// the file, the section or the key is missing.
int ReadDriverIniInt(HANDLE printer, const WCHAR* section, const WCHAR* key, int defaultValue);

// The reader the settings code gets when it holds a printer handle.
class PrinterDriverIni : public DriverIni {
 public:
  explicit PrinterDriverIni(HANDLE printer) : printer_(printer) {}
  int ReadInt(const WCHAR* section, const WCHAR* key, int defaultValue) const override {
    return ReadDriverIniInt(printer_, section, key, defaultValue);
  }

 private:
  HANDLE printer_;
};
