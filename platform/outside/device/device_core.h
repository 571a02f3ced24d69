// The emulated K-410/460 device's command handling, shared by its
// transports: the HTTP server of the emulator, and a device model on the
// printer port. It reads each command and upload, checks it, carries it out
// on its jobs, keeps the jobs in a folder (pages as PNG images, fax jobs'
// TIFF files, a readable log of each job's commands and settings) and
// answers as the device does, or as the faults asked for say.
//
// One command is handled at a time, as on the device; every function may be
// called from any thread.
#pragma once

#include <atomic>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <memory>
#include <mutex>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "platform/outside/device/answer_writer.h"
#include "platform/outside/device/command_reading.h"
#include "platform/outside/device/device_job.h"
#include "platform/outside/device/device_types.h"
#include "platform/outside/device/fault_plan.h"

namespace k460::device {

// What arrived, as tests look at it.
struct ReceivedRequest {
  Transport transport = Transport::Network;
  std::string path;
  std::string document;  // the command's XML document, "" for an upload
  std::vector<std::pair<std::string, std::string>> params;
  bool hasFile = false;
  std::string fileName;
  std::size_t fileSize = 0;
};

class DeviceCore {
 public:
  explicit DeviceCore(std::filesystem::path jobsFolder);

  // Creates the jobs folder; "" or why it cannot be used.
  std::string Prepare();
  const std::filesystem::path& jobsFolder() const { return jobsFolder_; }

  DeviceAnswer Handle(const DeviceRequest& request);
  // The time Handle has spent so far, waiting for its turn included: what a
  // real device would spend on its own hardware (benchmarks subtract it).
  double HandlingSeconds() const { return handlingNs_.load() / 1e9; }

  FaultPlan& faults() { return faults_; }
  void SetFaxUsers(std::vector<FaxUser> users);
  // Users 1..count with made-up numbers and names.
  static std::vector<FaxUser> SampleFaxUsers(int count);

  std::vector<ReceivedRequest> Received() const;
  void ClearReceived();
  // Copies of the jobs, newest first.
  std::vector<DeviceJob> Jobs() const;

  std::string StatusPage() const;
  std::string FaxLoginPage(std::uint32_t serviceId) const;
  // The file `name` of the job kept in `folder` that the pages link to; an
  // empty path for anything else.
  std::filesystem::path JobFile(std::string_view folder, std::string_view name) const;

  // Limits that keep a long-running device bounded.
  static constexpr std::size_t kMaxOpenJobs = 16;
  static constexpr std::size_t kMaxKeptJobs = 200;
  static constexpr int kMaxPages = 9999;
  static constexpr int kMaxFaxPages = 999;
  static constexpr std::size_t kMaxReceived = 1000;

 private:
  struct Outcome {
    AnswerContent answer;
    std::shared_ptr<DeviceJob> job;
  };

  DeviceAnswer HandleCommand(const DeviceRequest& request);
  DeviceAnswer HandleUpload(const DeviceRequest& request);
  Outcome Execute(const Command& command, const DeviceRequest& request);
  Outcome Upload(const DeviceRequest& request, const FormPart& file, std::optional<std::uint32_t> serviceId,
                 int pageNumber);
  AnswerContent UploadPage(DeviceJob& job, const FormPart& file, int pageNumber);
  AnswerContent UploadFax(DeviceJob& job, const FormPart& file, int pageNumber);
  std::shared_ptr<DeviceJob> NewJob(const Command& command, Transport transport, std::string* failure);
  std::shared_ptr<DeviceJob> OpenJob(Transport transport, std::optional<std::uint32_t> serviceId) const;
  DeviceAnswer Finish(const AnswerContent& content, std::string_view target, const DeviceRequest& request,
                      const std::shared_ptr<DeviceJob>& job, std::string_view what);
  void Record(const DeviceRequest& request);
  void Log(const std::shared_ptr<DeviceJob>& job, const std::string& text);
  std::filesystem::path FolderOf(const DeviceJob& job) const { return jobsFolder_ / job.folder; }

  const std::filesystem::path jobsFolder_;
  mutable std::mutex mutex_;
  std::vector<std::shared_ptr<DeviceJob>> jobs_;  // oldest first
  int nextSequence_ = 1;
  std::mt19937 random_;
  FaultPlan faults_;
  std::vector<FaxUser> users_;
  std::deque<ReceivedRequest> received_;
  std::atomic<std::uint64_t> handlingNs_{0};
};

}  // namespace k460::device
