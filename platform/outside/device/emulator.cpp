#include "platform/outside/device/emulator.h"

#include <httplib.h>

#include <atomic>
#include <charconv>
#include <chrono>
#include <fstream>
#include <iterator>

#include "platform/outside/device/device_job.h"

namespace k460::device {
namespace {

void PlainText(httplib::Response& response, int status, const std::string& text) {
  response.status = status;
  response.set_content(text, "text/plain; charset=UTF-8");
}

std::string ContentTypeOf(const std::string& name) {
  if (name.ends_with(".png")) return "image/png";
  if (name.ends_with(".tif")) return "image/tiff";
  return "text/plain; charset=UTF-8";
}

}  // namespace

Emulator::Emulator(EmulatorOptions options) : options_(std::move(options)), core_(options_.jobsFolder) {}

Emulator::~Emulator() { Stop(); }

std::string Emulator::Start() {
  std::lock_guard request(requestMutex_);
  if (started_) return "";
  if (std::string failure = core_.Prepare(); !failure.empty()) return failure;
  {
    std::lock_guard lock(mutex_);
    port_ = options_.port;
    if (std::string failure = Listen(); !failure.empty()) return failure;
  }
  started_ = true;
  stopping_ = false;
  supervisor_ = std::thread([this] { Supervise(); });
  return "";
}

void Emulator::Stop() {
  {
    std::lock_guard request(requestMutex_);
    if (!started_) return;
    stopping_ = true;
  }
  changed_.notify_all();
  supervisor_.join();
  {
    std::lock_guard lock(mutex_);
    Silence();
  }
  std::lock_guard request(requestMutex_);
  started_ = false;
}

bool Emulator::online() const {
  std::lock_guard lock(mutex_);
  return online_;
}

void Emulator::GoOffline(unsigned ms) { Post({true, ms}, true); }

void Emulator::GoOnline() { Post({false, 0}, true); }

void Emulator::Post(Change change, bool wait) {
  std::unique_lock request(requestMutex_);
  if (!started_ || stopping_) return;
  change_ = change;
  pending_ = true;
  const std::uint64_t ticket = ++requested_;
  changed_.notify_all();
  if (wait) changed_.wait(request, [&] { return applied_ >= ticket || stopping_; });
}

// Called with mutex_ held.
std::string Emulator::Listen() {
  auto server = std::make_unique<httplib::Server>();
  Route(*server);
  server->set_payload_max_length(options_.maxUpload);
  server->set_keep_alive_timeout(1);
  server->set_read_timeout(5, 0);
  server->set_write_timeout(5, 0);
  if (port_ == 0) {
    port_ = server->bind_to_any_port("127.0.0.1");
    if (port_ <= 0) {
      port_ = 0;
      return "no free port on 127.0.0.1";
    }
  } else if (!server->bind_to_port("127.0.0.1", port_)) {
    return "cannot listen on 127.0.0.1:" + std::to_string(port_);
  }
  httplib::Server* running = server.get();
  server_ = std::move(server);
  auto ended = std::make_shared<std::atomic<bool>>(false);
  listener_ = std::thread([running, ended] {
    running->listen_after_bind();
    *ended = true;
  });
  // A stop before the server runs would be lost and leave it running for
  // ever: return only once it runs (connections queue meanwhile).
  while (!running->is_running() && !*ended) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  online_ = true;
  return "";
}

// Called with mutex_ held. Answers being delayed are let go at once.
void Emulator::Silence() {
  if (!server_) return;
  {
    std::lock_guard wake(delayMutex_);
    interrupting_ = true;
  }
  delayWake_.notify_all();
  server_->stop();
  listener_.join();
  server_.reset();
  online_ = false;
  std::lock_guard wake(delayMutex_);
  interrupting_ = false;
}

void Emulator::Supervise() {
  auto backAt = std::chrono::steady_clock::time_point::max();
  std::unique_lock request(requestMutex_);
  for (;;) {
    auto ready = [&] { return stopping_ || pending_; };
    if (backAt == std::chrono::steady_clock::time_point::max()) {
      changed_.wait(request, ready);
    } else {
      changed_.wait_until(request, backAt, ready);
    }
    if (stopping_) break;
    const bool asked = pending_;
    const Change change = change_;
    const std::uint64_t ticket = requested_;
    pending_ = false;
    request.unlock();
    {
      std::lock_guard lock(mutex_);
      if (asked && change.offline) {
        Silence();
        backAt = change.ms ? std::chrono::steady_clock::now() + std::chrono::milliseconds(change.ms)
                           : std::chrono::steady_clock::time_point::max();
      } else if (asked || std::chrono::steady_clock::now() >= backAt) {
        backAt = std::chrono::steady_clock::time_point::max();
        if (!online_) Listen();
      }
    }
    request.lock();
    if (asked) applied_ = ticket;
    changed_.notify_all();
  }
  changed_.notify_all();
}

void Emulator::Delay(int ms) {
  std::unique_lock lock(delayMutex_);
  delayWake_.wait_for(lock, std::chrono::milliseconds(ms), [&] { return interrupting_; });
}

void Emulator::Route(httplib::Server& server) {
  auto endpoint = [this](const httplib::Request& req, httplib::Response& res) {
    if (!req.is_multipart_form_data()) {
      PlainText(res, 415, "the device takes multipart/form-data\n");
      return;
    }
    DeviceRequest request;
    request.transport = Transport::Network;
    request.path = req.path;
    request.peer = req.remote_addr;
    for (const auto& [name, part] : req.files)
      request.parts.push_back({part.name, part.filename, !part.filename.empty(), part.content_type, part.content});
    DeviceAnswer answer = core_.Handle(request);
    if (answer.delayMs > 0) Delay(answer.delayMs);
    res.status = answer.httpStatus;
    if (answer.delivery == Delivery::Drop) {
      // The headers go out, then the connection ends before any of the body.
      res.set_chunked_content_provider(answer.contentType, [](std::size_t, httplib::DataSink&) { return false; });
      return;
    }
    res.set_content(answer.body, answer.contentType);
  };
  server.Post(kCommandPath, endpoint);
  server.Post(kDataPath, endpoint);

  server.Get("/", [this](const httplib::Request&, httplib::Response& res) {
    res.set_content(core_.StatusPage(), "text/html; charset=UTF-8");
  });
  server.Get("/FAXLOGIN.HTM", [this](const httplib::Request& req, httplib::Response& res) {
    std::string service = req.get_param_value("SERVICE");
    std::uint32_t id = 0;
    bool known = !service.empty() && service.size() <= 8;
    for (char c : service) {
      int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
      if (digit < 0) known = false;
      id = (id << 4) | static_cast<std::uint32_t>(digit & 0xF);
    }
    res.set_content(core_.FaxLoginPage(known ? id : 0), "text/html; charset=UTF-8");
  });
  server.Get(R"(/jobs/([^/]+)/([^/]+))", [this](const httplib::Request& req, httplib::Response& res) {
    std::filesystem::path file = core_.JobFile(req.matches[1].str(), req.matches[2].str());
    std::ifstream in(file, std::ios::binary);
    if (file.empty() || !in) return PlainText(res, 404, "no such file\n");
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    res.set_content(bytes, ContentTypeOf(req.matches[2].str()));
  });

  server.Post("/control/faults", [this](const httplib::Request& req, httplib::Response& res) {
    std::string failure = core_.faults().AddText(req.body);
    PlainText(res, failure.empty() ? 200 : 400, failure.empty() ? "ok\n" : failure + "\n");
  });
  server.Get("/control/faults", [this](const httplib::Request&, httplib::Response& res) {
    std::string text;
    for (const Fault& fault : core_.faults().Pending()) text += FaultText(fault) + "\n";
    PlainText(res, 200, text);
  });
  server.Delete("/control/faults", [this](const httplib::Request&, httplib::Response& res) {
    core_.faults().Clear();
    PlainText(res, 200, "ok\n");
  });
  server.Post("/control/offline", [this](const httplib::Request& req, httplib::Response& res) {
    std::string ms = req.get_param_value("ms");
    unsigned value = 0;
    auto [end, error] = std::from_chars(ms.data(), ms.data() + ms.size(), value);
    if (ms.empty() || error != std::errc() || end != ms.data() + ms.size() || value > 3'600'000)
      return PlainText(res, 400, "ms=N with N from 0 to 3600000\n");
    // Taking effect after this answer: the server cannot stop from inside a request.
    Post({true, value}, false);
    PlainText(res, 202, "going offline\n");
  });
  server.Post("/control/users", [this](const httplib::Request& req, httplib::Response& res) {
    std::string count = req.get_param_value("count");
    int value = -1;
    std::from_chars(count.data(), count.data() + count.size(), value);
    if (value < 0 || value > 1000) return PlainText(res, 400, "count=N with N from 0 to 1000\n");
    core_.SetFaxUsers(DeviceCore::SampleFaxUsers(value));
    PlainText(res, 200, "ok\n");
  });

  server.set_exception_handler([](const httplib::Request&, httplib::Response& res, std::exception_ptr) {
    PlainText(res, 500, "the device failed on this request\n");
  });
}

}  // namespace k460::device
