// Requests that reach the device through the printer port instead of the
// network: the same HTTP request bytes that the port command library hands
// out in pieces, read back into a DeviceRequest for DeviceCore.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/outside/device/device_types.h"

namespace k460::device {

enum class PortRequestStatus { Complete, Incomplete, Bad };

struct PortRequestResult {
  PortRequestStatus status = PortRequestStatus::Incomplete;
  std::string error;         // Bad: what is wrong
  std::size_t consumed = 0;  // Complete: the request's bytes
};

// Reads the request at the front of `bytes`: a POST with a Content-Length
// of at most `maxBody` and a multipart/form-data body. Headers beyond 16 KiB
// are bad, so what a port delivers is never held unbounded.
PortRequestResult ReadPortRequest(std::string_view bytes, std::size_t maxBody, DeviceRequest* request);

}  // namespace k460::device
