// The device's answers as XML documents, and the faults that spoil them.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/outside/device/device_types.h"
#include "platform/outside/device/fault_plan.h"

namespace k460::device {

struct FaxUser {
  int handle = 0;
  std::string id;    // user number
  std::string name;  // UTF-8
};

struct AnswerContent {
  bool server = false;  // a server query's answer (root SERVER), else a job answer (root JOB)
  std::string command;
  std::optional<std::string> code;
  std::optional<std::string> serviceId;
  std::vector<std::pair<std::string, std::string>> details;  // STATUS, PAGES, ...
  std::string reason;                                        // why a command was refused
  std::vector<FaxUser> users;
};

AnswerContent CodeAnswer(std::string command, int code, std::string reason = {});

// Job answers:  JOB/{COMMAND, RESPONCE/{CODE, SERVICEID, details..., REASON}}
// Query answers: SERVER/{COMMAND, CODE, USER/{USERHANDLE, USERID, USERNAME}...}
DeviceAnswer WriteAnswer(const AnswerContent& content);

// The answer as the fault makes it (a fault that spoils answers only).
DeviceAnswer SpoiledAnswer(AnswerContent content, const Fault& fault);

}  // namespace k460::device
