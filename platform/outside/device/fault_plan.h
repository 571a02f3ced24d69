// Faults that tests and the person at the emulator ask for: answers that a
// real device gives when it is busy or unhappy, and answers that no good
// device gives. Each fault applies to a number of requests of one target.
//
// Text form: KIND[=VALUE][@TARGET][*TIMES], e.g. "busy=602@GETSTATUS*3",
// "refuse@ADD", "delay=5000", "drop@DATA*always". TARGET is GETSTATUS,
// CREATE, ADD, END, FAX (CREATE FAX), GETUSERID, DATA (uploads) or "*" (any,
// the default); TIMES is a count (default 1) or "always".
#pragma once

#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace k460::device {

enum class FaultKind {
  // Instead of carrying the command out:
  Busy,          // CODE 601..603 (VALUE, default 601)
  Refuse,        // CODE VALUE (default 650)
  Retry,         // CODE 604
  // After carrying it out, the answer is spoiled:
  NoCode,        // no CODE element
  NoServiceId,   // no SERVICEID element
  BadCode,       // CODE that is no number
  BadServiceId,  // SERVICEID that is no hexadecimal number
  Drop,          // the connection is dropped before the answer is complete
  Delay,         // the answer comes VALUE ms late (default 3000)
  Garbage,       // a body that is not XML
  Huge,          // an XML body of 2 MiB
  HttpError,     // HTTP status VALUE (default 500)
  WrongType,     // the answer is text/plain
};

struct Fault {
  FaultKind kind = FaultKind::Busy;
  int value = 0;
  std::string target = "*";
  int times = 1;  // < 0: always
};

// The fault of `text`, or nothing with the reason in *error.
std::optional<Fault> ParseFault(std::string_view text, std::string* error);
std::string FaultText(const Fault& fault);
// Whether the fault replaces the command (true) or spoils its answer.
bool ReplacesCommand(FaultKind kind);

class FaultPlan {
 public:
  void Add(const Fault& fault);
  // Several faults, separated by commas, blanks or lines; "" or the first
  // that cannot be read (then none is added).
  std::string AddText(std::string_view text);
  void Clear();
  std::vector<Fault> Pending() const;
  // The first pending fault of the phase that applies to `target`; it is
  // used up once its count is.
  std::optional<Fault> Take(std::string_view target, bool replacing);

 private:
  mutable std::mutex mutex_;
  std::vector<Fault> faults_;
};

}  // namespace k460::device
