#include "tools/print/media.h"

#include <algorithm>

#include "platform/base/text.h"

namespace k460::print {
namespace {

// Rows of the drivers' paper table; the aliases are the PWG media names
// that lp users know, and common other names.
constexpr Media kMedia[] = {
    {"Letter", "na_letter_8.5x11in", "Letter", 1, 216, 280, 5100, 6600, 4900, 6400},
    {"HalfLetter", "Statement na_invoice_5.5x8.5in", "Statement", 257, 140, 216, 3300, 5100, 3100, 4900},
    {"Legal", "na_legal_8.5x14in", "Legal", 5, 216, 356, 5100, 8400, 4900, 8200},
    {"Ledger", "Tabloid 11x17 na_ledger_11x17in", "Ledger", 4, 280, 432, 6600, 10200, 6400, 10000},
    {"A3", "iso_a3_297x420mm", "A3", 8, 298, 420, 7014, 9920, 6814, 9720},
    {"A4", "iso_a4_210x297mm", "A4", 9, 210, 297, 4960, 7014, 4760, 6814},
    {"A5", "iso_a5_148x210mm", "A5", 11, 148, 210, 3496, 4960, 3296, 4760},
    {"A6", "iso_a6_105x148mm", "A6", 70, 105, 148, 2480, 3496, 2280, 3296},
    {"B4", "B4-JIS jis_b4_257x364mm", "B4 (JIS)", 12, 257, 364, 6070, 8600, 5870, 8400},
    {"B5", "B5-JIS jis_b5_182x257mm", "B5 (JIS)", 13, 182, 257, 4300, 6070, 4100, 5870},
    {"F4", "Folio om_folio_210x330mm", "F4", 60, 210, 330, 4960, 7796, 4760, 7596},
    {"8K", "roc_8k_10.75x15.5in", "8K", 259, 270, 390, 6376, 9212, 6176, 9012},
    {"16K", "roc_16k_7.75x10.75in", "16K", 260, 195, 270, 4606, 6376, 4406, 6176},
    {"Executive", "na_executive_7.25x10.5in", "Executive", 7, 185, 267, 4350, 6300, 4150, 6100},
    {"Postcard", "Hagaki jpn_hagaki_100x148mm", "Japanese Postcard", 43, 100, 148, 2362, 3496, 2162, 3296},
    {"DoublePostcard", "Oufuku jpn_oufuku_148x200mm", "Double Japan Postcard", 69, 148, 200, 3496, 4724, 3296, 4524},
    {"DL", "Env-DL iso_dl_110x220mm", "Envelope DL", 27, 110, 220, 2598, 5196, 2398, 4996},
    {"Com10", "Env10 na_number-10_4.125x9.5in", "Envelope #10", 258, 105, 242, 2474, 5700, 2274, 5500},
    {"Monarch", "EnvMonarch na_monarch_3.875x7.5in", "Envelope Monarch", 37, 98, 191, 2324, 4500, 2124, 4300},
    {"Chou4", "EnvChou4 jpn_chou4_90x205mm", "Japanese Envelope Chou #4", 74, 90, 205, 2124, 4842, 1924, 4642},
    {"Kaku2", "EnvKaku2 jpn_kaku2_240x332mm", "Japanese Envelope Kaku #2", 71, 240, 332, 5668, 7842, 5468, 7642},
};
static_assert(std::size(kMedia) == 21);

bool NameMatches(const Media& media, std::string_view name) {
  if (EqualsNoCase(media.name, name)) return true;
  std::string_view rest = media.aliases;
  while (!rest.empty()) {
    const std::size_t blank = rest.find(' ');
    if (EqualsNoCase(rest.substr(0, blank), name)) return true;
    rest = blank == std::string_view::npos ? std::string_view() : rest.substr(blank + 1);
  }
  return false;
}

}  // namespace

std::span<const Media> MediaTable() { return kMedia; }

const Media* FindMediaByName(std::string_view name) {
  for (const Media& media : kMedia)
    if (NameMatches(media, name)) return &media;
  return nullptr;
}

const Media* FindMediaByCode(int paperCode) {
  for (const Media& media : kMedia)
    if (media.paperCode == paperCode) return &media;
  return nullptr;
}

PageGeometry GeometryFor(const Media& media, bool landscape) {
  double w = media.physicalWidth, h = media.physicalLength;
  double pw = media.printableWidth, ph = media.printableLength;
  if (landscape) {
    std::swap(w, h);
    std::swap(pw, ph);
  }
  return {{w, h}, Rect::FromSize(kPrintableMargin, kPrintableMargin, pw, ph)};
}

PageGeometry GeometryForSize(double widthUnits, double lengthUnits, bool landscape) {
  if (landscape) std::swap(widthUnits, lengthUnits);
  const double pw = std::max(0.0, widthUnits - 2 * kPrintableMargin);
  const double ph = std::max(0.0, lengthUnits - 2 * kPrintableMargin);
  return {{widthUnits, lengthUnits}, Rect::FromSize(kPrintableMargin, kPrintableMargin, pw, ph)};
}

Rect PlaceKeepingAspect(double width, double height, const Rect& area) {
  if (width <= 0 || height <= 0 || area.Width() <= 0 || area.Height() <= 0)
    return {area.left, area.top, area.left, area.top};
  const double scale = std::min(area.Width() / width, area.Height() / height);
  const double w = width * scale, h = height * scale;
  const double x = area.left + (area.Width() - w) / 2, y = area.top + (area.Height() - h) / 2;
  return {x, y, x + w, y + h};
}

}  // namespace k460::print
