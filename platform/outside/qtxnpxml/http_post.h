// One HTTP POST through libcurl, bounded in time and in the size of what
// comes back, with the failure sorted into the library's error codes.
#pragma once

#include <cstddef>
#include <string>

#include "platform/base/types.h"

namespace qtxnpxml {

struct HttpPost {
  std::string url;
  std::string contentType;
  std::string body;
  DWORD connectTimeoutMs = 0;
  DWORD totalTimeoutMs = 0;
  std::size_t maxAnswerBytes = 0;
};

struct HttpAnswer {
  DWORD error = 0;   // MNET_ERROR_*; 0 when an answer came (of any status)
  long status = 0;   // HTTP status, 0 when none came
  std::string contentType;
  std::string body;
  std::string detail;  // libcurl's words on a failure
};

HttpAnswer Post(const HttpPost& post);

}  // namespace qtxnpxml
