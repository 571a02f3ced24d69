// Whether a device prints to the printer's own port. Only then does the
// engine see the scaled page of n-up, zoom and fit-to-paper printing; a
// device for another target (an information context, a preview) gets the
// plain page.
#pragma once

#include <string_view>

#include "platform/base/types.h"

namespace k460::hbgraph {

struct OwnPortInputs {
  std::u16string_view portName;     // the printer's port (printer information level 2)
  std::u16string_view logAddress;   // as DrvEnablePDEV got it
  std::u16string_view printerName;  // as DrvEnablePDEV got it
  DWORD osMajorVersion = 6;
  bool documentStarted = false;
  bool pageSent = false;
  bool documentHasPages = false;
};

bool PrintsToOwnPort(const OwnPortInputs& in);

}  // namespace k460::hbgraph
