// TiffEncodeInit/Out/Free and FaxEncodeInit/Out/Free: argument checks and
// the state blocks around one G4Page each.
#include "platform/base/base.h"
#include "platform/outside/qtxtoenc/page_blocks.h"
#include "platform/outside/qtxtoenc/qtxtoenc.h"

namespace {

using qtxtoenc::G4Page;

BOOL Fail(DWORD error) {
  SetLastError(error);
  return FALSE;
}

BOOL StartPage(void* block, DWORD signature, G4Page::Output output, LONG width, LONG height, LONG rowFormat,
               LONG coding, LONG resolution, ENCODE_WRITE_PROC write, ENCODE_READ_PROC read, ENCODE_SEEK_PROC seek,
               HANDLE file) {
  if (!block || !write || !read || !seek) return Fail(ERROR_INVALID_PARAMETER);
  if (width < 1 || width > ENCODE_MAX_PIXELS || height < 1 || height > ENCODE_MAX_PIXELS)
    return Fail(ERROR_INVALID_PARAMETER);
  if (rowFormat != ENCODE_ROW_FORMAT || coding < ENCODE_CODING_MH || coding > ENCODE_CODING_MR)
    return Fail(ERROR_INVALID_PARAMETER);
  if (resolution < 1 || resolution > ENCODE_MAX_RESOLUTION) return Fail(ERROR_INVALID_PARAMETER);
  if (!file || file == INVALID_HANDLE_VALUE) return Fail(ERROR_INVALID_HANDLE);

  // A page that the block still held is dropped, not finished.
  qtxtoenc::DetachPage(block, signature);
  DWORD error = 0;
  auto page = G4Page::Start(output, qtxtoenc::CallerFile(write, read, seek, file), width, height, resolution, &error);
  if (!page) return Fail(error);
  qtxtoenc::AttachPage(block, signature, std::move(page));
  return TRUE;
}

BOOL CodeRows(void* block, DWORD signature, const BYTE* rows, DWORD count) {
  if (!block) return Fail(ERROR_INVALID_PARAMETER);
  G4Page* page = qtxtoenc::FindPage(block, signature);
  if (!page) return Fail(ERROR_INVALID_PARAMETER);
  if (count == 0) return TRUE;
  if (!rows) return Fail(ERROR_INVALID_PARAMETER);
  return page->Code(rows, count) ? TRUE : Fail(page->error());
}

BOOL FinishPage(void* block, DWORD signature) {
  if (!block) return Fail(ERROR_INVALID_PARAMETER);
  auto page = qtxtoenc::DetachPage(block, signature);
  if (!page) return Fail(ERROR_INVALID_PARAMETER);
  return page->Finish() ? TRUE : Fail(page->error());
}

}  // namespace

K460_API BOOL WINAPI TiffEncodeInit(TIFFENCODESTATE* pState, LONG lWidth, LONG lHeight, LONG lRowFormat, LONG lCoding,
                                    LONG lResolution, ENCODE_WRITE_PROC pfnWrite, ENCODE_READ_PROC pfnRead,
                                    ENCODE_SEEK_PROC pfnSeek, HANDLE hFile) {
  return StartPage(pState, qtxtoenc::kTiffBlockSignature, G4Page::Output::TiffPage, lWidth, lHeight, lRowFormat,
                   lCoding, lResolution, pfnWrite, pfnRead, pfnSeek, hFile);
}

K460_API BOOL WINAPI TiffEncodeOut(TIFFENCODESTATE* pState, const BYTE* pRows, DWORD cRows) {
  return CodeRows(pState, qtxtoenc::kTiffBlockSignature, pRows, cRows);
}

K460_API BOOL WINAPI TiffEncodeFree(TIFFENCODESTATE* pState) { return FinishPage(pState, qtxtoenc::kTiffBlockSignature); }

K460_API BOOL WINAPI FaxEncodeInit(FAXENCODESTATE* pState, LONG lWidth, LONG lHeight, LONG lRowFormat, LONG lCoding,
                                   LONG lResolution, ENCODE_WRITE_PROC pfnWrite, ENCODE_READ_PROC pfnRead,
                                   ENCODE_SEEK_PROC pfnSeek, HANDLE hFile) {
  return StartPage(pState, qtxtoenc::kFaxBlockSignature, G4Page::Output::BareData, lWidth, lHeight, lRowFormat,
                   lCoding, lResolution, pfnWrite, pfnRead, pfnSeek, hFile);
}

K460_API BOOL WINAPI FaxEncodeOut(FAXENCODESTATE* pState, const BYTE* pRows, DWORD cRows) {
  return CodeRows(pState, qtxtoenc::kFaxBlockSignature, pRows, cRows);
}

K460_API BOOL WINAPI FaxEncodeFree(FAXENCODESTATE* pState) { return FinishPage(pState, qtxtoenc::kFaxBlockSignature); }
