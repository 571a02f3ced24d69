// A job as the device keeps it: what CREATE (or CREATE FAX) said, the
// settings that came with it and with each ADD, and the pages received.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "platform/outside/device/command_reading.h"

namespace k460::device {

enum class JobState { Open, Completed, Failed };
std::string_view JobStateName(JobState state);

struct PageRecord {
  int number = 0;
  int width = 0, height = 0, resolution = 0, angle = 0;
  std::string image;      // file names in the job's folder
  std::string thumbnail;
  int thumbnailWidth = 0, thumbnailHeight = 0;
};

struct SettingsBlock {
  int fromPage = 1;  // the settings apply from this page on
  PageSettings settings;
};

struct DeviceJob {
  int sequence = 0;          // 1 for the first job of the folder
  std::uint32_t serviceId = 0;
  bool fax = false;
  Transport transport = Transport::Network;
  std::string name, computer, senderIp;  // UTF-8
  std::string created;                   // local time, for people
  JobState state = JobState::Open;
  std::string outcome;                   // why a job failed
  std::vector<SettingsBlock> settings;
  std::vector<PageRecord> pages;
  std::vector<std::pair<std::string, std::string>> faxParams;
  int announcedKb = 0;   // CREATE FAX's FILESIZE
  std::string folder;    // the folder's name in the jobs folder
  std::string tiff;      // a fax job's TIFF file, once received
};

std::string ServiceIdText(std::uint32_t id);

}  // namespace k460::device
