#include "platform/engine/pixels.h"

#include <cstdint>
#include <cstring>

#include "platform/engine/ddi_objects.h"

namespace k460::engine {

ULONG ReadPixel(const BYTE* row, ULONG format, LONG x) {
  switch (format) {
    case BMF_1BPP: return (row[x >> 3] >> (7 - (x & 7))) & 1;
    case BMF_4BPP: return (x & 1) ? row[x >> 1] & 0x0F : row[x >> 1] >> 4;
    case BMF_8BPP: return row[x];
    case BMF_16BPP: return row[2 * x] | (ULONG(row[2 * x + 1]) << 8);
    case BMF_24BPP: {
      const BYTE* p = row + 3 * x;
      return p[0] | (ULONG(p[1]) << 8) | (ULONG(p[2]) << 16);
    }
    case BMF_32BPP: {
      ULONG v;
      std::memcpy(&v, row + 4 * x, 4);
      return v;
    }
    default: return 0;
  }
}

void WritePixel(BYTE* row, ULONG format, LONG x, ULONG value) {
  switch (format) {
    case BMF_1BPP: {
      BYTE bit = static_cast<BYTE>(0x80 >> (x & 7));
      row[x >> 3] = (value & 1) ? (row[x >> 3] | bit) : (row[x >> 3] & ~bit);
      break;
    }
    case BMF_4BPP:
      if (x & 1) {
        row[x >> 1] = static_cast<BYTE>((row[x >> 1] & 0xF0) | (value & 0x0F));
      } else {
        row[x >> 1] = static_cast<BYTE>((row[x >> 1] & 0x0F) | ((value & 0x0F) << 4));
      }
      break;
    case BMF_8BPP: row[x] = static_cast<BYTE>(value); break;
    case BMF_16BPP:
      row[2 * x] = static_cast<BYTE>(value);
      row[2 * x + 1] = static_cast<BYTE>(value >> 8);
      break;
    case BMF_24BPP:
      row[3 * x] = static_cast<BYTE>(value);
      row[3 * x + 1] = static_cast<BYTE>(value >> 8);
      row[3 * x + 2] = static_cast<BYTE>(value >> 16);
      break;
    case BMF_32BPP: std::memcpy(row + 4 * x, &value, 4); break;
    default: break;
  }
}

void ReadPixels(const BYTE* row, ULONG format, LONG x, LONG count, ULONG* out) {
  switch (format) {
    case BMF_1BPP:
      for (LONG i = 0; i < count; ++i, ++x) out[i] = (row[x >> 3] >> (7 - (x & 7))) & 1;
      break;
    case BMF_8BPP:
      for (LONG i = 0; i < count; ++i) out[i] = row[x + i];
      break;
    case BMF_24BPP: {
      const BYTE* p = row + 3 * x;
      for (LONG i = 0; i < count; ++i, p += 3) out[i] = p[0] | (ULONG(p[1]) << 8) | (ULONG(p[2]) << 16);
      break;
    }
    default:
      for (LONG i = 0; i < count; ++i) out[i] = ReadPixel(row, format, x + i);
      break;
  }
}

void ReadPixelsAt(const BYTE* row, ULONG format, const LONG* xs, LONG count, ULONG* out) {
  switch (format) {
    case BMF_1BPP:
      for (LONG i = 0; i < count; ++i) out[i] = (row[xs[i] >> 3] >> (7 - (xs[i] & 7))) & 1;
      break;
    case BMF_8BPP:
      for (LONG i = 0; i < count; ++i) out[i] = row[xs[i]];
      break;
    case BMF_24BPP:
      for (LONG i = 0; i < count; ++i) {
        const BYTE* p = row + 3 * xs[i];
        out[i] = p[0] | (ULONG(p[1]) << 8) | (ULONG(p[2]) << 16);
      }
      break;
    default:
      for (LONG i = 0; i < count; ++i) out[i] = ReadPixel(row, format, xs[i]);
      break;
  }
}

void WritePixels(BYTE* row, ULONG format, LONG x, const ULONG* values, LONG count) {
  switch (format) {
    case BMF_1BPP: {
      LONG i = 0;
      // Unaligned head pixel by pixel, then whole bytes.
      for (; i < count && ((x + i) & 7); ++i) WritePixel(row, format, x + i, values[i]);
      for (; i + 8 <= count; i += 8) {
        BYTE b = 0;
        for (int k = 0; k < 8; ++k) b = static_cast<BYTE>((b << 1) | (values[i + k] & 1));
        row[(x + i) >> 3] = b;
      }
      for (; i < count; ++i) WritePixel(row, format, x + i, values[i]);
      break;
    }
    case BMF_8BPP:
      for (LONG i = 0; i < count; ++i) row[x + i] = static_cast<BYTE>(values[i]);
      break;
    case BMF_24BPP: {
      BYTE* p = row + 3 * x;
      for (LONG i = 0; i < count; ++i, p += 3) {
        p[0] = static_cast<BYTE>(values[i]);
        p[1] = static_cast<BYTE>(values[i] >> 8);
        p[2] = static_cast<BYTE>(values[i] >> 16);
      }
      break;
    }
    default:
      for (LONG i = 0; i < count; ++i) WritePixel(row, format, x + i, values[i]);
      break;
  }
}

void ShiftedBytes(const BYTE* row, LONGLONG rowBits, LONGLONG srcBit, BYTE* out, size_t bytes) {
  LONGLONG rowBytes = (rowBits + 7) >> 3;
  auto at = [&](LONGLONG i) -> unsigned { return (i >= 0 && i < rowBytes) ? row[i] : 0u; };
  LONGLONG first = srcBit >= 0 ? srcBit >> 3 : -((-srcBit + 7) >> 3);
  int shift = static_cast<int>(srcBit - first * 8);
  if (shift == 0) {
    for (size_t i = 0; i < bytes; ++i) out[i] = static_cast<BYTE>(at(first + LONGLONG(i)));
    return;
  }
  size_t i = 0;
  if (first >= 0) {
    // Eight bytes at a time while nine source bytes are at hand.
    for (; i + 8 <= bytes && first + LONGLONG(i) + 9 <= rowBytes; i += 8) {
      uint64_t word;
      std::memcpy(&word, row + first + i, 8);
      word = __builtin_bswap64(word);
      word = (word << shift) | (row[first + i + 8] >> (8 - shift));
      word = __builtin_bswap64(word);
      std::memcpy(out + i, &word, 8);
    }
  }
  unsigned current = at(first + LONGLONG(i));
  for (; i < bytes; ++i) {
    unsigned next = at(first + LONGLONG(i) + 1);
    out[i] = static_cast<BYTE>((current << shift) | (next >> (8 - shift)));
    current = next;
  }
}

void FillPixels(BYTE* row, ULONG format, LONG count, ULONG value) {
  switch (format) {
    case BMF_1BPP: std::memset(row, (value & 1) ? 0xFF : 0x00, (count + 7) / 8); break;
    case BMF_4BPP: std::memset(row, static_cast<int>((value & 0x0F) * 0x11), (count + 1) / 2); break;
    case BMF_8BPP: std::memset(row, static_cast<int>(value & 0xFF), count); break;
    default:
      for (LONG i = 0; i < count; ++i) WritePixel(row, format, i, value);
      break;
  }
}

}  // namespace k460::engine
