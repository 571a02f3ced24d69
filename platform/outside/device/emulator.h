// The emulated K-410/460 device as a network peer: an HTTP server on the
// loopback address with the device's command ("/upcmd.cgi") and data
// ("/updata.cgi") endpoints, its status page ("/"), the jobs' files
// ("/jobs/<job>/<file>"), the fax login page ("/FAXLOGIN.HTM?SERVICE=id")
// and a control endpoint for tests and people:
//   POST   /control/faults     body: faults in the text form of fault_plan.h
//   GET    /control/faults     the faults still pending
//   DELETE /control/faults     no more faults
//   POST   /control/offline?ms=N   refuse connections for N ms (0: until the
//                                  emulator is told otherwise through the API)
//   POST   /control/users?count=N  the fax user list answers N users
// Tests run it in-process; `k460 device` runs it as a program.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "platform/outside/device/device_core.h"

namespace httplib {
class Server;
}

namespace k460::device {

struct EmulatorOptions {
  int port = 0;  // 0: a free port, chosen when started
  std::filesystem::path jobsFolder;
  std::size_t maxUpload = 64u << 20;  // bytes of one request
};

class Emulator {
 public:
  explicit Emulator(EmulatorOptions options);
  ~Emulator();
  Emulator(const Emulator&) = delete;
  Emulator& operator=(const Emulator&) = delete;

  // "" once it listens on 127.0.0.1, else why not.
  std::string Start();
  void Stop();

  int port() const { return port_; }
  std::string address() const { return "127.0.0.1"; }
  std::string url() const { return "http://127.0.0.1:" + std::to_string(port_) + "/"; }
  DeviceCore& core() { return core_; }

  // Connections are refused for `ms` milliseconds (0: until GoOnline). Both
  // return once the change has taken effect.
  void GoOffline(unsigned ms);
  void GoOnline();
  bool online() const;

 private:
  struct Change {
    bool offline = false;
    unsigned ms = 0;
  };
  std::string Listen();
  void Silence();
  void Supervise();
  void Post(Change change, bool wait);
  void Route(httplib::Server& server);
  // Waits `ms` unless the server is being stopped.
  void Delay(int ms);

  const EmulatorOptions options_;
  DeviceCore core_;
  int port_ = 0;

  // The server and whether it runs. Held while the server starts or stops,
  // which waits for the requests in progress: no request takes it.
  mutable std::mutex mutex_;
  std::unique_ptr<httplib::Server> server_;
  std::thread listener_;
  bool online_ = false;

  // Changes asked for, and the supervisor that carries them out. A request
  // (the control endpoint) may ask, so this lock is never held for long.
  std::mutex requestMutex_;
  std::condition_variable changed_;
  std::thread supervisor_;
  bool started_ = false;
  bool stopping_ = false;
  bool pending_ = false;
  Change change_;
  std::uint64_t requested_ = 0, applied_ = 0;

  std::mutex delayMutex_;
  std::condition_variable delayWake_;
  bool interrupting_ = false;
};

}  // namespace k460::device
