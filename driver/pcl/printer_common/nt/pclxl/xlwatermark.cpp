// Watermarks are not drawn yet: the page goes out without one.
#include "driver/pcl/printer_common/nt/pclxl/xlwatermark.h"

BOOL DrawWatermark(PDEV*) { return TRUE; }
