#include <algorithm>
#include <cstring>

#include "driver/pcl/printer_common/settings/record_shape.h"
#include "driver/pcl/printer_common/settings/settings.h"
#include "platform/base/base.h"

namespace {

constexpr std::size_t kHeaderOffset = offsetof(DEVMODEW, dmSpecVersion);
constexpr std::size_t kHeaderBytes = offsetof(DEVMODEW, dmFields) - kHeaderOffset;  // the four size fields
constexpr std::size_t kDmDuplexOffset = offsetof(DEVMODEW, dmDuplex);
constexpr std::size_t kDmDuplexEnd = kDmDuplexOffset + sizeof(SHORT);

// Records of the older driver keep the duplex mode only in dmDuplex; current
// ones in pvDuplex unless pvForceDuplexField says dmDuplex carries it. The
// pair is addressed from the start of each private part, where it sits at a
// fixed place, and dmDuplex only where the public part reaches it.
void MigrateDuplex(const BYTE* source, const RecordShape& s, BYTE* target, const RecordShape& t) {
  if (s.privateSize < t.privateSize && s.privateSize <= kOldPrivateSizeMax && t.privateSize >= kDuplexPrivateSize) {
    if (s.publicSize < kDmDuplexEnd) return;
    const auto duplex = static_cast<WORD>(LoadLe<SHORT>(source + kDmDuplexOffset));
    StoreLe<WORD>(target + t.publicSize + kDuplexPrivateOffset, duplex);
  } else if (t.privateSize < s.privateSize && t.privateSize <= kOldPrivateSizeMax &&
             s.privateSize >= kDuplexPrivateSize) {
    if (t.publicSize < kDmDuplexEnd) return;
    const BYTE* sourcePrivate = source + s.publicSize;
    if (LoadLe<WORD>(sourcePrivate + kForceDuplexFieldPrivateOffset) != 0) return;
    const auto duplex = static_cast<SHORT>(LoadLe<WORD>(sourcePrivate + kDuplexPrivateOffset));
    StoreLe<SHORT>(target + kDmDuplexOffset, duplex);
  }
}

}  // namespace

std::size_t DeclaredRecordSize(const void* record) {
  if (!record) return 0;
  const auto* p = static_cast<const BYTE*>(record);
  return std::size_t{LoadLe<WORD>(p + offsetof(DEVMODEW, dmSize))} +
         LoadLe<WORD>(p + offsetof(DEVMODEW, dmDriverExtra));
}

std::size_t SettingsConvert(const void* source, std::size_t sourceBytes, void* target, std::size_t targetBytes) {
  RecordShape s, t;
  if (!ReadRecordShape(source, sourceBytes, s) || !ReadRecordShape(target, targetBytes, t)) return 0;
  const auto* src = static_cast<const BYTE*>(source);
  auto* dst = static_cast<BYTE*>(target);

  BYTE header[kHeaderBytes];
  std::memcpy(header, dst + kHeaderOffset, kHeaderBytes);
  const std::size_t publicBytes = std::min(t.publicSize, s.publicSize);
  std::memmove(dst, src, publicBytes);
  std::memcpy(dst + kHeaderOffset, header, kHeaderBytes);

  const std::size_t privateBytes = std::min(t.privateSize, s.privateSize);
  std::memmove(dst + t.publicSize, src + s.publicSize, privateBytes);

  MigrateDuplex(src, s, dst, t);
  return publicBytes + privateBytes;
}

bool SettingsConvertOut(const JobSettings& source, const void* sizes, std::size_t sizesBytes, void* output,
                        std::size_t outputBytes) {
  RecordShape s;
  if (!output || !ReadRecordShape(&source, sizeof source, s)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return false;
  }
  if (!sizes || sizesBytes < kMinPublicSize) {
    if (outputBytes < s.total()) {
      SetLastError(ERROR_INSUFFICIENT_BUFFER);
      return false;
    }
    std::memcpy(output, &source, s.total());
    return true;
  }

  // The output's header: each pair from whichever record is smaller.
  const auto* honoured = static_cast<const BYTE*>(sizes);
  WORD specVersion = LeGet(source.dm.dmSpecVersion);
  WORD publicSize = LeGet(source.dm.dmSize);
  WORD driverVersion = LeGet(source.dm.dmDriverVersion);
  WORD privateSize = LeGet(source.dm.dmDriverExtra);
  if (const WORD size = LoadLe<WORD>(honoured + offsetof(DEVMODEW, dmSize)); size < publicSize) {
    publicSize = size;
    specVersion = LoadLe<WORD>(honoured + offsetof(DEVMODEW, dmSpecVersion));
  }
  if (const WORD extra = LoadLe<WORD>(honoured + offsetof(DEVMODEW, dmDriverExtra)); extra < privateSize) {
    privateSize = extra;
    driverVersion = LoadLe<WORD>(honoured + offsetof(DEVMODEW, dmDriverVersion));
  }
  if (publicSize < kMinPublicSize) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return false;
  }
  if (outputBytes < std::size_t{publicSize} + privateSize) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return false;
  }

  auto* out = static_cast<BYTE*>(output);
  StoreLe<WORD>(out + offsetof(DEVMODEW, dmSpecVersion), specVersion);
  StoreLe<WORD>(out + offsetof(DEVMODEW, dmDriverVersion), driverVersion);
  StoreLe<WORD>(out + offsetof(DEVMODEW, dmSize), publicSize);
  StoreLe<WORD>(out + offsetof(DEVMODEW, dmDriverExtra), privateSize);
  if (SettingsConvert(&source, sizeof source, output, outputBytes) == 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return false;
  }
  return true;
}
