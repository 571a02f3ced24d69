// What the encoder answers when it is misused or its callbacks fail: FALSE
// with the reason in the last error, never a crash, and TIFF pages already
// in a file stay readable.
#include <fstream>

#include "tests/platform/outside/encoder_fixture.h"
#include "tests/platform/outside/independent_decoders.h"

namespace k460::testing {
namespace {

using EncoderFailureTest = EncoderTest;

struct InitArguments {
  LONG width = 100, height = 10, format = ENCODE_ROW_FORMAT, coding = ENCODE_CODING_MMR, resolution = 600;
  bool nullState = false, nullWrite = false, nullRead = false, nullSeek = false;
  HANDLE file = nullptr;  // nullptr: the memory file
};

struct BadInit {
  const char* name;
  InitArguments args;
  DWORD error;
};

InitArguments With(void (*change)(InitArguments&)) {
  InitArguments a;
  change(a);
  return a;
}

const BadInit kBadInits[] = {
    {"null state", With([](InitArguments& a) { a.nullState = true; }), ERROR_INVALID_PARAMETER},
    {"zero width", With([](InitArguments& a) { a.width = 0; }), ERROR_INVALID_PARAMETER},
    {"negative width", With([](InitArguments& a) { a.width = -8; }), ERROR_INVALID_PARAMETER},
    {"absurd width", With([](InitArguments& a) { a.width = 32768; }), ERROR_INVALID_PARAMETER},
    {"zero height", With([](InitArguments& a) { a.height = 0; }), ERROR_INVALID_PARAMETER},
    {"absurd height", With([](InitArguments& a) { a.height = 0x7FFFFFFF; }), ERROR_INVALID_PARAMETER},
    {"row format", With([](InitArguments& a) { a.format = 254; }), ERROR_INVALID_PARAMETER},
    {"coding 4", With([](InitArguments& a) { a.coding = 4; }), ERROR_INVALID_PARAMETER},
    {"coding -1", With([](InitArguments& a) { a.coding = -1; }), ERROR_INVALID_PARAMETER},
    {"resolution 0", With([](InitArguments& a) { a.resolution = 0; }), ERROR_INVALID_PARAMETER},
    {"resolution absurd", With([](InitArguments& a) { a.resolution = 100000; }), ERROR_INVALID_PARAMETER},
    {"null write", With([](InitArguments& a) { a.nullWrite = true; }), ERROR_INVALID_PARAMETER},
    {"null read", With([](InitArguments& a) { a.nullRead = true; }), ERROR_INVALID_PARAMETER},
    {"null seek", With([](InitArguments& a) { a.nullSeek = true; }), ERROR_INVALID_PARAMETER},
    {"invalid handle", With([](InitArguments& a) { a.file = INVALID_HANDLE_VALUE; }), ERROR_INVALID_HANDLE},
};

TEST_F(EncoderFailureTest, BadInitArgumentsAreRefusedAndNothingIsWritten) {
  for (const BadInit& bad : kBadInits) {
    SCOPED_TRACE(bad.name);
    const InitArguments& a = bad.args;
    MemoryFile file;
    HANDLE handle = a.file ? a.file : file.handle();
    ENCODE_WRITE_PROC write = a.nullWrite ? nullptr : MemoryFile::Write;
    ENCODE_READ_PROC read = a.nullRead ? nullptr : MemoryFile::Read;
    ENCODE_SEEK_PROC seek = a.nullSeek ? nullptr : MemoryFile::Seek;
    TIFFENCODESTATE tiff{};
    FAXENCODESTATE fax{};
    SetLastError(0);
    EXPECT_FALSE(enc.TiffEncodeInit(a.nullState ? nullptr : &tiff, a.width, a.height, a.format, a.coding,
                                    a.resolution, write, read, seek, handle));
    EXPECT_EQ(GetLastError(), bad.error);
    SetLastError(0);
    EXPECT_FALSE(enc.FaxEncodeInit(a.nullState ? nullptr : &fax, a.width, a.height, a.format, a.coding,
                                   a.resolution, write, read, seek, handle));
    EXPECT_EQ(GetLastError(), bad.error);
    EXPECT_TRUE(file.bytes.empty());
  }
  // Every coding code of the page header is taken; the data is MMR whichever.
  for (LONG coding : {0, 1, 2, 3}) {
    FAXENCODESTATE fax{};
    MemoryFile file;
    const BYTE row[2] = {0x0F, 0xFF};
    EXPECT_TRUE(enc.FaxEncodeInit(&fax, 8, 1, ENCODE_ROW_FORMAT, coding, 200, MemoryFile::Write, MemoryFile::Read,
                                  MemoryFile::Seek, file.handle()));
    EXPECT_TRUE(enc.FaxEncodeOut(&fax, row, 1));
    EXPECT_TRUE(enc.FaxEncodeFree(&fax));
    EXPECT_TRUE(EndsWithEofb(file.bytes));
  }
}

TEST_F(EncoderFailureTest, BlocksThatHoldNoPageAreRefused) {
  const BYTE row[2] = {0xFF, 0xFF};
  TIFFENCODESTATE never{};
  EXPECT_FALSE(enc.TiffEncodeOut(&never, row, 1));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  EXPECT_FALSE(enc.TiffEncodeFree(&never));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  EXPECT_FALSE(enc.TiffEncodeOut(nullptr, row, 1));
  EXPECT_FALSE(enc.FaxEncodeFree(nullptr));

  MemoryFile file;
  FAXENCODESTATE state{};
  ASSERT_TRUE(enc.FaxEncodeInit(&state, 16, 1, ENCODE_ROW_FORMAT, ENCODE_CODING_MMR, 200, MemoryFile::Write,
                                MemoryFile::Read, MemoryFile::Seek, file.handle()));
  FAXENCODESTATE copy = state;  // a stale copy, once the page is freed
  EXPECT_FALSE(enc.FaxEncodeOut(&state, nullptr, 1));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  EXPECT_TRUE(enc.FaxEncodeOut(&state, row, 1));
  EXPECT_TRUE(enc.FaxEncodeFree(&state));
  EXPECT_FALSE(enc.FaxEncodeFree(&state));  // twice
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  EXPECT_FALSE(enc.FaxEncodeOut(&copy, row, 1));
  EXPECT_FALSE(enc.FaxEncodeFree(&copy));

  // Init on a block that still holds a page drops that page and starts anew.
  ASSERT_TRUE(enc.FaxEncodeInit(&state, 16, 4, ENCODE_ROW_FORMAT, ENCODE_CODING_MMR, 200, MemoryFile::Write,
                                MemoryFile::Read, MemoryFile::Seek, file.handle()));
  ASSERT_TRUE(enc.FaxEncodeInit(&state, 16, 1, ENCODE_ROW_FORMAT, ENCODE_CODING_MMR, 200, MemoryFile::Write,
                                MemoryFile::Read, MemoryFile::Seek, file.handle()));
  EXPECT_TRUE(enc.FaxEncodeOut(&state, row, 1));
  EXPECT_TRUE(enc.FaxEncodeFree(&state));
}

TEST_F(EncoderFailureTest, RowsBeyondThePageAreRefusedAndMissingRowsComeOutWhite) {
  Raster page = MakePage(PageKind::Text, 300, 40, 9);
  MemoryFile file;
  FAXENCODESTATE state{};
  ASSERT_TRUE(enc.FaxEncodeInit(&state, page.width, page.height, ENCODE_ROW_FORMAT, ENCODE_CODING_MMR, 300,
                                MemoryFile::Write, MemoryFile::Read, MemoryFile::Seek, file.handle()));
  ASSERT_TRUE(enc.FaxEncodeOut(&state, page.Row(0), 30));
  EXPECT_FALSE(enc.FaxEncodeOut(&state, page.Row(30), 11));  // one row too many: nothing is coded
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  ASSERT_TRUE(enc.FaxEncodeOut(&state, page.Row(30), 5));
  EXPECT_FALSE(enc.FaxEncodeFree(&state));  // five rows short
  EXPECT_EQ(GetLastError(), ERROR_INVALID_DATA);

  Raster expected = page;
  for (LONG y = 35; y < page.height; ++y)
    for (LONG x = 0; x < page.width; ++x) expected.Set(x, y, false);
  Raster decoded;
  ASSERT_EQ(DecodeMmr(file.bytes, page.width, page.height, root(), &decoded), "");
  EXPECT_EQ(CompareRasters(expected, decoded), "");
}

// A disk that fills up at every stage of a page: before anything, inside the
// header, in the middle of the rows and at the very end.
TEST_F(EncoderFailureTest, AFullDiskIsReportedAtWhicheverCallMeetsIt) {
  Raster page = MakePage(PageKind::Halftone, 1728, 400, 4);
  MemoryFile unlimited;
  ASSERT_TRUE(EncodeMmr(page, MemoryCallbacks(unlimited), 50));
  const std::size_t whole = unlimited.bytes.size();
  for (bool tiff : {false, true}) {
    for (std::size_t budget : {std::size_t{0}, std::size_t{5}, whole / 2, whole - 1}) {
      SCOPED_TRACE(std::string(tiff ? "tiff" : "mmr") + " budget " + std::to_string(budget));
      MemoryFile file;
      file.writeBudget = budget;
      SetLastError(0);
      BOOL ok = tiff ? EncodeTiffPage(page, MemoryCallbacks(file), 50) : EncodeMmr(page, MemoryCallbacks(file), 50);
      EXPECT_FALSE(ok);
      EXPECT_EQ(GetLastError(), ERROR_DISK_FULL);
    }
  }
  // A callback that fails without saying why.
  MemoryFile silent;
  silent.writeBudget = 100;
  silent.writeError = 0;
  EXPECT_FALSE(EncodeMmr(page, MemoryCallbacks(silent), 50));
  EXPECT_EQ(GetLastError(), ERROR_WRITE_FAULT);
}

TEST_F(EncoderFailureTest, AFailedTiffPageLeavesTheEarlierPagesReadable) {
  Raster first = MakePage(PageKind::Text, 1728, 300, 1), second = MakePage(PageKind::Noise, 1728, 300, 2);
  MemoryFile file;
  ASSERT_TRUE(EncodeTiffPage(first, MemoryCallbacks(file), 100, 200));
  file.writeBudget = 2000;  // the disk fills up within the second page
  EXPECT_FALSE(EncodeTiffPage(second, MemoryCallbacks(file), 100, 200));
  EXPECT_EQ(GetLastError(), ERROR_DISK_FULL);

  auto path = root() / "fax.tif";
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(file.bytes.data()),
                                              static_cast<std::streamsize>(file.bytes.size()));
  std::vector<TiffPage> pages;
  ASSERT_EQ(ReadTiffPages(path, &pages), "");
  ASSERT_EQ(pages.size(), 1u);
  EXPECT_EQ(CompareRasters(first, pages[0].pixels), "");
}

TEST_F(EncoderFailureTest, ReadAndSeekFailuresAreReported) {
  MemoryFile tiff;
  ASSERT_TRUE(EncodeTiffPage(MakePage(PageKind::Blank, 64, 8), MemoryCallbacks(tiff), 8));
  const std::vector<BYTE> before = tiff.bytes;
  tiff.failSeeks = true;
  TIFFENCODESTATE state{};
  EXPECT_FALSE(enc.TiffEncodeInit(&state, 64, 8, ENCODE_ROW_FORMAT, ENCODE_CODING_MMR, 200, MemoryFile::Write,
                                  MemoryFile::Read, MemoryFile::Seek, tiff.handle()));
  EXPECT_EQ(GetLastError(), ERROR_GEN_FAILURE);
  tiff.failSeeks = false;
  tiff.failReads = true;  // the next page must read the file to append to it
  EXPECT_FALSE(enc.TiffEncodeInit(&state, 64, 8, ENCODE_ROW_FORMAT, ENCODE_CODING_MMR, 200, MemoryFile::Write,
                                  MemoryFile::Read, MemoryFile::Seek, tiff.handle()));
  EXPECT_EQ(GetLastError(), ERROR_READ_FAULT);
  EXPECT_EQ(tiff.bytes, before);  // not even the header was touched

  Raster page = MakePage(PageKind::Noise, 40, 30);
  MemoryFile source;
  source.bytes = page.bits;
  ROTATESTATE turn{};
  ASSERT_TRUE(enc.RotateInit(&turn, 40, 30, MemoryFile::Read, MemoryFile::Seek, source.handle()));
  std::vector<BYTE> rows(40 * ENCODE_ROW_BYTES(30));
  source.failReads = true;
  EXPECT_FALSE(enc.RotateOut(&turn, rows.data(), 8));
  EXPECT_EQ(GetLastError(), ERROR_READ_FAULT);
  source.failReads = false;  // the failed call delivered nothing; the rows follow on
  EXPECT_TRUE(enc.RotateOut(&turn, rows.data(), 40));
  EXPECT_EQ(CompareRasters(ReferenceTurn(page, true), [&] {
              Raster r(30, 40);
              r.bits = rows;
              return r;
            }()),
            "");
}

TEST_F(EncoderFailureTest, TurningRefusesBadArgumentsShortFilesAndRowsBeyondThePage) {
  MemoryFile source;
  source.bytes.resize(ENCODE_ROW_BYTES(40) * 30);
  ROTATESTATE turn{};
  auto init = [&](ROTATESTATE* state, LONG h, LONG w, ENCODE_READ_PROC read, ENCODE_SEEK_PROC seek, HANDLE file) {
    SetLastError(0);
    BOOL ok = enc.RotateInit(state, h, w, read, seek, file);
    return ok ? ERROR_SUCCESS : GetLastError();
  };
  EXPECT_EQ(init(nullptr, 40, 30, MemoryFile::Read, MemoryFile::Seek, source.handle()), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(init(&turn, 0, 30, MemoryFile::Read, MemoryFile::Seek, source.handle()), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(init(&turn, 40, -1, MemoryFile::Read, MemoryFile::Seek, source.handle()), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(init(&turn, 40, 40000, MemoryFile::Read, MemoryFile::Seek, source.handle()), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(init(&turn, 40, 30, nullptr, MemoryFile::Seek, source.handle()), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(init(&turn, 40, 30, MemoryFile::Read, nullptr, source.handle()), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(init(&turn, 40, 30, MemoryFile::Read, MemoryFile::Seek, nullptr), ERROR_INVALID_HANDLE);
  EXPECT_EQ(init(&turn, 40, 31, MemoryFile::Read, MemoryFile::Seek, source.handle()), ERROR_HANDLE_EOF);
  std::vector<BYTE> rows(40 * ENCODE_ROW_BYTES(30));
  EXPECT_FALSE(enc.LeftRotateOut(&turn, rows.data(), 1));  // the failed Init left no reader
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);

  ASSERT_EQ(init(&turn, 40, 30, MemoryFile::Read, MemoryFile::Seek, source.handle()), ERROR_SUCCESS);
  EXPECT_TRUE(enc.LeftRotateOut(&turn, rows.data(), 39));
  EXPECT_FALSE(enc.LeftRotateOut(&turn, rows.data(), 2));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  EXPECT_FALSE(enc.LeftRotateOut(&turn, nullptr, 1));
  EXPECT_TRUE(enc.LeftRotateOut(&turn, rows.data(), 1));
  EXPECT_FALSE(enc.LeftRotateOut(&turn, rows.data(), 1));
}

}  // namespace
}  // namespace k460::testing
