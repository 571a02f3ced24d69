// The image path of the bit-block calls: the clip, the source rectangle and
// SendBitmap. In vector graphics mode the printer gets the call's clip as
// it is; in raster graphics mode the engine draws the page band by band in
// band coordinates, which are moved to page coordinates here, and a complex
// clip is sent as one image per visible rectangle.
#pragma once

#include "driver/pcl/printer_common/nt/pclxl/xldevice.h"

// How far the current band lies below the top of the page.
LONG BandOffset(const PDEV* pdev);
// The rectangle moved down by `dy` lines.
RECTL MovedDown(const RECTL& rcl, LONG dy);

// Raster graphics mode: the clip of a call drawing in `rclPage` (page
// coordinates), the clip object's rectangles moved down by the band's
// offset. FALSE, sending nothing, for a complex clip.
BOOL SetBandClip(PDEV* pdev, CLIPOBJ* pco, const RECTL& rclPage);

// Vector graphics mode: the clip for the target, then SendBitmap of the
// source rectangle (while DrvStretchBlt works) or of the rectangle at the
// source point as large as the target.
BOOL DownLoadSurface(SURFOBJ* pso, CLIPOBJ* pco, XLATEOBJ* pxlo, const RECTL* prclTrg, const POINTL* pptlSrc,
                     const RECTL* prclSrc, PDEV* pdev);

// Raster graphics mode: the same in page coordinates; a complex clip sends
// each of its rectangles within the target as an image of its own, with
// the part of the source that falls there.
BOOL DownLoadSurfaceBanded(SURFOBJ* pso, CLIPOBJ* pco, XLATEOBJ* pxlo, const RECTL* prclTrg, const POINTL* pptlSrc,
                           const RECTL* prclSrc, PDEV* pdev);
