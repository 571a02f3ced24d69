#include "platform/outside/device/device_job.h"

namespace k460::device {

std::string ServiceIdText(std::uint32_t id) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string text(8, '0');
  for (int i = 7; i >= 0; --i, id >>= 4) text[static_cast<std::size_t>(i)] = kDigits[id & 0xF];
  return text;
}

std::string_view JobStateName(JobState state) {
  switch (state) {
    case JobState::Open: return "PROCEEDING";
    case JobState::Completed: return "COMPLETED";
    case JobState::Failed: return "FAILED";
  }
  return "";
}

}  // namespace k460::device
