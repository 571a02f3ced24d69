// The engine's surface, palette, glyph set and system services, with the
// errors they give for bad handles and arguments.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/base/host.h"
#include "platform/engine/engine.h"
#include "tests/support/machine_fixture.h"

namespace k460::testing {
namespace {

using EngineServicesTest = MachineTest;

TEST_F(EngineServicesTest, BitmapsDescribeTheirRows) {
  BYTE userBits[16 * 4] = {};
  struct Case {
    const char* what;
    SIZEL size;
    LONG width;
    ULONG format;
    FLONG flags;
    void* bits;
    LONG delta;       // expected lDelta
    LONG scanRow;     // pvScan0 is this row of the memory
  } cases[] = {
      {"1-bit top-down, rows padded to 32 bits", {33, 5}, 0, BMF_1BPP, BMF_TOPDOWN, nullptr, 8, 0},
      {"24-bit bottom-up", {3, 4}, 0, BMF_24BPP, 0, nullptr, -12, 3},
      {"caller's memory and pitch", {10, 4}, 16, BMF_8BPP, BMF_TOPDOWN, userBits, 16, 0},
      {"caller's memory bottom-up", {10, 4}, 16, BMF_8BPP, 0, userBits, -16, 3},
  };
  for (const Case& c : cases) {
    HBITMAP bitmap = EngCreateBitmap(c.size, c.width, c.format, c.flags, c.bits);
    ASSERT_NE(bitmap, nullptr) << c.what;
    SURFOBJ* so = EngLockSurface(SurfaceOf(bitmap));
    ASSERT_NE(so, nullptr) << c.what;
    EXPECT_EQ(so->iType, STYPE_BITMAP) << c.what;
    EXPECT_EQ(so->iBitmapFormat, c.format) << c.what;
    EXPECT_EQ(so->lDelta, c.delta) << c.what;
    EXPECT_EQ(so->cjBits, static_cast<ULONG>(std::abs(c.delta) * c.size.cy)) << c.what;
    EXPECT_EQ(static_cast<BYTE*>(so->pvScan0), static_cast<BYTE*>(so->pvBits) + c.scanRow * std::abs(c.delta))
        << c.what;
    if (c.bits) {
      EXPECT_EQ(so->pvBits, c.bits) << c.what;
    }
    EXPECT_EQ(so->hsurf, SurfaceOf(bitmap)) << c.what;
    EngUnlockSurface(so);
    EXPECT_TRUE(EngDeleteSurface(SurfaceOf(bitmap))) << c.what;
  }
}

TEST_F(EngineServicesTest, BadSurfaceArgumentsAreRefused) {
  struct Case {
    const char* what;
    SIZEL size;
    LONG width;
    ULONG format;
  } cases[] = {
      {"empty", {0, 10}, 0, BMF_1BPP},
      {"negative height", {10, -1}, 0, BMF_1BPP},
      {"unknown format", {10, 10}, 0, 99},
      {"run-length format", {10, 10}, 0, BMF_8RLE},
      {"pitch shorter than a row", {100, 10}, 12, BMF_1BPP},
      {"negative pitch", {10, 10}, -4, BMF_8BPP},
      {"absurd size", {1 << 20, 1 << 20}, 0, BMF_32BPP},
  };
  for (const Case& c : cases) {
    SetLastError(0);
    EXPECT_EQ(EngCreateBitmap(c.size, c.width, c.format, 0, nullptr), nullptr) << c.what;
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER) << c.what;
  }
  SetLastError(0);
  EXPECT_EQ(EngCreateDeviceSurface(nullptr, SIZEL{10, 10}, 0), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

TEST_F(EngineServicesTest, StaleAndInventedHandlesAreRefused) {
  HSURF surface = EngCreateDeviceSurface(nullptr, SIZEL{10, 10}, BMF_24BPP);
  ASSERT_NE(surface, nullptr);
  SURFOBJ* locked = EngLockSurface(surface);
  ASSERT_NE(locked, nullptr);
  EXPECT_TRUE(EngDeleteSurface(surface));
  // The locked object stays readable until it is unlocked.
  EXPECT_EQ(locked->iType, STYPE_DEVICE);
  EngUnlockSurface(locked);

  auto invalidHandle = [](bool failed) { return failed && GetLastError() == ERROR_INVALID_HANDLE; };
  HSURF invented = reinterpret_cast<HSURF>(0x1234);
  for (HSURF h : {surface, invented, HSURF{}}) {
    EXPECT_TRUE(invalidHandle(!EngDeleteSurface(h)));
    EXPECT_TRUE(invalidHandle(EngLockSurface(h) == nullptr));
    EXPECT_TRUE(invalidHandle(!EngMarkBandingSurface(h)));
    EXPECT_TRUE(invalidHandle(!EngAssociateSurface(h, nullptr, 0)));
  }
  HSURF fresh = EngCreateDeviceSurface(nullptr, SIZEL{10, 10}, BMF_24BPP);
  EXPECT_TRUE(invalidHandle(!EngAssociateSurface(fresh, reinterpret_cast<HDEV>(0x99), HOOK_BITBLT)));
  EngDeleteSurface(fresh);

  SURFOBJ stranger{};
  SetLastError(0);
  EngUnlockSurface(&stranger);  // never locked: nothing happens
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  EXPECT_FALSE(EngCheckAbort(&stranger));
  EXPECT_FALSE(EngCheckAbort(nullptr));
}

TEST_F(EngineServicesTest, PalettesOfEachKind) {
  ULONG colours[3] = {0x000000, 0x808080, 0xFFFFFF};
  HPALETTE indexed = EngCreatePalette(PAL_INDEXED, 3, colours, 0, 0, 0);
  HPALETTE rgb = EngCreatePalette(PAL_RGB, 0, nullptr, 0, 0, 0);
  HPALETTE fields = EngCreatePalette(PAL_BITFIELDS, 0, nullptr, 0xF800, 0x07E0, 0x001F);
  EXPECT_TRUE(indexed && rgb && fields);
  struct Bad {
    ULONG mode;
    ULONG count;
    ULONG* colours;
    FLONG red;
  } bad[] = {{PAL_INDEXED, 0, colours, 0}, {PAL_INDEXED, 3, nullptr, 0}, {PAL_BITFIELDS, 0, nullptr, 0}, {0x40, 0, nullptr, 0}};
  for (const Bad& b : bad) {
    SetLastError(0);
    EXPECT_EQ(EngCreatePalette(b.mode, b.count, b.colours, b.red, 0x07E0, 0x001F), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  }
  for (HPALETTE p : {indexed, rgb, fields}) EXPECT_TRUE(EngDeletePalette(p));
  SetLastError(0);
  EXPECT_FALSE(EngDeletePalette(indexed));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
}

TEST_F(EngineServicesTest, CodePagesAreTheMachines) {
  MachineProfile profile = GetMachineProfile();
  profile.ansiCodePage = 1252;
  profile.oemCodePage = 437;
  SetMachineProfile(profile);
  USHORT oem = 0, ansi = 0;
  EngGetCurrentCodePage(&oem, &ansi);
  EXPECT_EQ(ansi, 1252);
  EXPECT_EQ(oem, 437);
  EngGetCurrentCodePage(nullptr, nullptr);
}

// Every glyph handle of the set maps back to its code: the run's characters
// converted to the code page give the handles.
void ExpectConsistent(const FD_GLYPHSET* set, UINT codePage) {
  ULONG total = 0;
  const WCRUN* runs = set->awcrun;
  for (ULONG r = 0; r < set->cRuns; ++r) {
    for (USHORT i = 0; i < runs[r].cGlyphs; ++i) {
      WCHAR wc = static_cast<WCHAR>(runs[r].wcLow + i);
      char bytes[4] = {};
      int n = WideCharToMultiByte(codePage, 0, &wc, 1, bytes, 4, nullptr, nullptr);
      if (wc != 0) {  // code 0 is the terminator
        ASSERT_EQ(n, 1) << "U+" << std::hex << int(wc);
        EXPECT_EQ(static_cast<BYTE>(bytes[0]), runs[r].phg[i]) << "U+" << std::hex << int(wc);
      }
      ++total;
    }
    if (r > 0) {
      EXPECT_GT(runs[r].wcLow, runs[r - 1].wcLow + runs[r - 1].cGlyphs);
    }
  }
  EXPECT_EQ(total, set->cGlyphsSupported);
}

TEST_F(EngineServicesTest, GlyphSetOfACodePage) {
  FD_GLYPHSET* western = EngComputeGlyphSet(1252, 0, 256);
  ASSERT_NE(western, nullptr);
  EXPECT_EQ(western->flAccel, GS_8BIT_HANDLES);
  EXPECT_GT(western->cGlyphsSupported, 240u);
  EXPECT_EQ(western->awcrun[0].wcLow, 0);
  ExpectConsistent(western, 1252);
  EngFreeMem(western);

  // Code page 0 is the machine's ANSI code page (932 here): lead bytes stand
  // for no character, half-width katakana do.
  FD_GLYPHSET* japanese = EngComputeGlyphSet(0, 0, 256);
  ASSERT_NE(japanese, nullptr);
  EXPECT_LT(japanese->cGlyphsSupported, 200u);
  ExpectConsistent(japanese, 932);
  bool katakana = false;
  for (ULONG r = 0; r < japanese->cRuns; ++r) {
    const WCRUN& run = japanese->awcrun[r];
    if (run.wcLow <= 0xFF71 && 0xFF71 < run.wcLow + run.cGlyphs) katakana = run.phg[0xFF71 - run.wcLow] == 0xB1;
  }
  EXPECT_TRUE(katakana);
  EngFreeMem(japanese);

  for (auto [first, count] : {std::pair{0, 0}, std::pair{-1, 10}, std::pair{200, 100}}) {
    SetLastError(0);
    EXPECT_EQ(EngComputeGlyphSet(1252, first, count), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  }
}

TEST_F(EngineServicesTest, MemoryComesZeroedOnRequest) {
  auto* p = static_cast<BYTE*>(EngAllocMem(FL_ZERO_MEMORY, 64, 0x74736574));
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(std::count(p, p + 64, 0), 64);
  EngFreeMem(p);
  EngFreeMem(nullptr);
  SetLastError(0);
  EXPECT_EQ(EngAllocMem(0, 0, 0), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

}  // namespace
}  // namespace k460::testing
