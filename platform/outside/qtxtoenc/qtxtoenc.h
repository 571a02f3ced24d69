// The page encoder "qtxtoenc.dll": codes one-bit page rows as MMR (ITU-T
// T.6, Group 4) data for the device or as pages of a multi-page fax TIFF
// file, and reads a page back turned by 90 degrees. Callers bind it by
// ordinal. Every byte it writes or reads goes through the caller's
// callbacks over the caller's file handle.
//
// Rows: one bit per pixel, leftmost pixel in the top bit of a byte, a 0 bit
// black and a 1 bit white; each row is ENCODE_ROW_BYTES(width) bytes long
// (padded to 16 bits), both for the rows given to the encoders and for the
// rows the turning reader delivers. Padding bits are ignored on input and
// white on output.
//
// Each call answers TRUE, or FALSE with the reason in the thread's last
// error: ERROR_INVALID_PARAMETER for bad arguments (a null state, rows or
// callback, a size or resolution out of range), a block that was not
// started or rows beyond the page; ERROR_INVALID_HANDLE for a null or
// INVALID_HANDLE_VALUE file; ERROR_INVALID_DATA for a file that is not
// a TIFF file, or a page ended short; ERROR_HANDLE_EOF for a raster file too
// short to turn; the callback's own last error (or ERROR_WRITE_FAULT /
// ERROR_READ_FAULT when it set none) when a callback fails;
// ERROR_NOT_ENOUGH_MEMORY.
#pragma once

#include "platform/base/types.h"

// ---- Callbacks -------------------------------------------------------------
// write: writes at the file's position (the end while a page is appended);
// returns the bytes written, fewer than asked on failure.
typedef DWORD(CALLBACK* ENCODE_WRITE_PROC)(HANDLE hFile, LPCVOID pBuffer, DWORD cbBytes);
// read: returns the bytes read, 0 at the end of the file or on failure.
typedef DWORD(CALLBACK* ENCODE_READ_PROC)(HANDLE hFile, LPVOID pBuffer, DWORD cbBytes);
// seek: moves the file's position as SetFilePointer does (FILE_BEGIN 0,
// FILE_CURRENT 1, FILE_END 2); returns the new position, or 0xFFFFFFFF.
typedef DWORD(CALLBACK* ENCODE_SEEK_PROC)(HANDLE hFile, LONG lDistance, DWORD dwMoveMethod);

// ---- State blocks ----------------------------------------------------------
// Owned by the caller, kept for one page, zero-filled before the first Init.
// Init starts a page in the block, Free ends it and clears the block; a
// block that was never started, or was freed, is refused by Out and Free.
struct TIFFENCODESTATE {
  ULONGLONG Reserved[4];
};
struct FAXENCODESTATE {
  ULONGLONG Reserved[4];
};
// The turning reader keeps nothing outside its block and needs no Free.
struct ROTATESTATE {
  ULONGLONG Reserved[8];
};
static_assert(sizeof(TIFFENCODESTATE) == 32 && sizeof(FAXENCODESTATE) == 32 && sizeof(ROTATESTATE) == 64);

// The row format argument of the two Init calls: one-bit rows as above.
// Callers pass 255; any other value is refused.
inline constexpr LONG ENCODE_ROW_FORMAT = 255;
// Codings the Init calls accept (the page header's `Coding` codes: 0 MH,
// 1 MMR, 2 JBG, 3 MR). The device is always told MMR, so MMR is what is
// written whichever of these is given.
inline constexpr LONG ENCODE_CODING_MH = 0;
inline constexpr LONG ENCODE_CODING_MMR = 1;
inline constexpr LONG ENCODE_CODING_MR = 3;
// Pages are 1 to 32767 pixels wide and high (the page header's 16-bit
// fields); resolutions 1 to 9600 dots per inch.
inline constexpr LONG ENCODE_MAX_PIXELS = 32767;
inline constexpr LONG ENCODE_MAX_RESOLUTION = 9600;

inline constexpr DWORD ENCODE_ROW_BYTES(LONG lWidth) { return ((static_cast<DWORD>(lWidth) + 15) / 16) * 2; }

// ---- Ordinals ----------------------------------------------------------------
inline constexpr WORD ORD_TiffEncodeInit = 2;
inline constexpr WORD ORD_TiffEncodeOut = 3;
inline constexpr WORD ORD_TiffEncodeFree = 4;
inline constexpr WORD ORD_FaxEncodeInit = 5;
inline constexpr WORD ORD_FaxEncodeOut = 6;
inline constexpr WORD ORD_FaxEncodeFree = 7;
inline constexpr WORD ORD_RotateInit = 8;
inline constexpr WORD ORD_RotateOut = 9;
inline constexpr WORD ORD_LeftRotateOut = 10;

// ---- Function types (what GetProcAddress by ordinal is cast to) ------------
// TIFF: starts a page of lWidth x lHeight pixels at lResolution dpi in hFile.
// An empty file becomes a new TIFF file; a file that already holds a TIFF
// file gets the page appended, so Init/Out/Free rounds on one open file
// make a multi-page file.
typedef BOOL(WINAPI* PFN_TiffEncodeInit)(TIFFENCODESTATE* pState, LONG lWidth, LONG lHeight, LONG lRowFormat,
                                         LONG lCoding, LONG lResolution, ENCODE_WRITE_PROC pfnWrite,
                                         ENCODE_READ_PROC pfnRead, ENCODE_SEEK_PROC pfnSeek, HANDLE hFile);
// Codes the next cRows rows (cRows x ENCODE_ROW_BYTES(width) bytes). Rows
// beyond the page's height are refused and nothing is coded.
typedef BOOL(WINAPI* PFN_TiffEncodeOut)(TIFFENCODESTATE* pState, const BYTE* pRows, DWORD cRows);
// Ends the page and leaves the file complete. Rows not given are coded
// white and the call answers FALSE (ERROR_INVALID_DATA). After a failed
// callback the page is dropped (earlier pages stay intact) and the call
// answers FALSE with that failure. The block is cleared in every case.
typedef BOOL(WINAPI* PFN_TiffEncodeFree)(TIFFENCODESTATE* pState);

// MMR: the same for the page's bare T.6 data (ending with EOFB), written
// from the file's current position; one page per file.
typedef BOOL(WINAPI* PFN_FaxEncodeInit)(FAXENCODESTATE* pState, LONG lWidth, LONG lHeight, LONG lRowFormat,
                                        LONG lCoding, LONG lResolution, ENCODE_WRITE_PROC pfnWrite,
                                        ENCODE_READ_PROC pfnRead, ENCODE_SEEK_PROC pfnSeek, HANDLE hFile);
typedef BOOL(WINAPI* PFN_FaxEncodeOut)(FAXENCODESTATE* pState, const BYTE* pRows, DWORD cRows);
typedef BOOL(WINAPI* PFN_FaxEncodeFree)(FAXENCODESTATE* pState);

// Turning: hFile holds, from its start, the unturned raster: lTurnedWidth
// rows of lTurnedHeight pixels (rows padded to 16 bits, or to 32 bits when
// the file's size says so). Each Out call then delivers the next cRows rows
// of the turned page (lTurnedWidth pixels each, ENCODE_ROW_BYTES of it) into
// pDest, top to bottom: RotateOut turned right (clockwise), LeftRotateOut
// turned left. A file shorter than the raster is refused at Init. Each Out
// call reads the raster once, through a bounded buffer, so few calls of
// many rows are cheaper than many calls of few rows.
typedef BOOL(WINAPI* PFN_RotateInit)(ROTATESTATE* pState, LONG lTurnedHeight, LONG lTurnedWidth,
                                     ENCODE_READ_PROC pfnRead, ENCODE_SEEK_PROC pfnSeek, HANDLE hFile);
typedef BOOL(WINAPI* PFN_RotateOut)(ROTATESTATE* pState, BYTE* pDest, DWORD cRows);
typedef BOOL(WINAPI* PFN_LeftRotateOut)(ROTATESTATE* pState, BYTE* pDest, DWORD cRows);

// ---- Exports (by ordinal) --------------------------------------------------
K460_API BOOL WINAPI TiffEncodeInit(TIFFENCODESTATE* pState, LONG lWidth, LONG lHeight, LONG lRowFormat, LONG lCoding,
                                    LONG lResolution, ENCODE_WRITE_PROC pfnWrite, ENCODE_READ_PROC pfnRead,
                                    ENCODE_SEEK_PROC pfnSeek, HANDLE hFile);
K460_API BOOL WINAPI TiffEncodeOut(TIFFENCODESTATE* pState, const BYTE* pRows, DWORD cRows);
K460_API BOOL WINAPI TiffEncodeFree(TIFFENCODESTATE* pState);
K460_API BOOL WINAPI FaxEncodeInit(FAXENCODESTATE* pState, LONG lWidth, LONG lHeight, LONG lRowFormat, LONG lCoding,
                                   LONG lResolution, ENCODE_WRITE_PROC pfnWrite, ENCODE_READ_PROC pfnRead,
                                   ENCODE_SEEK_PROC pfnSeek, HANDLE hFile);
K460_API BOOL WINAPI FaxEncodeOut(FAXENCODESTATE* pState, const BYTE* pRows, DWORD cRows);
K460_API BOOL WINAPI FaxEncodeFree(FAXENCODESTATE* pState);
K460_API BOOL WINAPI RotateInit(ROTATESTATE* pState, LONG lTurnedHeight, LONG lTurnedWidth, ENCODE_READ_PROC pfnRead,
                                ENCODE_SEEK_PROC pfnSeek, HANDLE hFile);
K460_API BOOL WINAPI RotateOut(ROTATESTATE* pState, BYTE* pDest, DWORD cRows);
K460_API BOOL WINAPI LeftRotateOut(ROTATESTATE* pState, BYTE* pDest, DWORD cRows);
