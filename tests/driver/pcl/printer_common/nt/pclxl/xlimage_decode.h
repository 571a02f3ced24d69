// Reading back the images of a PCL XL job: every BeginImage/ReadImage/
// EndImage with the state the printer would draw it in (ROP, cursor,
// colour space and palette, clip), its run-length data decoded and its
// pixels turned into gray levels through the palette.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tools/pclxl_reader/pclxl_reader.h"

namespace xltest {

// PackBits as PCL XL's run-length compression defines it: a control byte
// 0..127 copies the next control + 1 bytes, 129..255 repeats the next byte
// 257 - control times, 128 does nothing.
inline std::optional<std::vector<std::uint8_t>> DecodePackBits(const std::uint8_t* data, std::size_t size) {
  std::vector<std::uint8_t> out;
  std::size_t i = 0;
  while (i < size) {
    unsigned control = data[i++];
    if (control < 128) {
      if (i + control + 1 > size) return std::nullopt;
      out.insert(out.end(), data + i, data + i + control + 1);
      i += control + 1;
    } else if (control > 128) {
      if (i >= size) return std::nullopt;
      out.insert(out.end(), 257 - control, data[i++]);
    }
  }
  return out;
}

struct XlImage {
  int colorMapping = -1;
  int colorDepth = -1;
  int width = 0;
  int height = 0;
  int destWidth = 0;
  int destHeight = 0;
  int cursorX = 0;
  int cursorY = 0;
  int rop = -1;  // the ROP in force
  int compressMode = -1;
  int padBytes = 0;
  std::size_t blockBytes = 0;         // as sent
  std::vector<std::uint8_t> palette;  // of the colour space in force (empty: none)
  std::string clip;                   // the last clip operator, formatted
  std::vector<std::uint8_t> rows;     // decoded, padded rows

  std::size_t Stride() const {
    std::size_t bits = static_cast<std::size_t>(width) * (colorDepth == 0 ? 1 : colorDepth == 1 ? 4 : 8);
    return ((bits + 7) / 8 + 3) / 4 * 4;
  }
  // The value of pixel (x, y): an index or a gray level.
  int Pixel(int x, int y) const {
    const std::uint8_t* row = rows.data() + static_cast<std::size_t>(y) * Stride();
    switch (colorDepth) {
      case 0:
        return (row[x / 8] >> (7 - x % 8)) & 1;
      case 1:
        return x % 2 ? row[x / 2] & 0x0F : row[x / 2] >> 4;
      default:
        return row[x];
    }
  }
  // Gray levels of all pixels, row by row, through the palette when indexed.
  std::vector<std::uint8_t> Grays() const {
    std::vector<std::uint8_t> grays;
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) {
        int v = Pixel(x, y);
        if (colorMapping == 1) {
          EXPECT_LT(static_cast<std::size_t>(v), palette.size()) << "an index outside the palette";
          v = static_cast<std::size_t>(v) < palette.size() ? palette[v] : -1;
        }
        grays.push_back(static_cast<std::uint8_t>(v));
      }
    return grays;
  }
};

inline const k460::pclxl::Value* Attr(const k460::pclxl::Operator& op, std::uint16_t id) {
  for (const auto& a : op.attributes)
    if (a.id == id) return &a.value;
  return nullptr;
}
inline int Num(const k460::pclxl::Operator& op, std::uint16_t id, std::size_t index = 0) {
  const k460::pclxl::Value* v = Attr(op, id);
  return v && index < v->numbers.size() ? static_cast<int>(v->numbers[index]) : -1;
}

// Every image of the job, in order. Malformed image data fails the test.
inline std::vector<XlImage> Images(const std::string& bytes) {
  using namespace k460::pclxl;
  Job job = ParseJob(bytes);
  if (job.error) ADD_FAILURE() << FormatError(*job.error);
  std::vector<XlImage> images;
  XlImage state;
  for (const auto& item : job.items) {
    const auto* op = std::get_if<Operator>(&item);
    if (!op) continue;
    switch (op->code) {
      case 0x7B:
        state.rop = Num(*op, 0x2C);
        break;    // SetROP
      case 0x6B:  // SetCursor
        state.cursorX = Num(*op, 0x4C, 0);
        state.cursorY = Num(*op, 0x4C, 1);
        break;
      case 0x6A: {  // SetColorSpace
        state.palette.clear();
        if (const Value* p = Attr(*op, 0x06))
          for (double n : p->numbers) state.palette.push_back(static_cast<std::uint8_t>(n));
        break;
      }
      case 0x68:
      case 0x69:
      case 0x62:
        state.clip = FormatItem(item).substr(10);
        break;
      case 0xB0: {  // BeginImage
        XlImage image = state;
        image.colorMapping = Num(*op, 0x64);
        image.colorDepth = Num(*op, 0x62);
        image.width = Num(*op, 0x6C);
        image.height = Num(*op, 0x6B);
        image.destWidth = Num(*op, 0x67, 0);
        image.destHeight = Num(*op, 0x67, 1);
        images.push_back(image);
        break;
      }
      case 0xB1: {  // ReadImage
        if (images.empty() || !op->hasData) {
          ADD_FAILURE() << "ReadImage without an image or data";
          break;
        }
        XlImage& image = images.back();
        EXPECT_EQ(Num(*op, 0x6D), 0) << "StartLine";
        EXPECT_EQ(Num(*op, 0x63), image.height) << "BlockHeight";
        EXPECT_EQ(static_cast<std::uint32_t>(Num(*op, 0x6F)), op->dataLength) << "BlockByteLength";
        image.compressMode = Num(*op, 0x65);
        image.padBytes = Num(*op, 0x6E);
        image.blockBytes = op->dataLength;
        const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data()) + op->dataOffset;
        if (image.compressMode == 1) {
          auto decoded = DecodePackBits(data, op->dataLength);
          if (!decoded) ADD_FAILURE() << "run-length data cut short";
          image.rows = decoded.value_or(std::vector<std::uint8_t>{});
        } else {
          image.rows.assign(data, data + op->dataLength);
        }
        EXPECT_EQ(image.rows.size(), image.Stride() * image.height) << "decoded size";
        image.rows.resize(image.Stride() * image.height);
        break;
      }
      default:
        break;
    }
  }
  return images;
}

}  // namespace xltest
