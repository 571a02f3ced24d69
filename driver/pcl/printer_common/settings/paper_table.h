// The paper codes the merge accepts, in the order whose position is stored
// as pvPaperIndex, and the range of custom paper codes.
#pragma once

#include "driver/pcl/printer_common/settings/job_settings.h"

inline constexpr SHORT kPaperTable[] = {
    DMPAPER_LETTER, kPaperHalfLetter, DMPAPER_LEGAL, 4 /* Ledger */, DMPAPER_A3, DMPAPER_A4, DMPAPER_A5,
    70 /* A6 */, DMPAPER_B4, DMPAPER_B5, 60 /* F4 */, kPaper8K, kPaper16K, 7 /* Executive */,
    43 /* postcard */, 69 /* double postcard */, 27 /* DL */, kPaperCom10, 37 /* Monarch */,
    74 /* Chou-4 */, 71 /* Kaku-2 */};
inline constexpr int kPaperTableCount = sizeof(kPaperTable) / sizeof(kPaperTable[0]);
static_assert(kPaperTableCount == 21);

// Position of `code` in kPaperTable, or -1.
constexpr int FindPaperIndex(int code) {
  for (int i = 0; i < kPaperTableCount; ++i)
    if (kPaperTable[i] == code) return i;
  return -1;
}
static_assert(FindPaperIndex(DMPAPER_LETTER) == 0 && FindPaperIndex(DMPAPER_A4) == 5);

constexpr bool IsCustomPaperCode(int code) { return code >= kFirstCustomPaperCode && code <= kLastCustomPaperCode; }
