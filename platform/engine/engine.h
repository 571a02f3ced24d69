// The graphics engine's services to printer drivers: surfaces and bitmaps,
// palettes, bit-block transfers, clip, colour-translation and brush object
// services, glyph sets, memory, code pages and the abort check. A driver
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

// ---- Fonts --------------------------------------------------------------------------
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
