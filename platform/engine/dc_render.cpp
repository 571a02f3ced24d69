#include "platform/engine/dc_state.h"

namespace k460::engine {
bool RenderCommand(DeviceState&, const RecordedCommand&, POINTL) { return Fail(ERROR_NOT_SUPPORTED, false); }
}  // namespace k460::engine
