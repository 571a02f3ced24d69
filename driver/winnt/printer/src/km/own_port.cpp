#include "driver/winnt/printer/src/km/own_port.h"

namespace k460::hbgraph {

bool PrintsToOwnPort(const OwnPortInputs& in) {
  const bool plainAddress = in.logAddress.empty() || in.logAddress == in.printerName;
  // An unknown port name would be found in every address.
  if (!in.portName.empty() && in.logAddress.find(in.portName) != std::u16string_view::npos) return true;
  if (in.portName.find(u"FILE:") != std::u16string_view::npos && in.osMajorVersion <= 5 && plainAddress) return true;
  if (in.documentStarted && plainAddress) return true;
  if (in.logAddress.find(u"Port") != std::u16string_view::npos) return true;
  return in.logAddress.empty() && in.pageSent && in.documentHasPages;
}

}  // namespace k460::hbgraph
