// IFIMETRICS of an engine font, from its FreeType face: the names, the
// vertical metrics, widths, the character range and the font's OS/2 data.
#include <algorithm>
#include <cstring>

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include "platform/base/text.h"
#include "platform/engine/font.h"

namespace k460::engine {
namespace {

FWORD Clamp(long v) { return static_cast<FWORD>(std::clamp<long>(v, -32768, 32767)); }

void AppendString(std::vector<BYTE>& out, const std::u16string& s) {
  size_t at = out.size();
  out.resize(at + (s.size() + 1) * sizeof(char16_t), 0);
  std::memcpy(out.data() + at, s.data(), s.size() * sizeof(char16_t));
}

constexpr BYTE kAnsiCharset = 0;
constexpr BYTE kSymbolCharset = 2;
constexpr BYTE kShiftJisCharset = 128;
constexpr BYTE kFixedPitch = 1;
constexpr BYTE kVariablePitch = 2;

}  // namespace

std::vector<BYTE> BuildMetrics(FT_Face face, const std::u16string& faceName, bool trueType, bool bold,
                               bool italic) {
  IFIMETRICS ifi{};
  auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
  auto* post = static_cast<TT_Postscript*>(FT_Get_Sfnt_Table(face, FT_SFNT_POST));
  auto* hhea = static_cast<TT_HoriHeader*>(FT_Get_Sfnt_Table(face, FT_SFNT_HHEA));
  std::u16string family = Utf8ToUtf16(face->family_name ? face->family_name : "");
  std::u16string style = Utf8ToUtf16(face->style_name ? face->style_name : "");
  bool fixed = FT_IS_FIXED_WIDTH(face);
  bool isBold = bold || (face->style_flags & FT_STYLE_FLAG_BOLD);
  bool isItalic = italic || (face->style_flags & FT_STYLE_FLAG_ITALIC);

  ifi.jWinCharSet = kAnsiCharset;
  if (FT_Select_Charmap(face, FT_ENCODING_MS_SYMBOL) == 0) ifi.jWinCharSet = kSymbolCharset;
  FT_Select_Charmap(face, FT_ENCODING_UNICODE);
  if (os2 && os2->version != 0xFFFF && (os2->ulCodePageRange1 & (1u << 17)) && !(os2->ulCodePageRange1 & 1u)) {
    ifi.jWinCharSet = kShiftJisCharset;  // Japanese only
  }
  ifi.jWinPitchAndFamily = fixed ? kFixedPitch : kVariablePitch;
  ifi.usWinWeight = static_cast<USHORT>(os2 && os2->version != 0xFFFF ? os2->usWeightClass : isBold ? 700 : 400);
  if (bold) ifi.usWinWeight = 700;
  ifi.flInfo = (trueType ? FM_INFO_TECH_TRUETYPE : FM_INFO_TECH_OUTLINE_NOT_TRUETYPE) | FM_INFO_ARB_XFORMS |
               FM_INFO_RIGHT_HANDED | FM_INFO_1BPP | (fixed ? FM_INFO_CONSTANT_WIDTH : 0);
  ifi.fsSelection = static_cast<USHORT>((isItalic ? 0x0001 : 0) | (isBold ? 0x0020 : 0) | (!isBold && !isItalic ? 0x0040 : 0));
  ifi.fsType = os2 && os2->version != 0xFFFF ? os2->fsType : 0;
  ifi.fwdUnitsPerEm = Clamp(face->units_per_EM);
  ifi.fwdLowestPPEm = 8;
  if (os2 && os2->version != 0xFFFF) {
    ifi.fwdWinAscender = Clamp(os2->usWinAscent);
    ifi.fwdWinDescender = Clamp(os2->usWinDescent);
    ifi.fwdTypoAscender = Clamp(os2->sTypoAscender);
    ifi.fwdTypoDescender = Clamp(os2->sTypoDescender);
    ifi.fwdTypoLineGap = Clamp(os2->sTypoLineGap);
    ifi.fwdAveCharWidth = Clamp(os2->xAvgCharWidth);
    ifi.fwdCapHeight = Clamp(os2->sCapHeight);
    ifi.fwdXHeight = Clamp(os2->sxHeight);
    ifi.fwdSubscriptXSize = Clamp(os2->ySubscriptXSize);
    ifi.fwdSubscriptYSize = Clamp(os2->ySubscriptYSize);
    ifi.fwdSubscriptXOffset = Clamp(os2->ySubscriptXOffset);
    ifi.fwdSubscriptYOffset = Clamp(os2->ySubscriptYOffset);
    ifi.fwdSuperscriptXSize = Clamp(os2->ySuperscriptXSize);
    ifi.fwdSuperscriptYSize = Clamp(os2->ySuperscriptYSize);
    ifi.fwdSuperscriptXOffset = Clamp(os2->ySuperscriptXOffset);
    ifi.fwdSuperscriptYOffset = Clamp(os2->ySuperscriptYOffset);
    ifi.fwdStrikeoutSize = Clamp(os2->yStrikeoutSize);
    ifi.fwdStrikeoutPosition = Clamp(os2->yStrikeoutPosition);
    std::memcpy(ifi.achVendId, os2->achVendID, 4);
    std::memcpy(&ifi.panose, os2->panose, sizeof(ifi.panose));
  } else {
    ifi.fwdWinAscender = ifi.fwdTypoAscender = Clamp(face->ascender);
    ifi.fwdWinDescender = Clamp(-face->descender);
    ifi.fwdTypoDescender = Clamp(face->descender);
    ifi.fwdAveCharWidth = Clamp(face->max_advance_width / 2);
    ifi.fwdStrikeoutSize = Clamp(face->underline_thickness);
    ifi.fwdStrikeoutPosition = Clamp(face->ascender / 3);
  }
  ifi.fwdMacAscender = Clamp(hhea ? hhea->Ascender : face->ascender);
  ifi.fwdMacDescender = Clamp(hhea ? hhea->Descender : face->descender);
  ifi.fwdMacLineGap = Clamp(hhea ? hhea->Line_Gap : 0);
  ifi.fwdMaxCharInc = Clamp(face->max_advance_width);
  ifi.fwdUnderscoreSize = Clamp(post ? post->underlineThickness : face->underline_thickness);
  ifi.fwdUnderscorePosition = Clamp(post ? post->underlinePosition : face->underline_position);
  FT_UInt index = 0;
  FT_ULong first = FT_Get_First_Char(face, &index), last = first;
  for (FT_ULong c = first; index != 0; c = FT_Get_Next_Char(face, c, &index)) {
    if (c <= 0xFFFF) last = c;
  }
  ifi.wcFirstChar = static_cast<WCHAR>(std::min<FT_ULong>(first, 0xFFFF));
  ifi.wcLastChar = static_cast<WCHAR>(last);
  ifi.wcDefaultChar = FT_Get_Char_Index(face, 0x25A1) ? 0x25A1 : u' ';
  ifi.wcBreakChar = u' ';
  ifi.chFirstChar = static_cast<BYTE>(std::min<FT_ULong>(first, 0xFF));
  ifi.chLastChar = static_cast<BYTE>(std::min<FT_ULong>(last, 0xFF));
  ifi.chDefaultChar = '?';
  ifi.chBreakChar = ' ';
  ifi.ptlBaseline = {1, 0};
  ifi.ptlAspect = {1, 1};
  ifi.ptlCaret = {0, 1};
  ifi.rclFontBox = {static_cast<LONG>(face->bbox.xMin), static_cast<LONG>(face->bbox.yMax),
                    static_cast<LONG>(face->bbox.xMax), static_cast<LONG>(face->bbox.yMin)};

  std::vector<BYTE> out(sizeof(IFIMETRICS));
  ifi.dpwszFamilyName = static_cast<PTRDIFF>(out.size());
  AppendString(out, family);
  ifi.dpwszStyleName = static_cast<PTRDIFF>(out.size());
  AppendString(out, style);
  ifi.dpwszFaceName = static_cast<PTRDIFF>(out.size());
  AppendString(out, faceName.empty() ? family : faceName);
  ifi.dpwszUniqueName = static_cast<PTRDIFF>(out.size());
  AppendString(out, family + u" " + style);
  ifi.cjThis = static_cast<ULONG>(out.size());
  std::memcpy(out.data(), &ifi, sizeof(ifi));
  return out;
}

}  // namespace k460::engine
