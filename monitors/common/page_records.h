// The records of the page stream that the host-based and fax drivers write
// and the port monitors read: per page a `PageInfo`, a `PageHeader`, a
// 62-byte bitmap header block and a one-bit raster.
//
// The structures below are the in-memory form. Bytes are only ever produced
// and consumed by the Load/Store functions, field by field and little-endian,
// so the layout on the wire does not depend on the host. The field visitors
// name every field with its byte offset on the wire; the static_asserts pin
// those offsets and check that the fields cover each record without gap or
// overlap.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <type_traits>

namespace k460::pagestream {

inline constexpr std::size_t kPageInfoSize = 128;
inline constexpr std::size_t kPageHeaderSize = 256;
// The language monitor's short header ends after the reserved bytes that
// follow `SecurityPrint`: no fax fields.
inline constexpr std::size_t kShortPageHeaderSize = 80;
inline constexpr std::size_t kBitmapHeaderBlockSize = 62;

// Which header a record carries: the full 256-byte `PageHeader` or its first
// 80 bytes.
enum class RecordForm { kFull, kShort };

constexpr std::size_t PageHeaderSize(RecordForm form) {
  return form == RecordForm::kFull ? kPageHeaderSize : kShortPageHeaderSize;
}
// `PageInfo` + `PageHeader`: the first of the three writes of a record.
constexpr std::size_t HeaderBlockSize(RecordForm form) { return kPageInfoSize + PageHeaderSize(form); }
// Everything in front of the raster: 446 (full) or 270 (short) bytes.
constexpr std::size_t RecordHeaderSize(RecordForm form) { return HeaderBlockSize(form) + kBitmapHeaderBlockSize; }
inline constexpr std::size_t kFullRecordHeaderSize = RecordHeaderSize(RecordForm::kFull);
static_assert(kFullRecordHeaderSize == 0x1BE);
static_assert(RecordHeaderSize(RecordForm::kShort) == 0x10E);

// ---------------------------------------------------------------------------
// PageInfo

// `DevId` values. Printer pages carry any value above kPrinterDevIdAbove (the
// host-based driver writes 205).
inline constexpr std::int32_t PI_DEVID_FAX = 1;
inline constexpr std::int32_t PI_DEVID_TIF = 3;
inline constexpr std::int32_t PI_DEVID_FAX2 = 4;
inline constexpr std::int32_t kPrinterDevIdAbove = 10;

enum class PageKind {
  kUnknown,  // 0, 2, 5 to 10 and negative values: written by no driver
  kFax,      // PI_DEVID_FAX
  kTiff,     // PI_DEVID_TIF
  kFax2,     // PI_DEVID_FAX2: fax with the automatic fax parameters
  kPrinter,  // above kPrinterDevIdAbove
};
PageKind KindOfDevId(std::int32_t devId);
std::string_view PageKindName(PageKind kind);

// The writer's rendering surface, traced only. `bmBits` is 32 bits wide so
// the layout does not depend on the writer's pointer size.
struct BitmapDescription {
  std::int32_t bmType;
  std::int32_t bmWidth;
  std::int32_t bmHeight;
  std::int32_t bmWidthBytes;
  std::uint16_t bmPlanes;
  std::uint16_t bmBitsPixel;
  std::uint32_t bmBits;
};

inline constexpr std::size_t kDriverNameChars = 46;  // 45 characters and the NUL

struct PageInfo {
  std::int32_t DevId;
  std::uint8_t Reserved4[4];
  BitmapDescription iBmpHdr;
  std::int16_t BmpRotate;    // 0: final orientation; 1 to 3: turn by 90 degrees
  std::int16_t dmLogPixels;  // resolution in dots per inch, traced only
  char16_t DriverName[kDriverNameChars];
};

static_assert(std::is_standard_layout_v<PageInfo> && sizeof(PageInfo) == kPageInfoSize);
static_assert(offsetof(PageInfo, DevId) == 0);
static_assert(offsetof(PageInfo, Reserved4) == 4);
static_assert(offsetof(PageInfo, iBmpHdr) == 8 && sizeof(BitmapDescription) == 24);
static_assert(offsetof(BitmapDescription, bmType) == 0 && offsetof(BitmapDescription, bmWidth) == 4 &&
              offsetof(BitmapDescription, bmHeight) == 8 && offsetof(BitmapDescription, bmWidthBytes) == 12 &&
              offsetof(BitmapDescription, bmPlanes) == 16 && offsetof(BitmapDescription, bmBitsPixel) == 18 &&
              offsetof(BitmapDescription, bmBits) == 20);
static_assert(offsetof(PageInfo, BmpRotate) == 32);
static_assert(offsetof(PageInfo, dmLogPixels) == 34);
static_assert(offsetof(PageInfo, DriverName) == 36 && sizeof(PageInfo::DriverName) == 92);

// ---------------------------------------------------------------------------
// PageHeader

inline constexpr std::size_t kFaxUserNameSize = 40;
inline constexpr std::size_t kFaxPasswordSize = 32;

struct PageHeader {
  std::uint32_t Length;  // 62 + raster bytes: from the bitmap header block to the end of the raster
  std::int16_t Resolution;
  std::int16_t Width;
  std::int16_t Height;
  std::int16_t Coding;
  std::int16_t CopyNum;
  std::int16_t Paper;
  std::int16_t Orient;
  std::int16_t Casset;
  std::int16_t Collated;
  std::int16_t Priority;
  std::int16_t Outbin;
  std::int16_t PaperType;
  std::int16_t TonerSaving;
  std::int16_t OutputOder;
  std::int16_t Stack;
  std::int16_t Duplex;
  std::int16_t DuplexBinding;
  std::int16_t MultPagePrint;
  std::int16_t MultPageBorder;
  std::int16_t MultPageOrder;
  std::int16_t MultPageView;
  std::int16_t Zoom;
  std::int16_t ZoomOutputPaper;
  std::int16_t ZoomNumber;
  std::uint8_t Reserved52[4];
  std::int16_t Angle;
  std::int16_t Punch;
  std::int16_t PunchHoles;
  std::int16_t Staple;
  std::int16_t StaplePoint;
  std::int16_t SecurityPrint;
  std::uint8_t Reserved68[12];
  // The short form ends here.
  char FaxUserName[kFaxUserNameSize];
  char FaxPassword[kFaxPasswordSize];
  std::int16_t FaxAuto;
  std::int16_t FaxItem;
  std::int16_t FaxTxDocList;
  std::uint8_t Reserved158[98];
};

static_assert(std::is_standard_layout_v<PageHeader> && sizeof(PageHeader) == kPageHeaderSize);
static_assert(offsetof(PageHeader, Length) == 0 && offsetof(PageHeader, Resolution) == 4 &&
              offsetof(PageHeader, Width) == 6 && offsetof(PageHeader, Height) == 8 &&
              offsetof(PageHeader, Coding) == 10 && offsetof(PageHeader, CopyNum) == 12 &&
              offsetof(PageHeader, Paper) == 14 && offsetof(PageHeader, Orient) == 16 &&
              offsetof(PageHeader, Casset) == 18 && offsetof(PageHeader, Collated) == 20 &&
              offsetof(PageHeader, Priority) == 22 && offsetof(PageHeader, Outbin) == 24 &&
              offsetof(PageHeader, PaperType) == 26 && offsetof(PageHeader, TonerSaving) == 28 &&
              offsetof(PageHeader, OutputOder) == 30 && offsetof(PageHeader, Stack) == 32 &&
              offsetof(PageHeader, Duplex) == 34 && offsetof(PageHeader, DuplexBinding) == 36 &&
              offsetof(PageHeader, MultPagePrint) == 38 && offsetof(PageHeader, MultPageBorder) == 40 &&
              offsetof(PageHeader, MultPageOrder) == 42 && offsetof(PageHeader, MultPageView) == 44 &&
              offsetof(PageHeader, Zoom) == 46 && offsetof(PageHeader, ZoomOutputPaper) == 48 &&
              offsetof(PageHeader, ZoomNumber) == 50 && offsetof(PageHeader, Reserved52) == 52 &&
              offsetof(PageHeader, Angle) == 56 && offsetof(PageHeader, Punch) == 58 &&
              offsetof(PageHeader, PunchHoles) == 60 && offsetof(PageHeader, Staple) == 62 &&
              offsetof(PageHeader, StaplePoint) == 64 && offsetof(PageHeader, SecurityPrint) == 66 &&
              offsetof(PageHeader, Reserved68) == 68);
static_assert(offsetof(PageHeader, FaxUserName) == kShortPageHeaderSize);
static_assert(offsetof(PageHeader, FaxPassword) == 120 && offsetof(PageHeader, FaxAuto) == 152 &&
              offsetof(PageHeader, FaxItem) == 154 && offsetof(PageHeader, FaxTxDocList) == 156 &&
              offsetof(PageHeader, Reserved158) == 158);

// The job-level fields: taken from the first page of a job only. They lie in
// two runs of the header (`PaperType` to `MultPageView`, `Punch` to
// `SecurityPrint`), which the reader copies from page 1 byte for byte.
struct ByteRange {
  std::size_t offset;
  std::size_t size;
};
inline constexpr std::array<ByteRange, 2> kJobLevelRanges = {{
    {offsetof(PageHeader, PaperType), offsetof(PageHeader, Zoom) - offsetof(PageHeader, PaperType)},
    {offsetof(PageHeader, Punch), offsetof(PageHeader, Reserved68) - offsetof(PageHeader, Punch)},
}};

// ---------------------------------------------------------------------------
// Bitmap header block: a bitmap file header, an information header and a
// two-entry colour table. Its 14-byte file header puts `bfSize` at an odd
// offset, so the wire offsets are given by the visitor, not by the structure.

inline constexpr std::uint16_t kBitmapSignature = 0x4D42;  // "BM"
inline constexpr std::uint32_t kBitmapInfoHeaderSize = 40;
inline constexpr std::int32_t kBitmapPelsPerMeter = 7874;  // written whatever the resolution
inline constexpr std::uint32_t kColourBlack = 0x000000;
inline constexpr std::uint32_t kColourWhite = 0xFFFFFF;

struct BitmapHeaderBlock {
  std::uint16_t bfType;
  std::uint32_t bfSize;
  std::uint16_t bfReserved1;
  std::uint16_t bfReserved2;
  std::uint32_t bfOffBits;
  std::uint32_t biSize;
  std::int32_t biWidth;
  std::int32_t biHeight;
  std::uint16_t biPlanes;
  std::uint16_t biBitCount;
  std::uint32_t biCompression;
  std::uint32_t biSizeImage;
  std::int32_t biXPelsPerMeter;
  std::int32_t biYPelsPerMeter;
  std::uint32_t biClrUsed;
  std::uint32_t biClrImportant;
  std::uint32_t bmiColors[2];  // 0x00RRGGBB: blue, green, red, zero on the wire
};

// ---------------------------------------------------------------------------
// Field visitors: f(wire offset, field) for every field in wire order.

template <class Rec>
concept PageInfoRecord = std::is_same_v<std::remove_const_t<Rec>, PageInfo>;
template <class Rec>
concept PageHeaderRecord = std::is_same_v<std::remove_const_t<Rec>, PageHeader>;
template <class Rec>
concept BitmapHeaderRecord = std::is_same_v<std::remove_const_t<Rec>, BitmapHeaderBlock>;

template <PageInfoRecord Rec, class F>
constexpr void ForEachField(Rec& r, F&& f) {
  f(offsetof(PageInfo, DevId), r.DevId);
  f(offsetof(PageInfo, Reserved4), r.Reserved4);
  constexpr std::size_t bmp = offsetof(PageInfo, iBmpHdr);
  f(bmp + offsetof(BitmapDescription, bmType), r.iBmpHdr.bmType);
  f(bmp + offsetof(BitmapDescription, bmWidth), r.iBmpHdr.bmWidth);
  f(bmp + offsetof(BitmapDescription, bmHeight), r.iBmpHdr.bmHeight);
  f(bmp + offsetof(BitmapDescription, bmWidthBytes), r.iBmpHdr.bmWidthBytes);
  f(bmp + offsetof(BitmapDescription, bmPlanes), r.iBmpHdr.bmPlanes);
  f(bmp + offsetof(BitmapDescription, bmBitsPixel), r.iBmpHdr.bmBitsPixel);
  f(bmp + offsetof(BitmapDescription, bmBits), r.iBmpHdr.bmBits);
  f(offsetof(PageInfo, BmpRotate), r.BmpRotate);
  f(offsetof(PageInfo, dmLogPixels), r.dmLogPixels);
  f(offsetof(PageInfo, DriverName), r.DriverName);
}

template <PageHeaderRecord Rec, class F>
constexpr void ForEachField(Rec& r, F&& f) {
#define K460_PAGE_HEADER_FIELD(name) f(offsetof(PageHeader, name), r.name)
  K460_PAGE_HEADER_FIELD(Length);
  K460_PAGE_HEADER_FIELD(Resolution);
  K460_PAGE_HEADER_FIELD(Width);
  K460_PAGE_HEADER_FIELD(Height);
  K460_PAGE_HEADER_FIELD(Coding);
  K460_PAGE_HEADER_FIELD(CopyNum);
  K460_PAGE_HEADER_FIELD(Paper);
  K460_PAGE_HEADER_FIELD(Orient);
  K460_PAGE_HEADER_FIELD(Casset);
  K460_PAGE_HEADER_FIELD(Collated);
  K460_PAGE_HEADER_FIELD(Priority);
  K460_PAGE_HEADER_FIELD(Outbin);
  K460_PAGE_HEADER_FIELD(PaperType);
  K460_PAGE_HEADER_FIELD(TonerSaving);
  K460_PAGE_HEADER_FIELD(OutputOder);
  K460_PAGE_HEADER_FIELD(Stack);
  K460_PAGE_HEADER_FIELD(Duplex);
  K460_PAGE_HEADER_FIELD(DuplexBinding);
  K460_PAGE_HEADER_FIELD(MultPagePrint);
  K460_PAGE_HEADER_FIELD(MultPageBorder);
  K460_PAGE_HEADER_FIELD(MultPageOrder);
  K460_PAGE_HEADER_FIELD(MultPageView);
  K460_PAGE_HEADER_FIELD(Zoom);
  K460_PAGE_HEADER_FIELD(ZoomOutputPaper);
  K460_PAGE_HEADER_FIELD(ZoomNumber);
  K460_PAGE_HEADER_FIELD(Reserved52);
  K460_PAGE_HEADER_FIELD(Angle);
  K460_PAGE_HEADER_FIELD(Punch);
  K460_PAGE_HEADER_FIELD(PunchHoles);
  K460_PAGE_HEADER_FIELD(Staple);
  K460_PAGE_HEADER_FIELD(StaplePoint);
  K460_PAGE_HEADER_FIELD(SecurityPrint);
  K460_PAGE_HEADER_FIELD(Reserved68);
  K460_PAGE_HEADER_FIELD(FaxUserName);
  K460_PAGE_HEADER_FIELD(FaxPassword);
  K460_PAGE_HEADER_FIELD(FaxAuto);
  K460_PAGE_HEADER_FIELD(FaxItem);
  K460_PAGE_HEADER_FIELD(FaxTxDocList);
  K460_PAGE_HEADER_FIELD(Reserved158);
#undef K460_PAGE_HEADER_FIELD
}

template <BitmapHeaderRecord Rec, class F>
constexpr void ForEachField(Rec& r, F&& f) {
  f(0, r.bfType);
  f(2, r.bfSize);
  f(6, r.bfReserved1);
  f(8, r.bfReserved2);
  f(10, r.bfOffBits);
  f(14, r.biSize);
  f(18, r.biWidth);
  f(22, r.biHeight);
  f(26, r.biPlanes);
  f(28, r.biBitCount);
  f(30, r.biCompression);
  f(34, r.biSizeImage);
  f(38, r.biXPelsPerMeter);
  f(42, r.biYPelsPerMeter);
  f(46, r.biClrUsed);
  f(50, r.biClrImportant);
  f(54, r.bmiColors);
}

// True when the visited fields follow one another without gap or overlap and
// end exactly at `size`.
template <class Rec>
constexpr bool FieldsCoverRecord(std::size_t size) {
  Rec record{};
  std::size_t next = 0;
  bool contiguous = true;
  ForEachField(record, [&](std::size_t offset, const auto& field) {
    contiguous = contiguous && offset == next;
    next = offset + sizeof(field);
  });
  return contiguous && next == size;
}
static_assert(FieldsCoverRecord<PageInfo>(kPageInfoSize));
static_assert(FieldsCoverRecord<PageHeader>(kPageHeaderSize));
static_assert(FieldsCoverRecord<BitmapHeaderBlock>(kBitmapHeaderBlockSize));

// ---------------------------------------------------------------------------
// Bytes <-> records

void StorePageInfo(const PageInfo& info, std::span<std::uint8_t, kPageInfoSize> out);
PageInfo LoadPageInfo(std::span<const std::uint8_t, kPageInfoSize> in);

// `out`/`in` hold a full (256) or short (80) header; a short one stores and
// loads only the fields that lie inside it (the fax fields load as zero).
void StorePageHeader(const PageHeader& header, std::span<std::uint8_t> out);
PageHeader LoadPageHeader(std::span<const std::uint8_t> in);

void StoreBitmapHeaderBlock(const BitmapHeaderBlock& block, std::span<std::uint8_t, kBitmapHeaderBlockSize> out);
BitmapHeaderBlock LoadBitmapHeaderBlock(std::span<const std::uint8_t, kBitmapHeaderBlockSize> in);

// The block as the drivers write it for a raster of `rasterBytes` bytes.
BitmapHeaderBlock MakeBitmapHeaderBlock(std::int32_t width, std::int32_t height, std::uint32_t rasterBytes);
// True when the block describes the page of `header`: signature, file size
// `Length`, raster offset 62, width, height (positive), one plane of one bit,
// no compression, image size `Length` - 62, black and white colour table.
bool BitmapHeaderBlockMatches(const BitmapHeaderBlock& block, const PageHeader& header);

// Which record form a stream starting with `head` has, judged by where the
// bitmap header block sits and whether its file size repeats `Length`;
// nothing when it has neither form (or `head` is too short to tell).
std::optional<RecordForm> DetectRecordForm(std::span<const std::uint8_t> head);

}  // namespace k460::pagestream
