// Images: one engine bitmap (or a rectangle of it) sent as one PCL XL
// image. 1-, 4- and 8-bit sources go as palette indices under a palette of
// gray levels, 16-, 24- and 32-bit sources as 8-bit direct gray; rows are
// padded to 4 bytes and run-length coded when that makes them smaller.
#pragma once

#include "driver/pcl/printer_common/nt/pclxl/xldevice.h"

// Sends the source rectangle of `pso` into the target rectangle (device
// pixels), stretched by the printer. A target whose bottom is above its top
// (or right left of its left) is drawn mirrored, and so is a source
// rectangle given that way. Rows that are all alike are sent once, for the
// printer to stretch over the target's height.
// TRUE without a source or for an empty rectangle; FALSE for a format the
// printer cannot take, a source rectangle outside the bitmap
// (ERROR_INVALID_PARAMETER) or no memory.
BOOL SendBitmap(SURFOBJ* pso, XLATEOBJ* pxlo, const RECTL* prclTrg, const RECTL* prclSrc, PDEV* pdev);

// The colour space an image of this many bits per pixel needs: plain gray
// for 16 to 32 bits; for fewer, gray with the palette of the translation's
// colours in gray (the index taken as a gray level without a translation).
BOOL PreparePrinterForImage(PDEV* pdev, XLATEOBJ* pxlo, ULONG bitsPerPixel);

// SetColorSpace gray with a palette of the gray of each colour (0x00BBGGRR);
// 1 to 256 colours, else FALSE.
BOOL PCL_SetPalette(PDEV* pdev, ULONG cColors, const ULONG* pColors);
