// A machine of its own with the encoder loaded and bound by ordinal, and
// helpers that code a whole page the way the monitors do: Init, Out in
// portions of rows, Free.
#pragma once

#include <gtest/gtest.h>

#include "tests/platform/outside/encoder_binding.h"
#include "tests/platform/outside/test_files.h"
#include "tests/platform/outside/test_pages.h"
#include "tests/support/machine_fixture.h"

namespace k460::testing {

struct Callbacks {
  ENCODE_WRITE_PROC write;
  ENCODE_READ_PROC read;
  ENCODE_SEEK_PROC seek;
  HANDLE file;
};

inline Callbacks MemoryCallbacks(MemoryFile& file) {
  return {MemoryFile::Write, MemoryFile::Read, MemoryFile::Seek, file.handle()};
}
inline Callbacks PlatformCallbacks(HANDLE file) { return {PlatformWrite, PlatformRead, PlatformSeek, file}; }

class EncoderTest : public MachineTest {
 protected:
  void SetUp() override {
    MachineTest::SetUp();
    std::string failure;
    ASSERT_TRUE(enc.Load(&failure)) << failure;
  }
  void TearDown() override {
    enc.Unload();
    MachineTest::TearDown();
  }

  // Whole page as MMR or as a TIFF page; FALSE at the first failing call.
  BOOL EncodeMmr(const Raster& page, const Callbacks& to, DWORD portion, LONG resolution = 600) {
    FAXENCODESTATE state{};
    if (!enc.FaxEncodeInit(&state, page.width, page.height, ENCODE_ROW_FORMAT, ENCODE_CODING_MMR, resolution,
                           to.write, to.read, to.seek, to.file))
      return FALSE;
    for (LONG y = 0; y < page.height; y += static_cast<LONG>(portion)) {
      DWORD rows = std::min<DWORD>(portion, static_cast<DWORD>(page.height - y));
      if (!enc.FaxEncodeOut(&state, page.Row(y), rows)) {
        enc.FaxEncodeFree(&state);
        return FALSE;
      }
    }
    return enc.FaxEncodeFree(&state);
  }
  BOOL EncodeTiffPage(const Raster& page, const Callbacks& to, DWORD portion, LONG resolution = 600) {
    TIFFENCODESTATE state{};
    if (!enc.TiffEncodeInit(&state, page.width, page.height, ENCODE_ROW_FORMAT, ENCODE_CODING_MMR, resolution,
                            to.write, to.read, to.seek, to.file))
      return FALSE;
    for (LONG y = 0; y < page.height; y += static_cast<LONG>(portion)) {
      DWORD rows = std::min<DWORD>(portion, static_cast<DWORD>(page.height - y));
      if (!enc.TiffEncodeOut(&state, page.Row(y), rows)) {
        enc.TiffEncodeFree(&state);
        return FALSE;
      }
    }
    return enc.TiffEncodeFree(&state);
  }

  EncoderBinding enc;
};

}  // namespace k460::testing
