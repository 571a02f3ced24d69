#include "driver/pcl/printer_common/settings/settings.h"

int EffectiveDuplex(const JobSettings* record) {
  if (!record) return DMDUP_SIMPLEX;
  // Old records have no pvDuplex; the force switch puts the mode in dmDuplex.
  // dmDriverExtra is looked at first, so a short old record is never read
  // beyond its private part.
  const int duplex = LeGet(record->dm.dmDriverExtra) <= kOldPrivateSizeMax || record->pv.pvForceDuplexField != 0
                         ? LeGet(record->dm.dmDuplex)
                         : record->pv.pvDuplex.value();
  // Anything but the two duplex modes (dmDuplex may carry 100 or 101) prints
  // one-sided.
  return duplex == DMDUP_VERTICAL || duplex == DMDUP_HORIZONTAL ? duplex : DMDUP_SIMPLEX;
}
