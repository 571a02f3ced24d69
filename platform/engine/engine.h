// The graphics engine's services to printer drivers: surfaces and bitmaps,
// palettes, bit-block transfers, clip, colour-translation and brush object
// services, paths, transforms, lines and fills, glyph sets, memory, code
// pages and the abort check. A driver
// includes this header only. Every service has C linkage; failures answer
// FALSE, NULL or 0 with the reason in the thread's last error, never a crash.
#pragma once

#include "platform/engine/ddi_driver.h"

// A driver whose DrvEnableDriver refuses, or whose table lacks the
// functions every driver must have.
inline constexpr DWORD ERROR_BAD_DRIVER_LEVEL = 119;

// ---- Surfaces ------------------------------------------------------------------
// A device-managed surface: no bits; iFormatCompat is the format of the
// bitmaps the engine exchanges with the driver through DrvCopyBits.
K460_API HSURF EngCreateDeviceSurface(DHSURF dhsurf, SIZEL sizl, ULONG iFormatCompat);
// An engine bitmap. lWidth is the row pitch in bytes (0: rows padded to 32
// bits). pvBits, when given, is the caller's memory (rows of lWidth bytes,
// the top row first with BMF_TOPDOWN, else the bottom row first), which
// stays the caller's; otherwise the engine allocates zero-filled rows
// (BMF_NOZEROINIT: not filled).
K460_API HBITMAP EngCreateBitmap(SIZEL sizl, LONG lWidth, ULONG iFormat, FLONG fl, PVOID pvBits);
// Ties a surface to a device: the device's palette becomes the surface's,
// and flHooks names the drawing calls the driver takes over on it.
K460_API BOOL EngAssociateSurface(HSURF hsurf, HDEV hdev, FLONG flHooks);
// The engine draws this surface band by band (DrvStartBanding/DrvNextBand).
K460_API BOOL EngMarkBandingSurface(HSURF hsurf);
// The handle dies at once; a locked surface object stays readable until unlocked.
K460_API BOOL EngDeleteSurface(HSURF hsurf);
K460_API SURFOBJ* EngLockSurface(HSURF hsurf);
K460_API void EngUnlockSurface(SURFOBJ* pso);
// Fills prcl (the whole surface when null) with the pixel value iColor.
K460_API BOOL EngEraseSurface(SURFOBJ* pso, RECTL* prcl, ULONG iColor);

// ---- Drawing ---------------------------------------------------------------------
// On an engine bitmap the engine draws directly into its bits at pvScan0 and
// lDelta as they are at the call. On a device-managed surface it draws into
// a temporary bitmap: the destination is read back with the driver's
// DrvCopyBits (white where the device cannot be read) and the result is
// handed to the driver with DrvCopyBits.
K460_API BOOL EngBitBlt(SURFOBJ* psoTrg, SURFOBJ* psoSrc, SURFOBJ* psoMask, CLIPOBJ* pco, XLATEOBJ* pxlo,
                        RECTL* prclTrg, POINTL* pptlSrc, POINTL* pptlMask, BRUSHOBJ* pbo, POINTL* pptlBrush,
                        ROP4 rop4);
K460_API BOOL EngCopyBits(SURFOBJ* psoDest, SURFOBJ* psoSrc, CLIPOBJ* pco, XLATEOBJ* pxlo, RECTL* prclDest,
                          POINTL* pptlSrc);
// Nearest-pixel stretching (mirrored when either rectangle is inverted);
// iMode HALFTONE dithers colour onto one-bit destinations.
K460_API BOOL EngStretchBlt(SURFOBJ* psoDest, SURFOBJ* psoSrc, SURFOBJ* psoMask, CLIPOBJ* pco, XLATEOBJ* pxlo,
                            COLORADJUSTMENT* pca, POINTL* pptlHTOrg, RECTL* prclDest, RECTL* prclSrc,
                            POINTL* pptlMask, ULONG iMode);

// ---- Clip objects -------------------------------------------------------------------
// Starts an enumeration of the region's rectangles; answers their number,
// or 0xFFFFFFFF when there are more than cLimit.
K460_API ULONG CLIPOBJ_cEnumStart(CLIPOBJ* pco, BOOL bAll, ULONG iType, ULONG iDirection, ULONG cLimit);
// Fills an ENUMRECTS of cj bytes with the next rectangles; TRUE while more follow.
K460_API BOOL CLIPOBJ_bEnum(CLIPOBJ* pco, ULONG cj, ULONG* pul);

// A path of the clip region (one closed rectangle per piece of the region,
// in 28.4 fixed point); the caller releases it with EngDeletePath.
K460_API PATHOBJ* CLIPOBJ_ppoGetPath(CLIPOBJ* pco);

// ---- Paths ---------------------------------------------------------------------------
// Paths are enumerated record by record: the first record of a subpath has
// PD_BEGINSUBPATH and starts with the subpath's first point; the points of
// a record continue from the last point before it, as lines or, with
// PD_BEZIERS, as Bezier curves of three points each; the subpath's last
// record has PD_ENDSUBPATH and, for a closed figure, PD_CLOSEFIGURE.
K460_API void PATHOBJ_vEnumStart(PATHOBJ* ppo);
// Fills *ppd with the next record (the points stay valid until the next
// call or the path's end); TRUE while more records follow.
K460_API BOOL PATHOBJ_bEnum(PATHOBJ* ppo, PATHDATA* ppd);
K460_API void PATHOBJ_vGetBounds(PATHOBJ* ppo, RECTFX* prectfx);
// Paths a driver builds itself (for EngStrokePath or EngFillPath).
K460_API PATHOBJ* EngCreatePath();
K460_API void EngDeletePath(PATHOBJ* ppo);
K460_API BOOL PATHOBJ_bMoveTo(PATHOBJ* ppo, POINTFIX ptfx);
K460_API BOOL PATHOBJ_bPolyLineTo(PATHOBJ* ppo, POINTFIX* pptfx, ULONG cptfx);
// cptfx is a multiple of 3: two control points and an end point per curve.
K460_API BOOL PATHOBJ_bPolyBezierTo(PATHOBJ* ppo, POINTFIX* pptfx, ULONG cptfx);
K460_API BOOL PATHOBJ_bCloseFigure(PATHOBJ* ppo);

// ---- Transforms ------------------------------------------------------------------------
// The transform's matrix (world to device) and its kind (GX_IDENTITY ...
// GX_GENERAL); 0xFFFFFFFF for an object the engine did not make.
K460_API ULONG XFORMOBJ_iGetXform(XFORMOBJ* pxo, XFORML* pxform);
// Transforms cPoints points by iMode (XF_LTOL, XF_INV_LTOL, XF_LTOFX, XF_INV_FXTOL).
K460_API BOOL XFORMOBJ_bApplyXform(XFORMOBJ* pxo, ULONG iMode, ULONG cPoints, PVOID pvIn, PVOID pvOut);

// ---- Lines, paths and areas -------------------------------------------------------------
// Drawn on engine bitmaps directly and on device-managed surfaces through
// the driver (as EngBitBlt does). A mix's low byte is the binary operation
// of the pen or brush with the destination (R2_COPYPEN ...).
// Cosmetic lines are one pixel wide; each segment covers its first pixel
// and not its last, and style units advance by the device's
// xStyleStep/denStyleStep per pixel (one unit a pixel where the device
// gives none). Geometric lines are widened by their width (transformed by
// pxo), with their joins, end caps and dashes, and filled.
K460_API BOOL EngStrokePath(SURFOBJ* pso, PATHOBJ* ppo, CLIPOBJ* pco, XFORMOBJ* pxo, BRUSHOBJ* pbo,
                            POINTL* pptlBrushOrg, LINEATTRS* plineattrs, MIX mix);
// Fills every pixel whose centre (the integer point) lies inside the path,
// left and top edges included: flOptions FP_ALTERNATEMODE or FP_WINDINGMODE.
K460_API BOOL EngFillPath(SURFOBJ* pso, PATHOBJ* ppo, CLIPOBJ* pco, BRUSHOBJ* pbo, POINTL* pptlBrushOrg, MIX mix,
                          FLONG flOptions);
K460_API BOOL EngStrokeAndFillPath(SURFOBJ* pso, PATHOBJ* ppo, CLIPOBJ* pco, XFORMOBJ* pxo, BRUSHOBJ* pboStroke,
                                   LINEATTRS* plineattrs, BRUSHOBJ* pboFill, POINTL* pptlBrushOrg, MIX mixFill,
                                   FLONG flOptions);
// A cosmetic solid line from (x1, y1) to (x2, y2), without its last pixel.
K460_API BOOL EngLineTo(SURFOBJ* pso, CLIPOBJ* pco, BRUSHOBJ* pbo, LONG x1, LONG y1, LONG x2, LONG y2,
                        RECTL* prclBounds, MIX mix);
// Fills the clip region with the brush.
K460_API BOOL EngPaint(SURFOBJ* pso, CLIPOBJ* pco, BRUSHOBJ* pbo, POINTL* pptlBrushOrg, MIX mix);

// ---- Colour translation and palettes ---------------------------------------------
K460_API ULONG XLATEOBJ_iXlate(XLATEOBJ* pxlo, ULONG iColor);
// Copies up to cPal colours of the source or destination palette (or the
// three masks of a bit-field palette) into pPal; with pPal null answers the count.
K460_API ULONG XLATEOBJ_cGetPalette(XLATEOBJ* pxlo, ULONG iPal, ULONG cPal, ULONG* pPal);
K460_API HPALETTE EngCreatePalette(ULONG iMode, ULONG cColors, ULONG* pulColors, FLONG flRed, FLONG flGreen,
                                   FLONG flBlue);
K460_API BOOL EngDeletePalette(HPALETTE hpal);

// ---- Brushes --------------------------------------------------------------------------
// The brush's colour as red, green and blue (0x00BBGGRR); 0xFFFFFFFF for a pattern.
K460_API ULONG BRUSHOBJ_ulGetBrushColor(BRUSHOBJ* pbo);
// Memory for the driver's realisation, owned by the brush (DrvRealizeBrush calls it).
K460_API PVOID BRUSHOBJ_pvAllocRbrush(BRUSHOBJ* pbo, ULONG cj);
// The driver's realisation, made on first use by calling its DrvRealizeBrush.
K460_API PVOID BRUSHOBJ_pvGetRbrush(BRUSHOBJ* pbo);

// ---- Fonts and text ------------------------------------------------------------------
// Glyph handles of TrueType and other outline fonts are glyph indices (the
// font's cmap maps characters to them); of device fonts the driver's.
// One glyph a call (phg[0]): its GLYPHDATA, with the bits (FO_GLYPHBITS)
// or outline (FO_PATHOBJ, 28.4 from the glyph's origin) in gdf; valid until
// the font is released. Answers 1, or 0 when the glyph has no such form.
K460_API ULONG FONTOBJ_cGetGlyphs(FONTOBJ* pfo, ULONG iMode, ULONG cGlyph, HGLYPH* phg, PVOID* ppvGlyph);
// Every glyph handle of the font into phg (null: only the count).
K460_API ULONG FONTOBJ_cGetAllGlyphHandles(FONTOBJ* pfo, HGLYPH* phg);
// The bytes of a TrueType font's file (of the whole collection for a
// collection) and their count; null for other fonts.
K460_API PVOID FONTOBJ_pvTrueTypeFontFile(FONTOBJ* pfo, ULONG* pcjFile);
K460_API IFIMETRICS* FONTOBJ_pifi(FONTOBJ* pfo);
// Notional (font design units, y up) to device (y down).
K460_API XFORMOBJ* FONTOBJ_pxoGetXform(FONTOBJ* pfo);
// The string's glyph positions: every glyph in one batch (FALSE: no more follow).
K460_API void STROBJ_vEnumStart(STROBJ* pstro);
K460_API BOOL STROBJ_bEnum(STROBJ* pstro, ULONG* pc, GLYPHPOS** ppgpos);
// The opaque rectangle with pboOpaque, the glyphs' bits with pboFore and
// the mix, then the extra rectangles (up to an all-zero one) with pboFore.
K460_API BOOL EngTextOut(SURFOBJ* pso, STROBJ* pstro, FONTOBJ* pfo, CLIPOBJ* pco, RECTL* prclExtra,
                         RECTL* prclOpaque, BRUSHOBJ* pboFore, BRUSHOBJ* pboOpaque, POINTL* pptlOrg, MIX mix);
// The glyph set of cChars single-byte codes from nFirstChar in code page
// nCodePage (0: the ANSI code page): glyph handle = code, grouped in runs of
// consecutive Unicode characters. One block; release with EngFreeMem.
K460_API FD_GLYPHSET* EngComputeGlyphSet(INT nCodePage, INT nFirstChar, INT cChars);

// ---- Memory, code pages, job state -------------------------------------------------
inline constexpr ULONG FL_ZERO_MEMORY = 0x00000001;
K460_API PVOID EngAllocMem(ULONG fl, ULONG cjMemSize, ULONG ulTag);
K460_API void EngFreeMem(PVOID pv);
K460_API void EngGetCurrentCodePage(PUSHORT OemCodePage, PUSHORT AnsiCodePage);
// TRUE once the job printing on the surface's device has been cancelled.
K460_API BOOL EngCheckAbort(SURFOBJ* pso);
