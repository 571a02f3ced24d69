// The papers the PCL drivers know, with the names people give them on the
// command line and the geometry of the drivers' paper table (sizes and
// printable areas in dots at 600 dpi, which are page units), and the
// placement of images and rasterised pages on the printable area.
#pragma once

#include <span>
#include <string_view>

#include "tools/print/document.h"

namespace k460::print {

struct Media {
  std::string_view name;      // the option keyword, e.g. "A4", "HalfLetter"
  std::string_view aliases;   // other accepted names, separated by blanks
  std::string_view formName;  // the form name stored in the job settings
  int paperCode;              // dmPaperSize
  int widthMm;                // portrait width and length, whole millimetres
  int lengthMm;
  int physicalWidth;  // portrait physical and printable size, dots at 600 dpi
  int physicalLength;
  int printableWidth;
  int printableLength;
};

// Margins of the printable area on every paper, dots at 600 dpi.
inline constexpr int kPrintableMargin = 100;

// The 21 papers in the order of the drivers' paper list.
std::span<const Media> MediaTable();
// By name or alias, letters compared without regard to case; null if none.
const Media* FindMediaByName(std::string_view name);
const Media* FindMediaByCode(int paperCode);

// Where a document's page goes: the paper and its printable area, page units.
struct PageGeometry {
  Size paper;
  Rect printable;
  bool operator==(const PageGeometry&) const = default;
};
PageGeometry GeometryFor(const Media& media, bool landscape);
// A paper of any size (custom papers) with the drivers' margins.
PageGeometry GeometryForSize(double widthUnits, double lengthUnits, bool landscape);

// The largest rectangle of the proportions width x height that fits `area`,
// centred in it.
Rect PlaceKeepingAspect(double width, double height, const Rect& area);

}  // namespace k460::print
