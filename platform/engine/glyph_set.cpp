// EngComputeGlyphSet: the glyph set of a single-byte range of a code page.
#include <algorithm>
#include <cstdlib>
#include <utility>
#include <vector>

#include "platform/base/internal.h"
#include "platform/engine/engine.h"
#include "platform/engine/objects.h"

using k460::engine::Fail;

K460_API FD_GLYPHSET* EngComputeGlyphSet(INT nCodePage, INT nFirstChar, INT cChars) {
  if (k460::CallFailsSetError("EngComputeGlyphSet")) return nullptr;
  if (nFirstChar < 0 || cChars <= 0 || nFirstChar + cChars > 256) return Fail(ERROR_INVALID_PARAMETER, nullptr);
  UINT codePage = nCodePage == 0 ? GetACP() : nCodePage == 1 ? GetOEMCP() : static_cast<UINT>(nCodePage);

  // (Unicode character, code) of every code that stands for a character on
  // its own; lead bytes of double-byte code pages do not.
  std::vector<std::pair<WCHAR, HGLYPH>> chars;
  for (INT code = nFirstChar; code < nFirstChar + cChars; ++code) {
    char byte = static_cast<char>(code);
    WCHAR wc = 0;
    if (code == 0) {
      chars.emplace_back(0, 0);
      continue;
    }
    if (MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, &byte, 1, &wc, 1) == 1) chars.emplace_back(wc, code);
  }
  if (chars.empty()) return Fail(ERROR_NO_UNICODE_TRANSLATION, nullptr);
  std::stable_sort(chars.begin(), chars.end(), [](auto& a, auto& b) { return a.first < b.first; });
  chars.erase(std::unique(chars.begin(), chars.end(), [](auto& a, auto& b) { return a.first == b.first; }),
              chars.end());

  std::vector<std::pair<size_t, size_t>> runs;  // [first, end) in chars
  for (size_t i = 0; i < chars.size(); ++i) {
    if (runs.empty() || chars[i].first != chars[i - 1].first + 1) runs.emplace_back(i, i);
    runs.back().second = i + 1;
  }

  size_t header = offsetof(FD_GLYPHSET, awcrun) + runs.size() * sizeof(WCRUN);
  header = (header + alignof(HGLYPH) - 1) / alignof(HGLYPH) * alignof(HGLYPH);
  size_t total = header + chars.size() * sizeof(HGLYPH);
  auto* set = static_cast<FD_GLYPHSET*>(EngAllocMem(FL_ZERO_MEMORY, static_cast<ULONG>(total), 0));
  if (!set) return nullptr;
  set->cjThis = static_cast<ULONG>(total);
  set->flAccel = GS_8BIT_HANDLES;
  set->cGlyphsSupported = static_cast<ULONG>(chars.size());
  set->cRuns = static_cast<ULONG>(runs.size());
  auto* handles = reinterpret_cast<HGLYPH*>(reinterpret_cast<BYTE*>(set) + header);
  WCRUN* runsOut = set->awcrun;  // the record's array runs on past its declared length
  for (size_t r = 0; r < runs.size(); ++r) {
    WCRUN& run = runsOut[r];
    run.wcLow = chars[runs[r].first].first;
    run.cGlyphs = static_cast<USHORT>(runs[r].second - runs[r].first);
    run.phg = handles + runs[r].first;
    for (size_t i = runs[r].first; i < runs[r].second; ++i) handles[i] = chars[i].second;
  }
  return set;
}
