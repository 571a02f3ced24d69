// Turning a page by 90 degrees while reading it from the caller's file.
//
// The unturned raster holds `sourceHeight` rows of `sourceWidth` pixels; the
// turned page has `sourceHeight` pixels per row and `sourceWidth` rows. Turned
// right, turned row t is source column t read from the bottom up; turned
// left, it is source column sourceWidth - 1 - t read from the top down.
#pragma once

#include "platform/outside/qtxtoenc/caller_file.h"

namespace qtxtoenc {

struct TurnGeometry {
  DWORD sourceWidth;     // pixels = rows of the turned page
  DWORD sourceHeight;    // rows = pixels per turned row
  DWORD sourceRowBytes;  // pitch of the unturned raster in the file
};

// The pitch of the unturned rows as the file's size shows it: rows padded
// to 32 bits when the file is exactly that long, otherwise to 16 bits;
// 0 when the file is too short for either.
DWORD SourceRowBytes(DWORD sourceWidth, DWORD sourceHeight, DWORD fileSize);

// Writes turned rows [firstRow, firstRow + count) into `dest`, one
// ENCODE_ROW_BYTES(sourceHeight) row after another, reading the source rows
// through a bounded buffer. False when reading fails (file.failure()) or
// memory is short.
bool TurnRows(const TurnGeometry& geometry, bool right, DWORD firstRow, DWORD count, BYTE* dest, CallerFile& file);

}  // namespace qtxtoenc
