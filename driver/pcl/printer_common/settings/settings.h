// The settings library of the PCL drivers: defaults, validation and merging
// of incoming records, conversion between record sizes, the effective duplex
// rule, the reset to standard values and the watermark angle. Compiled into
// xlgraph, p5graph, xlui and p5ui alike. Plain data code: no state between
// calls, safe on any thread.
//
// Records from outside (an application's or the spooler's device mode) are
// given with the size of the buffer that holds them: nothing is ever read or
// written past that size, and a record whose dmSize/dmDriverExtra claim more
// than its buffer holds (or a dmSize too small for its own header) is a
// record that contributes nothing. Where the caller only has the record,
// DeclaredRecordSize tells the size the record claims for itself.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "driver/pcl/printer_common/settings/driver_ini.h"
#include "driver/pcl/printer_common/settings/job_settings.h"
#include "platform/base/types.h"

// ---- Locale -----------------------------------------------------------------
// True when the user's default language selects Letter paper and inch units
// (English in the United States or Canada, French in Canada).
bool UsesLetterPaper();

// ---- Strings ----------------------------------------------------------------
// Copies at most capacity - 1 units of `source` (up to its terminator) into
// `dest` and zero-fills the rest of the capacity; a zero capacity copies
// nothing, a null source gives an empty string. Units are copied as they
// are, so both sides must be stored alike (record to record).
void CopyBoundedString(WCHAR* dest, const WCHAR* source, std::size_t capacity);
// The same from host text into a record field (units stored little-endian).
void StoreText(WCHAR* field, std::size_t capacity, std::u16string_view text);
// Host text of a record field, up to its terminator or its capacity.
std::u16string LoadText(const WCHAR* field, std::size_t capacity);

// ---- Building and checking records ------------------------------------------
// Fills `record` with the defaults of the Letter or A4 locale. `deviceName`
// may be null. `ini` (may be null: no printer) supplies the driver INI
// switches; "FDuplex" in section "Devmode" becomes pvForceDuplexField.
void SettingsDefaults(JobSettings& record, const WCHAR* deviceName, bool letter, const DriverIni* ini);
// Fills a watermark record with the default watermark.
void DefaultWatermarkRecord(WatermarkRecord& watermark);

// Validates `incoming` (bytes of a device mode record in a buffer of
// `incomingBytes`; null: none) and merges it into `target`. True when there
// is nothing to merge or the merge was done; false, with the target
// unchanged, when the scratch copy cannot be allocated (last error from
// LocalAlloc) or the incoming record contributes nothing
// (ERROR_INVALID_PARAMETER).
bool SettingsMerge(JobSettings& target, const void* incoming, std::size_t incomingBytes, bool letter);

// Copies the source record into the target record's layout (the target's
// header says its sizes) and answers the number of bytes copied; 0 when
// either record is missing or absurd for its buffer.
std::size_t SettingsConvert(const void* source, std::size_t sourceBytes, void* target, std::size_t targetBytes);

// Copies `source` into `output` with the smaller of the source's sizes and
// those of `sizes` (the record whose sizes are to be honoured; null or too
// short to hold a header: the source's sizes). False when there is no output
// record or nothing could be copied (ERROR_INVALID_PARAMETER), or when the
// output buffer cannot hold the result (ERROR_INSUFFICIENT_BUFFER).
bool SettingsConvertOut(const JobSettings& source, const void* sizes, std::size_t sizesBytes, void* output,
                        std::size_t outputBytes);

// The duplex mode the renderers apply: 1 (off), 2 or 3. Null gives 1.
int EffectiveDuplex(const JobSettings* record);

// The standard-settings buttons of the pages: resets the editable fields in
// place for the user's locale (UsesLetterPaper). Installed options, the
// watermark record, the custom papers, the density and the names stay.
void SettingsReset(JobSettings& record);

// Recomputes pvWatermarkSin/pvWatermarkCos from the watermark's angle in
// degrees; done whenever document settings are committed.
void UpdateWatermarkAngle(JobSettings& record);
inline constexpr double kWatermarkPi = 3.142857;  // the drivers' value, not pi

// The size that a device mode record claims for itself, dmSize +
// dmDriverExtra; the caller must know that the header (kMinPublicSize bytes)
// is readable.
std::size_t DeclaredRecordSize(const void* record);

// ---- The spooler's conversion entry ------------------------------------------
// DrvConvertDevMode's modes.
inline constexpr DWORD kConvertToOutputFormat = 1;  // CDM_CONVERT
inline constexpr DWORD kConvertToOldest = 2;        // CDM_CONVERT351: the 124-byte record
inline constexpr DWORD kConvertDriverDefault = 4;   // CDM_DRIVER_DEFAULT
inline constexpr WORD kOldestSpecVersion = 0x0320;
inline constexpr WORD kOldestRecordSize = 124;
inline constexpr const WCHAR* kDriverDefaultDeviceName = u"Tessaly 4000";

// What DrvConvertDevMode does with an input record in a buffer of `inBytes`,
// an output buffer and *pcbNeeded (in: the output buffer's size; out: the
// size written or needed). Results and last errors are the export's.
BOOL ConvertDevModeRecord(const void* in, std::size_t inBytes, void* out, LONG* pcbNeeded, DWORD mode);
