// What the test monitors record, read by the tests through GetProcAddress.
#pragma once

#include <string>
#include <vector>

#include "platform/base/types.h"

struct TestMonitorRecord {
  std::string events;                  // one line per call: "OpenPort TEST1:", "WritePort 7", ...
  std::string data;                    // the bytes WritePort took
  std::vector<std::u16string> ports;   // the ports it lists
  int deleteJobAfterWrites = -1;       // >= 0: delete the job through SetJobW after that many writes
  int writeLimit = 0;                  // > 0: take at most this many bytes a call
  bool failWrites = false;
  bool sawDeleting = false;            // GetJobW showed the job being deleted
};

using PFN_TestMonitorRecord = TestMonitorRecord* (*)();
