// The field table of the PCL drivers' job settings record, JobSettings:
// every DEVMODEW field (dm...), every private field (pv..., and the
// reserved ones), the members of the embedded watermark record
// (pvWatermark.szText, ...) and of the custom papers
// (pvCustomPapers[INDEX].fWidth, ...).
#pragma once

#include <span>

#include "tools/print/record_fields.h"

namespace k460::print {

std::span<const FieldInfo> JobSettingsFields();

}  // namespace k460::print
