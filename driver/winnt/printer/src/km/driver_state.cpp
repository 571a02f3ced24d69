#include "driver/winnt/printer/src/km/driver_state.h"

namespace k460::hbgraph {

DriverState& State() {
  static DriverState state;
  return state;
}

void ResetDocumentState() { State().document = DocumentState{}; }

DriverLock::DriverLock() : held_(State().lockReady) {
  if (held_) EnterCriticalSection(&State().lock);
}

DriverLock::~DriverLock() {
  if (held_) LeaveCriticalSection(&State().lock);
}

}  // namespace k460::hbgraph
