// The font state of a device: the printer's resident fonts offered as
// device fonts (their metrics are resources of type 258 of xlgraph) and the
// table of TrueType fonts downloaded during the document. Enabling builds
// the tables, a device reset carries the downloads over, and the end of a
// document (or, while pages are stored for replay, every page) removes the
// downloads from the printer.
#pragma once

#include "platform/engine/engine.h"
#include "platform/module/module.h"

struct PDEV;
struct XlPool;

inline constexpr ULONG XL_DEVICE_FONT_COUNT = 78;  // resident fonts offered in automatic TrueType mode
inline constexpr ULONG XL_DOWNLOAD_SLOTS = 5;      // TrueType fonts kept in the printer at once
inline constexpr DWORD XL_DOWNLOAD_BUDGET = 0x4000;
inline constexpr WORD XL_FONT_METRICS_RESOURCE = 258;  // resource type of the font metrics
inline constexpr int XL_FACE_NAME_CHARS = 64;

// One resident font: its metrics resource (read-only, lives with the
// module) and the buffers the text code fills from it.
struct DeviceFontRow {
  const BYTE* pMetrics;
  DWORD cbMetrics;
  WCHAR* pFaceName;  // XL_FACE_NAME_CHARS characters
};

// One downloaded TrueType font.
struct TTDownloadEntry {
  ULONG iUniq;          // the engine's number of the realised font
  ULONG iTTUniq;        // the engine's number of the TrueType file
  FLONG flFlags;        // simulation bits (FO_SIM_BOLD, FO_SIM_ITALIC), bit 0: bitmap download
  ULONG cGlyphs;        // glyph handles of the font, at most 0xFFFF
  HGLYPH* phgVector;    // cGlyphs glyph handles
  LONG lPointSize;      // point size measure at download
  char szFaceName[80];  // face name in the ANSI code page
  BYTE* DefinedGlyphs;  // one bit per glyph handle: sent to the printer
  DWORD dwCmapKind;     // 4 for a format-4 character map
  DWORD* adwMappedIndex;  // glyph index per glyph handle; 0xFFFF: no outline
  char szPclName[100];  // the font's PCL XL name
};

struct XlFontState {
  HMODULE hModule;             // xlgraph itself, for the metrics resources
  ULONG cDeviceFonts;          // fonts offered to the engine (78 or 0)
  ULONG cLoadedFonts;          // rows 1 .. cLoadedFonts hold metrics
  DeviceFontRow* pFontTable;   // cDeviceFonts + 1 rows; row 0 unused
  TTDownloadEntry* pDownloads;  // XL_DOWNLOAD_SLOTS entries, used as a ring
  ULONG cDownloaded;           // entries in use
  ULONG iNextDownload;         // entry taken next
  DWORD dwBudget;              // download budget
  DWORD dwBudgetUsed;
};

// Size of each of the three arrays of an entry with cGlyphs glyphs.
inline SIZE_T GlyphVectorBytes(ULONG cGlyphs) { return SIZE_T(cGlyphs) * sizeof(HGLYPH); }
inline SIZE_T DefinedGlyphBytes(ULONG cGlyphs) { return (SIZE_T(cGlyphs) + 7) / 8; }
inline SIZE_T MappedIndexBytes(ULONG cGlyphs) { return SIZE_T(cGlyphs) * sizeof(DWORD); }

// The empty download table of a new device, from its pool. FALSE when the
// pool is out of memory.
BOOL CreateDownloadTable(PDEV* pdev);
// Loads xlgraph and the metrics of each resident font as far as they exist;
// stops quietly at the first font without metrics or memory.
void LoadDeviceFontTable(PDEV* pdev);
// Releases the module loaded for the metrics.
void ReleaseDeviceFontTable(PDEV* pdev);
// A device reset: the new device takes the old device's downloads, with
// copies of each entry's arrays from its own pool. FALSE when memory runs out.
BOOL CopyDownloadTable(const PDEV* pdevOld, PDEV* pdevNew);
// Removes every downloaded font from the printer (RemoveFont) and empties
// the table.
void RemoveDownloadedFonts(PDEV* pdev);
