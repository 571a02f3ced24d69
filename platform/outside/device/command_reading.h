// The device's reading of a command document: the element tree of each
// command checked letter for letter (names, nesting, order, the sections the
// command must carry, the values' keywords and ranges), and what the
// command says taken out of it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/outside/device/device_types.h"

namespace k460::device {

enum class CommandName { GetStatus, Create, Add, End, CreateFax, GetUserId };
// The fault target of a command ("GETSTATUS", ..., "FAX", "GETUSERID").
std::string_view TargetOf(CommandName name);
// What the answer's COMMAND says.
std::string_view AnswerNameOf(CommandName name);

// The page settings of a CREATE or ADD: IMAGEINFO and OUTPUTINFO.
struct PageSettings {
  int width = 0;
  int height = 0;
  int resolution = 0;
  int angle = 0;
  // Every element of both sections, in order, as sent.
  std::vector<std::pair<std::string, std::string>> values;
};

struct Command {
  CommandName name = CommandName::GetStatus;
  bool recognized = false;  // COMMAND and TYPE name a known command
  std::string jobName, computer, senderIp;  // UTF-8
  std::optional<std::uint32_t> serviceId;
  std::optional<int> pageNumber;
  PageSettings settings;  // CREATE, ADD
  int fileSizeKb = 0;     // CREATE FAX
  // The fax parameters of CREATE FAX, in the order sent.
  std::vector<std::pair<std::string, std::string>> faxParams;
};

struct Refusal {
  int code = 0;  // 0: none
  std::string reason;
};

// Largest page the device decodes, in pixels.
inline constexpr std::uint64_t kMaxPagePixels = 300'000'000;

// Reads the command document and the form's other parts (the fax
// parameters); a refusal when anything is wrong.
Refusal ReadCommand(std::string_view document, const std::vector<const FormPart*>& params, Transport transport,
                    Command* command);

// Eight hexadecimal digits, the form of a service id.
std::optional<std::uint32_t> ReadServiceId(std::string_view text);

}  // namespace k460::device
