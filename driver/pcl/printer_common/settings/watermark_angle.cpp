#include <cmath>

#include "driver/pcl/printer_common/settings/settings.h"

void UpdateWatermarkAngle(JobSettings& record) {
  const double radians = record.pv.pvWatermark.lAngle * kWatermarkPi / 180.0;
  record.pv.pvWatermarkSin = static_cast<float>(std::sin(radians));
  record.pv.pvWatermarkCos = static_cast<float>(std::cos(radians));
}
