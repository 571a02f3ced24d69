// What passes between the device's transports (HTTP, and later the printer
// port) and its command handling: a request already split into its form
// parts, and the answer with how it is to be delivered.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/outside/command/multipart.h"

namespace k460::device {

using cmdlib::FormPart;

// Commands over the network carry the job's service id and the sender's
// address; over the printer port they carry neither, and name the port's
// current job.
enum class Transport { Network, Port };

struct DeviceRequest {
  Transport transport = Transport::Network;
  std::string path;  // "/upcmd.cgi" or "/updata.cgi"
  std::vector<FormPart> parts;
  std::string peer;  // the sender's address, for the log
};

enum class Delivery { Normal, Drop };

struct DeviceAnswer {
  int httpStatus = 200;
  std::string contentType = "text/xml; charset=UTF-8";
  std::string body;
  Delivery delivery = Delivery::Normal;
  int delayMs = 0;  // the answer leaves this much later
};

// The answer codes of the device (CODE).
inline constexpr int kCodeAccepted = 600;
inline constexpr int kCodeBusyPrinting = 601;
inline constexpr int kCodeBusyScanning = 602;
inline constexpr int kCodeBusyWarmingUp = 603;
inline constexpr int kCodeCreateAgain = 604;
// Refusals.
inline constexpr int kCodeBadDocument = 610;       // not an XML document of the right form
inline constexpr int kCodeUnknownCommand = 611;    // COMMAND/TYPE not known
inline constexpr int kCodeBadTree = 612;           // elements or parts missing, unknown, repeated, out of order
inline constexpr int kCodeBadValue = 613;          // a value outside its keywords or range
inline constexpr int kCodeUnknownJob = 614;        // no open job with that service id
inline constexpr int kCodePageOutOfSequence = 615; // PAGENUMBER / pagenumber not the next page
inline constexpr int kCodeBadPageData = 616;       // the uploaded data does not decode as announced
inline constexpr int kCodeTooManyJobs = 617;       // the device holds as many open jobs as it can
inline constexpr int kCodeRefused = 650;           // refused on request (fault), by default

// The paths of the two endpoints.
inline constexpr char kCommandPath[] = "/upcmd.cgi";
inline constexpr char kDataPath[] = "/updata.cgi";

}  // namespace k460::device
