// EngCheckAbort: whether the job printing on a surface has been cancelled,
// by the host (DeviceContext::Cancel) or in the spooler.
#include <vector>

#include "platform/base/internal.h"
#include "platform/engine/device.h"
#include "platform/engine/engine.h"
#include "platform/engine/surface.h"
#include "platform/spooler/spooler.h"

using namespace k460::engine;

namespace {

bool SpoolerJobCancelled(const Device& device) {
  DWORD needed = 0;
  GetJobW(device.printer, device.jobId, 1, nullptr, 0, &needed);
  if (needed == 0) return false;
  std::vector<BYTE> buffer(needed);
  if (!GetJobW(device.printer, device.jobId, 1, buffer.data(), needed, &needed)) return false;
  DWORD status = reinterpret_cast<const JOB_INFO_1W*>(buffer.data())->Status;
  return status & (JOB_STATUS_DELETING | JOB_STATUS_DELETED);
}

}  // namespace

K460_API BOOL EngCheckAbort(SURFOBJ* pso) {
  auto surface = FindSurface(pso);
  if (!surface) return Fail(ERROR_INVALID_PARAMETER, FALSE);
  auto device = surface->device.lock();
  if (!device) return FALSE;
  if (!device->cancelled && device->spoolerJob && device->jobId && SpoolerJobCancelled(*device)) {
    device->cancelled = true;
  }
  return device->cancelled ? TRUE : FALSE;
}
