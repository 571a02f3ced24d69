// The monitor's texts: its own string table, and for the texts that have
// translations, the language library when one is loaded.
#pragma once

#include <string>
#include <vector>

#include "platform/base/base.h"

namespace netmon {

// String `id` of the monitor's own resources (empty when missing).
std::u16string OwnString(UINT id);
// String `id` through the language lookup: the language library's text when
// the library is loaded and has it, else the monitor's own.
std::u16string LanguageString(UINT id);
// The string by the rule that applies to its number.
std::u16string MonitorString(UINT id);

// Fills "%s" and "%d" of a resource text with `args` in order ("%%" is a
// percent sign); a missing argument is empty, and the result is cut to
// `limit` characters. Arguments never act as formats.
std::u16string FormatText(std::u16string_view format, const std::vector<std::u16string>& args, std::size_t limit);

// The monitor's fixed names.
std::u16string MonitorName();   // string 152
std::u16string PortPrefix();    // string 155
std::u16string PortDescription();  // string 151

}  // namespace netmon
