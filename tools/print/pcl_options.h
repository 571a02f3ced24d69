// The lp-style options of the PCL drivers, mapped onto their job settings
// record (JobSettings). tools/print/README.md lists every option with its
// values and the fields it sets. Typical use in `k460 print`:
//
//   JobSettings record;  // SettingsDefaults, then SettingsMerge of the printer's defaults
//   OptionMapper<JobSettings> options(PclOptionTable());
//   options.AddOption("copies", "3");          // -n 3
//   options.AddOptions("media=A4 sides=two-sided-long-edge");  // -o ...
//   options.AddFieldAssignment("pvGutterFront=0.5");           // --set ...
//   options.Apply(record);                     // throws OptionError
//   ReadOptions read{PclPageGeometry(record)};
#pragma once

#include "driver/pcl/printer_common/settings/job_settings.h"
#include "tools/print/media.h"
#include "tools/print/option_table.h"

namespace k460::print {

const OptionTable<JobSettings>& PclOptionTable();

// The page the documents are laid out on: the record's paper (a custom
// paper by its width and length) in its orientation.
PageGeometry PclPageGeometry(const JobSettings& record);

}  // namespace k460::print
