// One page coded with ITU-T T.6 (Group 4) through libtiff, either as a page
// of a fax TIFF file (appended when the file already holds one) or as the
// page's bare T.6 data. Rows come in the callers' format (0 black, padded
// to 16 bits) and are coded with white as the code's white.
#pragma once

#include <memory>
#include <vector>

#include "platform/outside/qtxtoenc/caller_file.h"
#include "platform/outside/qtxtoenc/tiff_client.h"

namespace qtxtoenc {

class G4Page {
 public:
  enum class Output { TiffPage, BareData };

  // nullptr with *error set when the page cannot be started.
  static std::unique_ptr<G4Page> Start(Output output, const CallerFile& file, LONG width, LONG height,
                                       LONG resolution, DWORD* error);
  G4Page(const G4Page&) = delete;
  G4Page& operator=(const G4Page&) = delete;
  // An unfinished page is dropped: nothing more reaches the file.
  ~G4Page();

  // Codes the next `count` rows; refuses rows beyond the page.
  bool Code(const BYTE* rows, DWORD count);
  // Codes missing rows white and completes the page (TIFF: its directory
  // is written and linked). False when rows were missing or anything failed.
  bool Finish();

  DWORD error() const { return error_; }

 private:
  G4Page(Output output, const CallerFile& file, LONG width, LONG height);
  bool Open(LONG resolution);
  // The file starts with a classic TIFF header (either byte order).
  bool HasTiffHeader();
  bool CodeRow(const BYTE* invertedRow);
  bool Broken(DWORD fallback);
  void Release();

  Output output_;
  CallerFile file_;
  TiffClient client_;
  TIFF* tiff_ = nullptr;
  LONG width_;
  LONG height_;
  DWORD rowBytes_;   // caller's row pitch
  DWORD codeBytes_;  // bytes of a row that hold pixels
  LONG coded_ = 0;
  bool broken_ = false;
  DWORD error_ = 0;
  std::vector<BYTE> inverted_;
};

}  // namespace qtxtoenc
