#include "platform/outside/device/device_core.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <ctime>
#include <fstream>
#include <span>

#include "platform/outside/device/fax_tiff.h"
#include "platform/outside/device/mmr_decoder.h"
#include "platform/outside/device/page_images.h"
#include "platform/outside/device/status_page.h"

namespace k460::device {
namespace {

std::string LocalTime() {
  std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
  std::tm parts{};
  localtime_r(&now, &parts);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &parts);
  return text;
}

std::string Numbered(const char* stem, int number, const char* extension) {
  char text[48];
  std::snprintf(text, sizeof text, "%s-%03d.%s", stem, number, extension);
  return text;
}

// The parts of an upload, or why they are wrong.
struct UploadParts {
  const FormPart* serviceId = nullptr;
  const FormPart* pageNumber = nullptr;
  const FormPart* file = nullptr;
};

std::string SortUploadParts(const std::vector<FormPart>& parts, UploadParts* sorted) {
  for (const FormPart& part : parts) {
    const FormPart** slot = part.name == "serviceid"    ? &sorted->serviceId
                            : part.name == "pagenumber" ? &sorted->pageNumber
                            : part.name == "file"       ? &sorted->file
                                                        : nullptr;
    if (!slot) return "an upload with the unknown part \"" + part.name + "\"";
    if (*slot) return "an upload with two parts \"" + part.name + "\"";
    if (part.isFile != (slot == &sorted->file)) return "the part \"" + part.name + "\" is of the wrong kind";
    *slot = &part;
  }
  if (!sorted->file) return "an upload without its file";
  if (!sorted->pageNumber) return "an upload without pagenumber";
  return "";
}

std::optional<int> PageNumberOf(const std::string& text) {
  int value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size() || value < 0 || value > 99999)
    return std::nullopt;
  return value;
}

std::string Describe(const DeviceRequest& request) {
  std::string text;
  for (const FormPart& part : request.parts) {
    if (part.name == "command" && !part.isFile) {
      text += part.data;
      if (!text.empty() && text.back() != '\n') text += '\n';
    } else if (part.isFile) {
      text += "  file " + part.filename + " (" + std::to_string(part.data.size()) + " bytes)\n";
    } else {
      text += "  " + part.name + " = " + part.data.substr(0, 256) + "\n";
    }
  }
  return text;
}

}  // namespace

DeviceCore::DeviceCore(std::filesystem::path jobsFolder)
    : jobsFolder_(std::move(jobsFolder)), random_(std::random_device{}()), users_(SampleFaxUsers(3)) {}

std::string DeviceCore::Prepare() {
  std::error_code error;
  std::filesystem::create_directories(jobsFolder_, error);
  if (error) return "cannot create the jobs folder " + jobsFolder_.string() + ": " + error.message();
  // Numbering goes on after the jobs already in the folder.
  for (const auto& entry : std::filesystem::directory_iterator(jobsFolder_, error)) {
    std::string name = entry.path().filename().string();
    int sequence = 0;
    auto [end, failed] = std::from_chars(name.data(), name.data() + name.size(), sequence);
    if (failed == std::errc() && end != name.data() && *end == '-') nextSequence_ = std::max(nextSequence_, sequence + 1);
  }
  return "";
}

std::vector<FaxUser> DeviceCore::SampleFaxUsers(int count) {
  static const char* kNames[] = {"山田 太郎", "Sato Hanako", "鈴木 一郎", "Tanaka Jiro", "高橋 美咲"};
  std::vector<FaxUser> users;
  for (int i = 1; i <= count; ++i) {
    char number[16];
    std::snprintf(number, sizeof number, "%04d", i);
    users.push_back({i, number, std::string(kNames[(i - 1) % 5]) + (i > 5 ? " " + std::to_string(i) : "")});
  }
  return users;
}

void DeviceCore::SetFaxUsers(std::vector<FaxUser> users) {
  std::lock_guard lock(mutex_);
  users_ = std::move(users);
}

std::vector<ReceivedRequest> DeviceCore::Received() const {
  std::lock_guard lock(mutex_);
  return {received_.begin(), received_.end()};
}

void DeviceCore::ClearReceived() {
  std::lock_guard lock(mutex_);
  received_.clear();
}

std::vector<DeviceJob> DeviceCore::Jobs() const {
  std::lock_guard lock(mutex_);
  std::vector<DeviceJob> jobs;
  for (auto job = jobs_.rbegin(); job != jobs_.rend(); ++job) jobs.push_back(**job);
  return jobs;
}

std::string DeviceCore::StatusPage() const { return StatusPageHtml(Jobs()); }

std::string DeviceCore::FaxLoginPage(std::uint32_t serviceId) const {
  std::vector<DeviceJob> jobs = Jobs();
  for (const DeviceJob& job : jobs) {
    if (job.fax && job.serviceId == serviceId) return FaxLoginPageHtml(&job);
  }
  return FaxLoginPageHtml(nullptr);
}

std::filesystem::path DeviceCore::JobFile(std::string_view folder, std::string_view name) const {
  std::lock_guard lock(mutex_);
  for (const auto& job : jobs_) {
    if (job->folder != folder) continue;
    bool known = name == "job.log" || (!job->tiff.empty() && name == job->tiff);
    for (const PageRecord& page : job->pages) known = known || name == page.image || name == page.thumbnail;
    if (known) return FolderOf(*job) / std::string(name);
  }
  return {};
}

void DeviceCore::Record(const DeviceRequest& request) {
  ReceivedRequest received;
  received.transport = request.transport;
  received.path = request.path;
  for (const FormPart& part : request.parts) {
    if (part.isFile) {
      received.hasFile = true;
      received.fileName = part.filename;
      received.fileSize = part.data.size();
    } else if (part.name == "command") {
      received.document = part.data;
    } else {
      received.params.emplace_back(part.name, part.data);
    }
  }
  received_.push_back(std::move(received));
  if (received_.size() > kMaxReceived) received_.pop_front();
}

void DeviceCore::Log(const std::shared_ptr<DeviceJob>& job, const std::string& text) {
  std::filesystem::path file = job ? FolderOf(*job) / "job.log" : jobsFolder_ / "device.log";
  std::ofstream log(file, std::ios::app);
  log << text;
}

DeviceAnswer DeviceCore::Handle(const DeviceRequest& request) {
  const auto start = std::chrono::steady_clock::now();
  struct Timer {
    std::atomic<std::uint64_t>& total;
    std::chrono::steady_clock::time_point start;
    ~Timer() {
      total += static_cast<std::uint64_t>(
          std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now() - start).count());
    }
  } timer{handlingNs_, start};
  std::lock_guard lock(mutex_);
  Record(request);
  if (request.path == kCommandPath) return HandleCommand(request);
  if (request.path == kDataPath) return HandleUpload(request);
  DeviceAnswer answer;
  answer.httpStatus = 404;
  answer.contentType = "text/plain; charset=UTF-8";
  answer.body = "no such endpoint: " + request.path + "\n";
  return answer;
}

DeviceAnswer DeviceCore::Finish(const AnswerContent& content, std::string_view target, const DeviceRequest& request,
                                const std::shared_ptr<DeviceJob>& job, std::string_view what) {
  std::optional<Fault> fault = faults_.Take(target, false);
  DeviceAnswer answer = fault ? SpoiledAnswer(content, *fault) : WriteAnswer(content);
  std::string text = LocalTime() + " " + std::string(what) + " from " +
                     (request.peer.empty() ? std::string("the port") : request.peer) + "\n" + Describe(request) +
                     "  -> " + (content.code ? *content.code : std::string("no code"));
  if (content.serviceId) text += " SERVICEID " + *content.serviceId;
  if (!content.reason.empty()) text += " (" + content.reason + ")";
  if (fault) text += " [fault " + FaultText(*fault) + "]";
  Log(job, text + "\n\n");
  return answer;
}

DeviceAnswer DeviceCore::HandleCommand(const DeviceRequest& request) {
  const FormPart* document = nullptr;
  std::vector<const FormPart*> params;
  std::string wrongParts;
  for (const FormPart& part : request.parts) {
    if (part.isFile) {
      wrongParts = "a command with a file";
    } else if (part.name == "command") {
      if (document) wrongParts = "a command in two parts";
      document = &part;
    } else {
      params.push_back(&part);
    }
  }
  if (!document && wrongParts.empty()) wrongParts = "a request without its command part";
  Command command;
  Refusal refusal{kCodeBadTree, wrongParts};
  if (wrongParts.empty()) refusal = ReadCommand(document->data, params, request.transport, &command);
  const std::string target = command.recognized ? std::string(TargetOf(command.name)) : "*";
  const std::string name = command.recognized ? std::string(AnswerNameOf(command.name)) : "UNKNOWN";
  if (std::optional<Fault> fault = faults_.Take(target, true)) {
    AnswerContent content = CodeAnswer(name, fault->value, "on request");
    content.server = command.recognized && command.name == CommandName::GetUserId;
    return Finish(content, target, request, nullptr, target + " (" + FaultText(*fault) + ")");
  }
  if (refusal.code) {
    AnswerContent content = CodeAnswer(name, refusal.code, refusal.reason);
    content.server = command.recognized && command.name == CommandName::GetUserId;
    return Finish(content, target, request, nullptr, "refused " + target);
  }
  Outcome outcome = Execute(command, request);
  return Finish(outcome.answer, target, request, outcome.job, target);
}

std::shared_ptr<DeviceJob> DeviceCore::OpenJob(Transport transport, std::optional<std::uint32_t> serviceId) const {
  for (auto job = jobs_.rbegin(); job != jobs_.rend(); ++job) {
    if ((*job)->state != JobState::Open || (*job)->transport != transport) continue;
    if (transport == Transport::Port || (serviceId && (*job)->serviceId == *serviceId)) return *job;
  }
  return nullptr;
}

std::shared_ptr<DeviceJob> DeviceCore::NewJob(const Command& command, Transport transport, std::string* failure) {
  std::size_t open = 0;
  for (const auto& job : jobs_) open += job->state == JobState::Open;
  if (open >= kMaxOpenJobs) {
    *failure = "the device holds " + std::to_string(open) + " open jobs";
    return nullptr;
  }
  auto job = std::make_shared<DeviceJob>();
  for (;;) {
    job->serviceId = static_cast<std::uint32_t>(random_());
    bool taken = job->serviceId == 0;
    for (const auto& other : jobs_) taken = taken || other->serviceId == job->serviceId;
    if (!taken) break;
  }
  job->sequence = nextSequence_++;
  job->fax = command.name == CommandName::CreateFax;
  job->transport = transport;
  job->name = command.jobName;
  job->computer = command.computer;
  job->senderIp = command.senderIp;
  job->created = LocalTime();
  char folder[32];
  std::snprintf(folder, sizeof folder, "%04d-%s", job->sequence, ServiceIdText(job->serviceId).c_str());
  job->folder = folder;
  std::error_code error;
  std::filesystem::create_directories(FolderOf(*job), error);
  if (error) {
    *failure = "cannot keep the job: " + error.message();
    return nullptr;
  }
  jobs_.push_back(job);
  // The oldest finished jobs leave the device's memory (their folders stay).
  while (jobs_.size() > kMaxKeptJobs) {
    auto finished = std::find_if(jobs_.begin(), jobs_.end(), [](auto& j) { return j->state != JobState::Open; });
    if (finished == jobs_.end()) break;
    jobs_.erase(finished);
  }
  return job;
}

DeviceCore::Outcome DeviceCore::Execute(const Command& command, const DeviceRequest& request) {
  const std::string name(AnswerNameOf(command.name));
  Outcome outcome;
  switch (command.name) {
    case CommandName::GetStatus:
      outcome.answer = CodeAnswer(name, kCodeAccepted);
      outcome.answer.details.emplace_back("STATUS", "WAITING");
      break;
    case CommandName::GetUserId:
      outcome.answer = CodeAnswer(name, kCodeAccepted);
      outcome.answer.server = true;
      outcome.answer.users = users_;
      break;
    case CommandName::Create:
    case CommandName::CreateFax: {
      std::string failure;
      outcome.job = NewJob(command, request.transport, &failure);
      if (!outcome.job) {
        outcome.answer = CodeAnswer(name, kCodeTooManyJobs, failure);
        break;
      }
      if (command.name == CommandName::Create) {
        outcome.job->settings.push_back({1, command.settings});
      } else {
        outcome.job->faxParams = command.faxParams;
        outcome.job->announcedKb = command.fileSizeKb;
      }
      outcome.answer = CodeAnswer(name, kCodeAccepted);
      if (request.transport == Transport::Network) outcome.answer.serviceId = ServiceIdText(outcome.job->serviceId);
      break;
    }
    case CommandName::Add:
    case CommandName::End: {
      outcome.job = OpenJob(request.transport, command.serviceId);
      if (!outcome.job || outcome.job->fax) {
        outcome.job = nullptr;
        outcome.answer = CodeAnswer(name, kCodeUnknownJob, "no open print job with that service id");
        break;
      }
      DeviceJob& job = *outcome.job;
      const int received = static_cast<int>(job.pages.size());
      if (command.name == CommandName::Add) {
        if (*command.pageNumber != received) {
          outcome.answer = CodeAnswer(name, kCodePageOutOfSequence,
                                      "PAGENUMBER " + std::to_string(*command.pageNumber) + " after " +
                                          std::to_string(received) + " pages");
          break;
        }
        job.settings.push_back({received + 1, command.settings});
      } else if (*command.pageNumber != received) {
        // END closes the job either way: a job whose pages went astray fails.
        job.state = JobState::Failed;
        job.outcome = "END announced " + std::to_string(*command.pageNumber) + " pages, " + std::to_string(received) +
                      " arrived";
        outcome.answer = CodeAnswer(name, kCodePageOutOfSequence, job.outcome);
        break;
      } else {
        job.state = JobState::Completed;
      }
      outcome.answer = CodeAnswer(name, kCodeAccepted);
      outcome.answer.details.emplace_back("PAGES", std::to_string(received));
      break;
    }
  }
  return outcome;
}

DeviceAnswer DeviceCore::HandleUpload(const DeviceRequest& request) {
  UploadParts parts;
  std::string wrong = SortUploadParts(request.parts, &parts);
  std::optional<std::uint32_t> serviceId;
  std::optional<int> pageNumber;
  int code = kCodeBadTree;
  if (wrong.empty() && request.transport == Transport::Network && !parts.serviceId) wrong = "an upload without serviceid";
  if (wrong.empty() && parts.serviceId && !(serviceId = ReadServiceId(parts.serviceId->data))) {
    wrong = "serviceid \"" + parts.serviceId->data.substr(0, 64) + "\" is not 8 hexadecimal digits";
    code = kCodeBadValue;
  }
  if (wrong.empty() && !(pageNumber = PageNumberOf(parts.pageNumber->data))) {
    wrong = "pagenumber \"" + parts.pageNumber->data.substr(0, 64) + "\" is no page number";
    code = kCodeBadValue;
  }
  if (std::optional<Fault> fault = faults_.Take("DATA", true))
    return Finish(CodeAnswer("DATA", fault->value, "on request"), "DATA", request, nullptr,
                  "DATA (" + FaultText(*fault) + ")");
  if (!wrong.empty()) return Finish(CodeAnswer("DATA", code, wrong), "DATA", request, nullptr, "refused DATA");
  Outcome outcome = Upload(request, *parts.file, serviceId, *pageNumber);
  return Finish(outcome.answer, "DATA", request, outcome.job, "DATA");
}

DeviceCore::Outcome DeviceCore::Upload(const DeviceRequest& request, const FormPart& file,
                                       std::optional<std::uint32_t> serviceId, int pageNumber) {
  Outcome outcome;
  outcome.job = OpenJob(request.transport, serviceId);
  if (!outcome.job) {
    outcome.answer = CodeAnswer("DATA", kCodeUnknownJob, "no open job with that service id");
    return outcome;
  }
  outcome.answer = outcome.job->fax ? UploadFax(*outcome.job, file, pageNumber)
                                    : UploadPage(*outcome.job, file, pageNumber);
  return outcome;
}

AnswerContent DeviceCore::UploadPage(DeviceJob& job, const FormPart& file, int pageNumber) {
  const int number = static_cast<int>(job.pages.size()) + 1;
  if (pageNumber != number)
    return CodeAnswer("DATA", kCodePageOutOfSequence,
                      "pagenumber " + std::to_string(pageNumber) + " where page " + std::to_string(number) + " is due");
  if (number > kMaxPages) return CodeAnswer("DATA", kCodeTooManyJobs, "the job has as many pages as it can");
  const PageSettings& settings = job.settings.back().settings;
  PageRecord page{number, settings.width, settings.height, settings.resolution, settings.angle,
                  Numbered("page", number, "png"), Numbered("thumb", number, "png"), 0, 0};
  PageImages images;
  std::string failure = images.Open(FolderOf(job) / page.image, FolderOf(job) / page.thumbnail, page.width, page.height);
  if (failure.empty()) {
    auto bytes = std::span(reinterpret_cast<const std::uint8_t*>(file.data.data()), file.data.size());
    failure = DecodeMmr(bytes, page.width, page.height, [&](const std::uint8_t* row, int) { return images.Row(row); });
    if (!failure.empty()) {
      failure = "the MMR data of page " + std::to_string(number) + " (" + std::to_string(page.width) + " x " +
                std::to_string(page.height) + " announced): " + failure;
    }
  }
  if (failure.empty()) failure = images.Finish();
  if (!failure.empty()) return CodeAnswer("DATA", kCodeBadPageData, failure);
  page.thumbnailWidth = images.thumbnailWidth();
  page.thumbnailHeight = images.thumbnailHeight();
  job.pages.push_back(page);
  AnswerContent answer = CodeAnswer("DATA", kCodeAccepted);
  answer.details.emplace_back("PAGES", std::to_string(job.pages.size()));
  return answer;
}

AnswerContent DeviceCore::UploadFax(DeviceJob& job, const FormPart& file, int pageNumber) {
  if (pageNumber != 1) return CodeAnswer("DATA", kCodePageOutOfSequence, "a fax is one upload with pagenumber 1");
  // CREATE FAX announced the file's size in kilobytes, rounded up one.
  const std::size_t size = file.data.size();
  const int kilobytes = static_cast<int>(std::max<std::size_t>(size, 1000) / 1000 + 1);
  if (kilobytes != job.announcedKb) {
    job.state = JobState::Failed;
    job.outcome = "FILESIZE " + std::to_string(job.announcedKb) + " announced, the file of " + std::to_string(size) +
                  " bytes makes " + std::to_string(kilobytes);
    return CodeAnswer("DATA", kCodeBadValue, job.outcome);
  }
  job.tiff = "fax.tif";
  {
    std::ofstream out(FolderOf(job) / job.tiff, std::ios::binary | std::ios::trunc);
    out.write(file.data.data(), static_cast<std::streamsize>(size));
  }
  std::unique_ptr<PageImages> images;
  PageRecord page;
  std::vector<PageRecord> pages;
  TiffPageSink sink;
  sink.begin = [&](int index, int width, int height, int resolution) {
    page = PageRecord{index + 1, width, height, resolution, 0, Numbered("page", index + 1, "png"),
                      Numbered("thumb", index + 1, "png"), 0, 0};
    images = std::make_unique<PageImages>();
    return images->Open(FolderOf(job) / page.image, FolderOf(job) / page.thumbnail, width, height);
  };
  sink.row = [&](const std::uint8_t* row) { return images->Row(row); };
  sink.end = [&] {
    std::string failure = images->Finish();
    page.thumbnailWidth = images->thumbnailWidth();
    page.thumbnailHeight = images->thumbnailHeight();
    if (failure.empty()) pages.push_back(page);
    return failure;
  };
  int count = 0;
  std::string failure = ReadTiffPages(FolderOf(job) / job.tiff, kMaxFaxPages, kMaxPagePixels, sink, &count);
  images.reset();
  job.pages = pages;
  if (!failure.empty()) {
    job.state = JobState::Failed;
    job.outcome = "the fax TIFF file: " + failure;
    return CodeAnswer("DATA", kCodeBadPageData, job.outcome);
  }
  job.state = JobState::Completed;
  AnswerContent answer = CodeAnswer("DATA", kCodeAccepted);
  answer.details.emplace_back("PAGES", std::to_string(count));
  return answer;
}

}  // namespace k460::device
