#include "monitors/common/page_records.h"

#include <algorithm>

#include "monitors/common/little_endian.h"

namespace k460::pagestream {
namespace {

// Stores every field (or every element of an array field) little-endian at
// its wire offset, skipping fields that lie beyond `out` (the short header).
template <class Rec>
void StoreFields(const Rec& record, std::span<std::uint8_t> out) {
  ForEachField(record, [&](std::size_t offset, const auto& field) {
    if (offset + sizeof(field) > out.size()) return;
    using Field = std::remove_cvref_t<decltype(field)>;
    if constexpr (std::is_array_v<Field>) {
      using Element = std::remove_extent_t<Field>;
      for (std::size_t i = 0; i < std::extent_v<Field>; ++i) StoreLe<Element>(&out[offset + i * sizeof(Element)], field[i]);
    } else {
      StoreLe<Field>(&out[offset], field);
    }
  });
}

template <class Rec>
Rec LoadFields(std::span<const std::uint8_t> in) {
  Rec record{};
  ForEachField(record, [&](std::size_t offset, auto& field) {
    if (offset + sizeof(field) > in.size()) return;
    using Field = std::remove_cvref_t<decltype(field)>;
    if constexpr (std::is_array_v<Field>) {
      using Element = std::remove_extent_t<Field>;
      for (std::size_t i = 0; i < std::extent_v<Field>; ++i) field[i] = LoadLe<Element>(&in[offset + i * sizeof(Element)]);
    } else {
      field = LoadLe<Field>(&in[offset]);
    }
  });
  return record;
}

std::span<const std::uint8_t> HeaderBytesOfForm(std::span<const std::uint8_t> bytes) {
  return bytes.size() >= kPageHeaderSize ? bytes.first(kPageHeaderSize) : bytes.first(kShortPageHeaderSize);
}

}  // namespace

PageKind KindOfDevId(std::int32_t devId) {
  if (devId > kPrinterDevIdAbove) return PageKind::kPrinter;
  switch (devId) {
    case PI_DEVID_FAX: return PageKind::kFax;
    case PI_DEVID_TIF: return PageKind::kTiff;
    case PI_DEVID_FAX2: return PageKind::kFax2;
    default: return PageKind::kUnknown;
  }
}

std::string_view PageKindName(PageKind kind) {
  switch (kind) {
    case PageKind::kFax: return "fax";
    case PageKind::kTiff: return "tiff";
    case PageKind::kFax2: return "fax2";
    case PageKind::kPrinter: return "printer";
    case PageKind::kUnknown: break;
  }
  return "unknown";
}

void StorePageInfo(const PageInfo& info, std::span<std::uint8_t, kPageInfoSize> out) { StoreFields(info, out); }

PageInfo LoadPageInfo(std::span<const std::uint8_t, kPageInfoSize> in) { return LoadFields<PageInfo>(in); }

void StorePageHeader(const PageHeader& header, std::span<std::uint8_t> out) {
  StoreFields(header, out.first(std::min(out.size(), kPageHeaderSize)));
}

PageHeader LoadPageHeader(std::span<const std::uint8_t> in) {
  if (in.size() < kShortPageHeaderSize) return PageHeader{};
  return LoadFields<PageHeader>(HeaderBytesOfForm(in));
}

void StoreBitmapHeaderBlock(const BitmapHeaderBlock& block, std::span<std::uint8_t, kBitmapHeaderBlockSize> out) {
  StoreFields(block, out);
}

BitmapHeaderBlock LoadBitmapHeaderBlock(std::span<const std::uint8_t, kBitmapHeaderBlockSize> in) {
  return LoadFields<BitmapHeaderBlock>(in);
}

BitmapHeaderBlock MakeBitmapHeaderBlock(std::int32_t width, std::int32_t height, std::uint32_t rasterBytes) {
  BitmapHeaderBlock block{};
  block.bfType = kBitmapSignature;
  block.bfSize = rasterBytes + static_cast<std::uint32_t>(kBitmapHeaderBlockSize);
  block.bfOffBits = kBitmapHeaderBlockSize;
  block.biSize = kBitmapInfoHeaderSize;
  block.biWidth = width;
  block.biHeight = height;
  block.biPlanes = 1;
  block.biBitCount = 1;
  block.biCompression = 0;
  block.biSizeImage = rasterBytes;
  block.biXPelsPerMeter = kBitmapPelsPerMeter;
  block.biYPelsPerMeter = kBitmapPelsPerMeter;
  block.bmiColors[0] = kColourBlack;
  block.bmiColors[1] = kColourWhite;
  return block;
}

bool BitmapHeaderBlockMatches(const BitmapHeaderBlock& block, const PageHeader& header) {
  if (header.Length < kBitmapHeaderBlockSize) return false;
  return block.bfType == kBitmapSignature && block.bfSize == header.Length &&
         block.bfOffBits == kBitmapHeaderBlockSize && block.biSize == kBitmapInfoHeaderSize &&
         block.biWidth == header.Width && block.biHeight == header.Height && block.biPlanes == 1 &&
         block.biBitCount == 1 && block.biCompression == 0 &&
         block.biSizeImage == header.Length - kBitmapHeaderBlockSize && block.bmiColors[0] == kColourBlack &&
         block.bmiColors[1] == kColourWhite;
}

std::optional<RecordForm> DetectRecordForm(std::span<const std::uint8_t> head) {
  const auto blockAt = [&](std::size_t offset) {
    if (head.size() < offset + 6 || head.size() < kPageInfoSize + 4) return false;
    return LoadLe<std::uint16_t>(&head[offset]) == kBitmapSignature &&
           LoadLe<std::uint32_t>(&head[offset + 2]) == LoadLe<std::uint32_t>(&head[kPageInfoSize]);
  };
  if (blockAt(HeaderBlockSize(RecordForm::kFull))) return RecordForm::kFull;
  if (blockAt(HeaderBlockSize(RecordForm::kShort))) return RecordForm::kShort;
  return std::nullopt;
}

}  // namespace k460::pagestream
