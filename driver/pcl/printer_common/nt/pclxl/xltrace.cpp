#include "driver/pcl/printer_common/nt/pclxl/xltrace.h"

void XlTrace(const char*, ...) {}
