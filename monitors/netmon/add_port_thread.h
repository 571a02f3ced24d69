// The add-port thread: it writes and deletes port values in the registry
// with the process's own identity, because the threads that call AddPort
// and DeletePort act for the user. It polls for one request of each kind
// every 10 ms; requests are issued under the spooler semaphore.
#pragma once

#include <string>

namespace netmon {

// Starts the thread unless it runs; false when it cannot be started.
bool StartAddPortThread();
// Tells the thread to end and waits for it (for a bounded time).
void StopAddPortThread();
bool AddPortThreadRuns();

// Creates or deletes the port's registry value through the thread; on the
// calling thread when the thread does not run. False when the registry step
// failed or the thread did not answer in time.
bool RequestCreatePortValue(const std::u16string& portName);
bool RequestDeletePortValue(const std::u16string& portName);

}  // namespace netmon
