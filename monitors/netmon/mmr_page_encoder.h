// The encoding stage of a printer job: each page becomes MMR data in an
// "Mmr" file of its own, through the encoder library. While the job is
// traced, every page is also added to a "Prt" TIFF file that stays behind.
#pragma once

#include <optional>

#include "monitors/common/encoder_library.h"
#include "monitors/netmon/job_files.h"
#include "monitors/netmon/page_pipeline.h"

namespace netmon {

class MmrPageEncoder final : public PageEncoder {
 public:
  MmrPageEncoder(const k460::encoder::EncoderLibrary& library, bool tracing);
  ~MmrPageEncoder() override;

  bool BeginPage(const PageGeometry& page) override;
  bool EncodeRows(const std::uint8_t* rows, std::uint32_t count) override;
  bool EndPage(std::u16string* file) override;
  void DropPage() override;

 private:
  bool BeginTracePage(const PageGeometry& page);

  const k460::encoder::EncoderLibrary& library_;
  const bool tracing_;
  TempFile mmr_;
  FAXENCODESTATE mmrState_{};
  bool pageOpen_ = false;
  TempFile trace_;  // "Prt": the job's pages as one TIFF file
  TIFFENCODESTATE traceState_{};
  bool tracePageOpen_ = false;
};

}  // namespace netmon
