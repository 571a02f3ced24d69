#include "monitors/netmon/mmr_page_encoder.h"

namespace netmon {

using k460::encoder::ReadFileCallback;
using k460::encoder::SeekFileCallback;
using k460::encoder::WriteFileCallback;

MmrPageEncoder::MmrPageEncoder(const k460::encoder::EncoderLibrary& library, bool tracing)
    : library_(library), tracing_(tracing) {}

MmrPageEncoder::~MmrPageEncoder() {
  DropPage();
  trace_.Close();  // kept: it is the trace's copy of the job
}

bool MmrPageEncoder::BeginPage(const PageGeometry& page) {
  DropPage();
  if (!mmr_.Create(u"Mmr")) return false;
  if (tracing_) mmr_.Keep();
  mmrState_ = {};
  if (!library_.FaxEncodeInit(&mmrState_, page.width, page.height, ENCODE_ROW_FORMAT, ENCODE_CODING_MMR,
                              page.resolution, WriteFileCallback, ReadFileCallback, SeekFileCallback,
                              mmr_.handle())) {
    const DWORD error = GetLastError();
    mmr_.Discard();
    SetLastError(error);
    return false;
  }
  pageOpen_ = true;
  // The trace copy is a convenience: a failure there does not fail the page.
  if (tracing_) tracePageOpen_ = BeginTracePage(page);
  return true;
}

bool MmrPageEncoder::BeginTracePage(const PageGeometry& page) {
  if (!trace_.IsOpen()) {
    if (!trace_.Create(u"Prt", u"tif")) return false;
    trace_.Keep();
  }
  traceState_ = {};
  return library_.TiffEncodeInit(&traceState_, page.width, page.height, ENCODE_ROW_FORMAT, ENCODE_CODING_MMR,
                                 page.resolution, WriteFileCallback, ReadFileCallback, SeekFileCallback,
                                 trace_.handle()) != FALSE;
}

bool MmrPageEncoder::EncodeRows(const std::uint8_t* rows, std::uint32_t count) {
  if (!pageOpen_) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return false;
  }
  if (tracePageOpen_ && !library_.TiffEncodeOut(&traceState_, rows, count)) {
    library_.TiffEncodeFree(&traceState_);
    tracePageOpen_ = false;
  }
  return library_.FaxEncodeOut(&mmrState_, rows, count) != FALSE;
}

bool MmrPageEncoder::EndPage(std::u16string* file) {
  if (!pageOpen_) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return false;
  }
  if (tracePageOpen_) library_.TiffEncodeFree(&traceState_);
  tracePageOpen_ = false;
  pageOpen_ = false;
  if (!library_.FaxEncodeFree(&mmrState_)) {
    const DWORD error = GetLastError();
    mmr_.Discard();
    SetLastError(error);
    return false;
  }
  *file = mmr_.Release();
  return true;
}

void MmrPageEncoder::DropPage() {
  if (tracePageOpen_) library_.TiffEncodeFree(&traceState_);
  tracePageOpen_ = false;
  if (pageOpen_) library_.FaxEncodeFree(&mmrState_);
  pageOpen_ = false;
  mmr_.Discard();
}

}  // namespace netmon
