#include "monitors/common/page_records.h"

#include <gtest/gtest.h>

#include <array>
#include <numeric>
#include <vector>

#include "monitors/common/page_codes.h"

namespace k460::pagestream {
namespace {

// A buffer whose byte i holds i mod 256: a field loaded from it shows at once
// whether its offset, width and byte order are right.
template <std::size_t N>
std::array<std::uint8_t, N> Ramp() {
  std::array<std::uint8_t, N> bytes{};
  std::iota(bytes.begin(), bytes.end(), std::uint8_t{0});
  return bytes;
}

TEST(PageRecordsTest, PageInfoFieldsSitAtTheirOffsetsLittleEndian) {
  const auto bytes = Ramp<kPageInfoSize>();
  const PageInfo info = LoadPageInfo(bytes);
  EXPECT_EQ(info.DevId, 0x03020100);
  EXPECT_EQ(info.iBmpHdr.bmType, 0x0B0A0908);
  EXPECT_EQ(info.iBmpHdr.bmWidthBytes, 0x17161514);
  EXPECT_EQ(info.iBmpHdr.bmPlanes, 0x1918);
  EXPECT_EQ(info.iBmpHdr.bmBits, 0x1F1E1D1Cu);
  EXPECT_EQ(info.BmpRotate, 0x2120);
  EXPECT_EQ(info.dmLogPixels, 0x2322);
  EXPECT_EQ(info.DriverName[0], 0x2524);
  EXPECT_EQ(info.DriverName[45], 0x7F7E);

  std::array<std::uint8_t, kPageInfoSize> stored{};
  StorePageInfo(info, stored);
  EXPECT_EQ(stored, bytes);
}

TEST(PageRecordsTest, PageHeaderFieldsSitAtTheirOffsetsLittleEndian) {
  const auto bytes = Ramp<kPageHeaderSize>();
  const PageHeader header = LoadPageHeader(bytes);
  EXPECT_EQ(header.Length, 0x03020100u);
  EXPECT_EQ(header.Paper, 0x0F0E);
  EXPECT_EQ(header.OutputOder, 0x1F1E);
  EXPECT_EQ(header.ZoomNumber, 0x3332);
  EXPECT_EQ(header.Angle, 0x3938);
  EXPECT_EQ(header.SecurityPrint, 0x4342);
  EXPECT_EQ(header.FaxUserName[0], 0x50);
  EXPECT_EQ(header.FaxPassword[0], 0x78);
  EXPECT_EQ(header.FaxAuto, static_cast<std::int16_t>(0x9998));
  EXPECT_EQ(header.FaxTxDocList, static_cast<std::int16_t>(0x9D9C));
  EXPECT_EQ(header.Reserved158[97], 0xFF);

  std::array<std::uint8_t, kPageHeaderSize> stored{};
  StorePageHeader(header, stored);
  EXPECT_EQ(stored, bytes);
}

TEST(PageRecordsTest, ShortHeaderCarriesNoFaxFields) {
  const auto bytes = Ramp<kPageHeaderSize>();
  const PageHeader full = LoadPageHeader(bytes);

  const PageHeader shortHeader = LoadPageHeader(std::span(bytes).first(kShortPageHeaderSize));
  EXPECT_EQ(shortHeader.SecurityPrint, full.SecurityPrint);
  EXPECT_EQ(shortHeader.Reserved68[11], 0x4F);
  EXPECT_EQ(shortHeader.FaxUserName[0], 0);
  EXPECT_EQ(shortHeader.FaxAuto, 0);

  std::vector<std::uint8_t> stored(kShortPageHeaderSize + 4, 0xEE);
  StorePageHeader(full, std::span(stored).first(kShortPageHeaderSize));
  EXPECT_TRUE(std::equal(stored.begin(), stored.begin() + kShortPageHeaderSize, bytes.begin()));
  EXPECT_EQ(stored[kShortPageHeaderSize], 0xEE) << "wrote past the short header";
}

TEST(PageRecordsTest, BitmapHeaderBlockBytesAreTheDriversBlock) {
  // 64 x 2 pixels, 8 bytes per row: 16 raster bytes, file size 78.
  const std::array<std::uint8_t, kBitmapHeaderBlockSize> expected = {
      'B', 'M', 78, 0, 0, 0, 0, 0, 0, 0, 62, 0, 0, 0,     // file header
      40, 0, 0, 0, 64, 0, 0, 0, 2, 0, 0, 0, 1, 0, 1, 0,   // size, width, height, planes, bits
      0, 0, 0, 0, 16, 0, 0, 0,                            // no compression, image size
      0xC2, 0x1E, 0, 0, 0xC2, 0x1E, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // 7874 per metre, no colour counts
      0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0};                   // black, white
  std::array<std::uint8_t, kBitmapHeaderBlockSize> stored{};
  StoreBitmapHeaderBlock(MakeBitmapHeaderBlock(64, 2, 16), stored);
  EXPECT_EQ(stored, expected);

  const BitmapHeaderBlock loaded = LoadBitmapHeaderBlock(expected);
  PageHeader header{};
  header.Length = 78;
  header.Width = 64;
  header.Height = 2;
  EXPECT_TRUE(BitmapHeaderBlockMatches(loaded, header));
  header.Length = 77;
  EXPECT_FALSE(BitmapHeaderBlockMatches(loaded, header));
  header.Length = 10;  // shorter than the block itself: no wrap-around of the image size
  EXPECT_FALSE(BitmapHeaderBlockMatches(loaded, header));
}

TEST(PageRecordsTest, DetectsTheRecordFormFromTheStart) {
  std::vector<std::uint8_t> full(kFullRecordHeaderSize + 8, 0);
  full[kPageInfoSize] = 78;  // Length
  full[384] = 'B';
  full[385] = 'M';
  full[386] = 78;
  std::vector<std::uint8_t> shortForm(RecordHeaderSize(RecordForm::kShort) + 8, 0);
  shortForm[kPageInfoSize] = 78;
  shortForm[208] = 'B';
  shortForm[209] = 'M';
  shortForm[210] = 78;
  std::vector<std::uint8_t> lengthDiffers = full;
  lengthDiffers[386] = 79;

  EXPECT_EQ(DetectRecordForm(full), RecordForm::kFull);
  EXPECT_EQ(DetectRecordForm(shortForm), RecordForm::kShort);
  EXPECT_EQ(DetectRecordForm(lengthDiffers), std::nullopt);
  EXPECT_EQ(DetectRecordForm(std::span(full).first(100)), std::nullopt);
  EXPECT_EQ(DetectRecordForm({}), std::nullopt);
}

TEST(PageRecordsTest, PageKindsByDevId) {
  const std::vector<std::pair<std::int32_t, PageKind>> cases = {
      {1, PageKind::kFax},      {3, PageKind::kTiff},     {4, PageKind::kFax2},    {11, PageKind::kPrinter},
      {205, PageKind::kPrinter}, {0, PageKind::kUnknown}, {2, PageKind::kUnknown}, {5, PageKind::kUnknown},
      {10, PageKind::kUnknown}, {-1, PageKind::kUnknown}, {INT32_MIN, PageKind::kUnknown}};
  for (const auto& [devId, kind] : cases) EXPECT_EQ(KindOfDevId(devId), kind) << devId;
}

TEST(PageCodesTest, KeywordsAreTheProtocolsByteForByte) {
  struct Case {
    CodedField field;
    std::size_t count;
    int code;
    std::string_view keyword;
  };
  const std::vector<Case> cases = {
      {CodedField::Coding, 4, 3, "MR"},           {CodedField::Orient, 2, 1, "LANDSCAPE"},
      {CodedField::Paper, 24, 18, "GOVERMENTLEGAL"}, {CodedField::Paper, 24, 23, "KAKU2"},
      {CodedField::Casset, 8, 7, "LCC"},          {CodedField::Outbin, 2, 1, "UPPER"},
      {CodedField::PaperType, 4, 3, "LETTERHEAD"}, {CodedField::TonerSaving, 2, 1, "ON"},
      {CodedField::OutputOder, 2, 1, "REVERSE"},  {CodedField::Stack, 3, 2, "ROTATE"},
      {CodedField::Duplex, 2, 0, "OFF"},          {CodedField::DuplexBinding, 2, 1, "SHORTEDGE"},
      {CodedField::MultPagePrint, 9, 8, "BOOKLET"}, {CodedField::MultPageBorder, 2, 1, "SOLID"},
      {CodedField::MultPageOrder, 4, 2, "REVHORIZONTAL"}, {CodedField::MultPageView, 3, 2, "SHORTEDGE"},
      {CodedField::Punch, 5, 4, "RIGHT"},         {CodedField::PunchHoles, 2, 1, "HOLES3"},
      {CodedField::Staple, 5, 1, "UPPER"},        {CodedField::StaplePoint, 3, 2, "UPPERRIGHT"},
      {CodedField::SecurityPrint, 2, 1, "ON"},    {CodedField::FaxItem, 5, 4, "tmp"},
  };
  for (const auto& c : cases) {
    const CodeTable& table = CodeTableOf(c.field);
    EXPECT_EQ(table.keywords.size(), c.count) << table.name;
    EXPECT_EQ(CodeKeyword(c.field, c.code), c.keyword) << table.name;
    EXPECT_EQ(CodeKeyword(c.field, static_cast<int>(c.count)), std::nullopt) << table.name;
    EXPECT_EQ(CodeKeyword(c.field, -1), std::nullopt) << table.name;
  }
  EXPECT_EQ(CodeTables().size(), 21u);
  EXPECT_EQ(CodeKeyword(CodedField::MultPagePrint, kMultPageBooklet), std::nullopt);
  EXPECT_EQ(CodeKeyword(CodedField::Paper, kPaperCustom), "CUSTOM");
}

}  // namespace
}  // namespace k460::pagestream
