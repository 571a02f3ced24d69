// Feeds arbitrary device mode records to the merge and to every conversion.
// Each record sits in a heap buffer of exactly its size, so the sanitizers
// see any read past it; outputs are exactly sized too. After each merge the
// target must still be a valid record.
//
// Input: one control byte, then either the raw record bytes (control bit 7
// clear) or, to reach deep into valid records, a buffer length, an optional
// custom paper selection and a list of (offset, byte) patches applied to a
// default record (bit 7 set).
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "driver/pcl/printer_common/settings/paper_table.h"
#include "driver/pcl/printer_common/settings/settings.h"

namespace {

void Require(bool condition) {
  if (!condition) std::abort();
}

struct Buffer {
  explicit Buffer(std::size_t n) : size(n), bytes(new BYTE[n]) { std::memset(bytes.get(), 0, n); }
  std::size_t size;
  std::unique_ptr<BYTE[]> bytes;
};

Buffer IncomingRecord(std::uint8_t control, const std::uint8_t* data, std::size_t size, bool letter) {
  if (!(control & 0x80)) {
    Buffer raw(size);
    if (size) std::memcpy(raw.bytes.get(), data, size);
    return raw;
  }
  std::size_t length = kJobSettingsSize;
  if (size >= 2) {
    length = (data[0] | (data[1] << 8)) % 4200;
    data += 2;
    size -= 2;
  }
  JobSettings defaults;
  SettingsDefaults(defaults, u"Incoming", !letter, nullptr);
  if (size >= 9 && (data[0] & 0x80)) {
    // Select a custom paper whose entry holds the next eight bytes as sizes.
    const int entry = data[0] % kCustomPaperCount;
    LeSet(defaults.dm.dmPaperSize, static_cast<SHORT>(kFirstCustomPaperCode + entry));
    LeSet(defaults.dm.dmOrientation, (data[0] & 0x40) ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT);
    std::memcpy(&defaults.pv.pvCustomPapers[entry].fWidth, data + 1, 4);
    std::memcpy(&defaults.pv.pvCustomPapers[entry].fLength, data + 5, 4);
    defaults.pv.pvCustomPapers[entry].lUnit = (data[0] >> 5) & 1 ? kUnitMillimetre : kUnitInch;
    data += 9;
    size -= 9;
  }
  Buffer patched(length);
  std::memcpy(patched.bytes.get(), &defaults, std::min(length, sizeof defaults));
  for (; size >= 3 && length > 0; data += 3, size -= 3)
    patched.bytes[(data[0] | (data[1] << 8)) % length] = data[2];
  return patched;
}

void CheckMergedTarget(const JobSettings& t) {
  Require(LeGet(t.dm.dmSize) == kJobSettingsPublicSize && LeGet(t.dm.dmDriverExtra) == kJobSettingsPrivateSize);
  const SHORT orientation = LeGet(t.dm.dmOrientation);
  Require(orientation == DMORIENT_PORTRAIT || orientation == DMORIENT_LANDSCAPE);
  const SHORT copies = LeGet(t.dm.dmCopies);
  Require(copies >= 1 && copies <= 999);
  const SHORT quality = LeGet(t.dm.dmPrintQuality);
  Require(quality == 300 || quality == 600);
  const SHORT color = LeGet(t.dm.dmColor);
  Require(color == DMCOLOR_MONOCHROME || color == DMCOLOR_COLOR);
  const SHORT duplex = LeGet(t.dm.dmDuplex);
  Require((duplex >= 1 && duplex <= 3) || duplex == 100 || duplex == 101);
  const SHORT paper = LeGet(t.dm.dmPaperSize);
  const SHORT width = LeGet(t.dm.dmPaperWidth), length = LeGet(t.dm.dmPaperLength);
  if (IsCustomPaperCode(paper)) {
    Require(width >= 0 && length >= 0 && (width > 0 || length > 0));
  } else {
    Require(FindPaperIndex(paper) >= 0 && width == 0 && length == 0);
  }
  const int effective = EffectiveDuplex(&t);
  Require(effective >= 1 && effective <= 3);
}

struct Layout {
  WORD publicSize, privateSize;
};
constexpr Layout kLayouts[] = {{220, 3856}, {220, 3820}, {124, 0}, {220, 0}, {300, 4000}, {76, 3824}, {96, 3822}};

void ConvertIntoEveryLayout(const Buffer& in) {
  for (const Layout& layout : kLayouts) {
    Buffer out(std::size_t{layout.publicSize} + layout.privateSize);
    StoreLe<WORD>(out.bytes.get() + offsetof(DEVMODEW, dmSize), layout.publicSize);
    StoreLe<WORD>(out.bytes.get() + offsetof(DEVMODEW, dmDriverExtra), layout.privateSize);
    Require(SettingsConvert(in.bytes.get(), in.size, out.bytes.get(), out.size) <= out.size);
  }
}

void ConvertDevModeWithEverySize(const Buffer& in, std::uint8_t control) {
  constexpr LONG kSizes[] = {0, 40, 123, 124, 4039, 4040, 4075, 4076};
  const LONG size = kSizes[control & 7];
  for (DWORD mode : {kConvertToOutputFormat, kConvertToOldest, kConvertDriverDefault}) {
    Buffer out(static_cast<std::size_t>(size));
    if (size >= 76) {
      StoreLe<WORD>(out.bytes.get() + offsetof(DEVMODEW, dmSize), 220);
      StoreLe<WORD>(out.bytes.get() + offsetof(DEVMODEW, dmDriverExtra), static_cast<WORD>(size - 220));
    }
    LONG needed = size;
    ConvertDevModeRecord(in.bytes.get(), in.size, out.bytes.get(), &needed, mode);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const std::uint8_t control = data[0];
  const bool letter = control & 0x40;
  const Buffer incoming = IncomingRecord(control, data + 1, size - 1, letter);

  JobSettings target;
  SettingsDefaults(target, u"Target", letter, nullptr);
  target.pv.pvCustomPapers[control % kCustomPaperCount].lUnit = kUnitMillimetre;
  target.pv.pvCustomPapers[control % kCustomPaperCount].fWidth = 100.0f;
  target.pv.pvCustomPapers[control % kCustomPaperCount].fLength = 148.0f;
  SettingsMerge(target, incoming.bytes.get(), incoming.size, letter);
  CheckMergedTarget(target);

  ConvertIntoEveryLayout(incoming);
  ConvertDevModeWithEverySize(incoming, control);

  // The merged target committed into an output with the incoming record's sizes.
  for (std::size_t outSize : {std::size_t{4076}, std::size_t{124}, std::size_t{4040}}) {
    Buffer out(outSize);
    SettingsConvertOut(target, incoming.bytes.get(), incoming.size, out.bytes.get(), out.size);
  }
  return 0;
}
