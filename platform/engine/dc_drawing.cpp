#include "platform/engine/dc_state.h"

namespace k460::engine {
bool DeviceContext::FillRect(const RECTL&, COLORREF) { return Fail(ERROR_NOT_SUPPORTED, false); }
bool DeviceContext::PatBlt(const RECTL&, const Brush&, BYTE) { return Fail(ERROR_NOT_SUPPORTED, false); }
bool DeviceContext::DrawImage(const Image&, const RECTL&, const RECTL*, BYTE, const Brush*) {
  return Fail(ERROR_NOT_SUPPORTED, false);
}
}  // namespace k460::engine
