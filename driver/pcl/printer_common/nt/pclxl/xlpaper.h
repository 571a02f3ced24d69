// The driver's paper tables: the geometry of every paper it prints on (46
// rows: 23 portrait rows, then the same 23 in landscape) and, per paper
// identifier, its PJL name and PCL XL MediaSize byte. Lengths in pixels are
// at 600 dpi.
#pragma once

#include "platform/base/types.h"

struct PaperRow {
  LONG widthMm;
  LONG heightMm;
  LONG printableWidth;
  LONG printableHeight;
  LONG physicalWidth;
  LONG physicalHeight;
  LONG leftMargin;
  LONG topMargin;
};

inline constexpr int kPaperRowCount = 46;
inline constexpr int kLandscapeRowOffset = 23;
inline constexpr int kPaperListCount = 21;  // rows 0 to 20: the driver's paper list
inline constexpr int kCustomPaperRow = 21;  // a custom paper size of the job
inline constexpr int kFitOutputPaperRow = 22;  // a custom output size of fit-to-paper
inline constexpr LONG kPaperMargin = 100;  // left and top margin of every paper

// The paper identifier of list position `index` (0 to 20).
int PaperListId(int index);
// Position of `paperId` in the driver's paper list, or -1.
int FindPaperListIndex(int paperId);

// Portrait row 0 to 20 of the table.
PaperRow StandardPaperRow(int index);
// The row of a custom size given in tenths of a millimetre; all zero when
// the size is not positive or leaves no printable area.
PaperRow CustomPaperRow(LONG widthTenths, LONG lengthTenths);
// The same paper turned: widths and heights exchanged, margins kept.
PaperRow TurnedPaperRow(const PaperRow& row);
// A row that describes a printable paper.
inline bool IsUsablePaperRow(const PaperRow& row) { return row.printableWidth > 0 && row.printableHeight > 0; }

// "A4", "LETTER", ...: the PJL name of the paper; Letter for any paper the
// table does not list.
const char* PjlPaperName(int paperId);
// The PCL XL MediaSize of the paper; Letter (0) for any paper not listed.
BYTE MediaSizeOf(int paperId);
