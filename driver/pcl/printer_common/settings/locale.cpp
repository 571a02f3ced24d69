#include "driver/pcl/printer_common/settings/settings.h"
#include "platform/base/base.h"

bool UsesLetterPaper() {
  const LANGID lang = GetUserDefaultLangID();
  const WORD primary = PRIMARYLANGID(lang);
  const WORD sub = SUBLANGID(lang);
  return (primary == LANG_ENGLISH && (sub == 1 /* United States */ || sub == 4 /* Canada */)) ||
         (primary == LANG_FRENCH && sub == 3 /* Canada */);
}
