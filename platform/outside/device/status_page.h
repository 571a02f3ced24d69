// The device's own web pages, as the embedded web server of a
// multifunction printer shows them: the job list with each job's settings
// and page thumbnails (newest first), and the fax login page that the
// network monitor opens for a fax job.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/outside/device/device_job.h"

namespace k460::device {

// Texts from the other side are escaped; nothing is taken as HTML.
std::string HtmlEscape(std::string_view text);

std::string StatusPageHtml(const std::vector<DeviceJob>& newestFirst);
// The fax job's page; a "no such fax job" page for null.
std::string FaxLoginPageHtml(const DeviceJob* job);

}  // namespace k460::device
