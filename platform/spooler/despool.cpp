// Feeding a spooled job to its port: the spooler's own file port, or a port
// monitor, with the driver's language monitor in front when it names one.
#include <algorithm>
#include <filesystem>
#include <random>

#include "platform/base/internal.h"
#include "platform/base/host.h"
#include "platform/base/text.h"
#include "platform/spooler/jobs.h"
#include "platform/spooler/monitors.h"
#include "platform/spooler/store.h"

namespace k460::spooler {
namespace {

struct PieceSizes {
  std::mutex mutex;
  DWORD size = 4096;
  std::optional<std::mt19937> random;
  DWORD Next() {
    std::lock_guard lock(mutex);
    if (!random) return size;
    return std::uniform_int_distribution<DWORD>(1, size)(*random);
  }
};
PieceSizes& Pieces() {
  static auto* pieces = new PieceSizes();
  return *pieces;
}

// Where a job goes: either a file, or a port handle with the functions of
// the table it came from.
class PortConnection {
 public:
  virtual ~PortConnection() = default;
  virtual bool StartDoc(const Job& job) = 0;
  virtual bool Write(const BYTE* data, DWORD size, DWORD* written) = 0;
  virtual bool EndDoc() = 0;
  virtual void Close() = 0;
};

class FileConnection : public PortConnection {
 public:
  explicit FileConnection(std::filesystem::path path) : path_(std::move(path)) {}
  bool StartDoc(const Job&) override {
    std::error_code ec;
    if (path_.has_parent_path()) std::filesystem::create_directories(path_.parent_path(), ec);
    file_ = std::fopen(path_.c_str(), "wb");
    if (!file_) SetLastError(ERROR_PATH_NOT_FOUND);
    return file_ != nullptr;
  }
  bool Write(const BYTE* data, DWORD size, DWORD* written) override {
    *written = static_cast<DWORD>(std::fwrite(data, 1, size, file_));
    if (*written != size) SetLastError(ERROR_DISK_FULL);
    return *written == size;
  }
  bool EndDoc() override {
    bool ok = std::fclose(file_) == 0;
    file_ = nullptr;
    if (!ok) SetLastError(ERROR_DISK_FULL);
    return ok;
  }
  void Close() override {
    if (file_) std::fclose(file_);
    file_ = nullptr;
  }

 private:
  std::filesystem::path path_;
  std::FILE* file_ = nullptr;
};

class MonitorConnection : public PortConnection {
 public:
  MonitorConnection(HANDLE port, const MONITOR& table) : port_(port), table_(table) {}
  bool StartDoc(const Job& job) override {
    if (!table_.pfnStartDocPort) return Unsupported();
    std::u16string printer = job.printer, document = job.document, output = job.outputFile, type = job.dataType;
    DOC_INFO_1W doc{document.data(), output.empty() ? nullptr : output.data(), type.data()};
    return table_.pfnStartDocPort(port_, printer.data(), job.id, 1, reinterpret_cast<LPBYTE>(&doc));
  }
  bool Write(const BYTE* data, DWORD size, DWORD* written) override {
    if (!table_.pfnWritePort) return Unsupported();
    return table_.pfnWritePort(port_, const_cast<BYTE*>(data), size, written);
  }
  bool EndDoc() override { return table_.pfnEndDocPort ? table_.pfnEndDocPort(port_) : Unsupported(); }
  void Close() override {
    if (table_.pfnClosePort) table_.pfnClosePort(port_);
  }

 private:
  static bool Unsupported() {
    SetLastError(ERROR_INVALID_FUNCTION);
    return false;
  }
  HANDLE port_;
  MONITOR table_;
};

std::filesystem::path FilePortTarget(const PrinterRecord& printer, const Job& job) {
  if (!job.outputFile.empty()) return HostPath(job.outputFile);
  if (!EqualsNoCase(printer.setup.portName, u"FILE:")) return HostPath(printer.setup.portName);
  std::string name = Utf16ToUtf8(printer.setup.name);
  for (char& c : name)
    if (c == '/' || c == '\\' || c == ':' || c == ' ') c = '_';
  return MachineRoot() / "output" / (name + "-" + std::to_string(job.id) + ".prn");
}

// Opens the printer's port, through the language monitor when the driver
// names one. On failure `error` says why.
std::unique_ptr<PortConnection> Connect(const PrinterRecord& printer, const Job& job, std::string& error) {
  const std::u16string& port = printer.setup.portName;
  if (IsFilePort(port)) return std::make_unique<FileConnection>(FilePortTarget(printer, job));
  const LoadedMonitor* owner = PortOwner(port);
  if (!owner) {
    error = "no monitor serves port " + Utf16ToUtf8(port);
    SetLastError(ERROR_UNKNOWN_PORT);
    return nullptr;
  }
  std::u16string portName = port, printerName = printer.setup.name;
  HANDLE handle = nullptr;
  auto driver = FindDriver(printer.setup.driverName);
  if (driver && !driver->monitorName.empty()) {
    const LoadedMonitor* language = FindMonitor(driver->monitorName);
    if (!language || !language->OpenPortEx()) {
      error = "language monitor " + Utf16ToUtf8(driver->monitorName) + " is not available";
      SetLastError(ERROR_INVALID_PRINT_MONITOR);
      return nullptr;
    }
    MONITOR below = owner->legacy;
    if (!language->OpenPortEx()(portName.data(), printerName.data(), &handle, &below)) {
      error = "the language monitor could not open port " + Utf16ToUtf8(port) + " (error " +
              std::to_string(GetLastError()) + ")";
      return nullptr;
    }
    return std::make_unique<MonitorConnection>(handle, language->legacy);
  }
  if (!owner->OpenPort(portName.data(), &handle)) {
    error = "port " + Utf16ToUtf8(port) + " could not be opened (error " + std::to_string(GetLastError()) + ")";
    return nullptr;
  }
  return std::make_unique<MonitorConnection>(handle, owner->legacy);
}

enum class Gate { Go, Stop };

// Waits while the job is paused; says stop once it is being deleted.
Gate WaitWhilePaused(const Job& job) {
  auto& t = Jobs();
  std::unique_lock lock(t.mutex);
  WaitOnClock(lock, t.changed, [&] { return !(job.status & JOB_STATUS_PAUSED) || (job.status & JOB_STATUS_DELETING); },
              INFINITE);
  return (job.status & JOB_STATUS_DELETING) ? Gate::Stop : Gate::Go;
}

}  // namespace

bool DeliverJob(const std::shared_ptr<Job>& job) {
  FinishedJob result;
  result.jobId = job->id;
  result.printer = job->printer;
  result.document = job->document;
  result.bytesSpooled = job->bytesSpooled;
  DWORD lastError = ERROR_SUCCESS;
  auto finish = [&](bool delivered) {
    auto& t = Jobs();
    std::lock_guard lock(t.mutex);
    job->status &= ~JOB_STATUS_PRINTING;
    if (job->status & JOB_STATUS_DELETING) job->status = (job->status & ~JOB_STATUS_DELETING) | JOB_STATUS_DELETED;
    else if (delivered) job->status |= JOB_STATUS_PRINTED;
    else job->status |= JOB_STATUS_ERROR;
    result.status = job->status;
    result.controls = job->controls;
    result.bytesDelivered = job->bytesDelivered;
    result.delivered = delivered;
    t.finished.push_back(result);
    if (!delivered) LogSpoolerEvent("Job " + std::to_string(job->id) + " on \"" + Utf16ToUtf8(job->printer) +
                                    "\" did not print: " + result.error);
    SetLastError(lastError);
    return delivered;
  };

  auto printer = LoadPrinter(job->printer);
  if (!printer) {
    result.error = "the printer no longer exists";
    lastError = ERROR_INVALID_PRINTER_NAME;
    return finish(false);
  }
  result.port = printer->setup.portName;
  auto connection = Connect(*printer, *job, result.error);
  if (!connection) {
    lastError = GetLastError() ? GetLastError() : ERROR_UNKNOWN_PORT;
    return finish(false);
  }
  {
    std::lock_guard lock(Jobs().mutex);
    job->status |= JOB_STATUS_PRINTING;
  }
  if (!connection->StartDoc(*job)) {
    lastError = GetLastError();
    result.error = "the port refused the job (StartDocPort, error " + std::to_string(lastError) + ")";
    connection->Close();
    return finish(false);
  }

  // Pieces are re-offered from where the port stopped taking them; a port
  // that takes nothing many times running has stopped.
  constexpr int kMaxIdleWrites = 100;
  std::vector<BYTE> buffer;
  std::uint64_t offset = 0;
  int idle = 0;
  bool ok = true;
  std::fseek(job->spool, 0, SEEK_SET);
  while (offset < job->bytesSpooled) {
    if (WaitWhilePaused(*job) == Gate::Stop) break;
    DWORD piece = static_cast<DWORD>(std::min<std::uint64_t>(Pieces().Next(), job->bytesSpooled - offset));
    buffer.resize(piece);
    if (std::fseek(job->spool, static_cast<long>(offset), SEEK_SET) != 0 ||
        std::fread(buffer.data(), 1, piece, job->spool) != piece) {
      ok = false;
      lastError = ERROR_READ_FAULT;
      result.error = "the spool file could not be read";
      break;
    }
    DWORD written = 0;
    if (!connection->Write(buffer.data(), piece, &written)) {
      ok = false;
      lastError = GetLastError();
      result.error = "the port failed a write (WritePort, error " + std::to_string(lastError) + ")";
      break;
    }
    written = std::min(written, piece);
    offset += written;
    {
      std::lock_guard lock(Jobs().mutex);
      job->bytesDelivered = offset;
    }
    if (written == 0 && ++idle >= kMaxIdleWrites) {
      ok = false;
      lastError = ERROR_WRITE_FAULT;
      result.error = "the port stopped taking data";
      break;
    }
    if (written) idle = 0;
  }
  bool cancelled;
  {
    std::lock_guard lock(Jobs().mutex);
    cancelled = (job->status & JOB_STATUS_DELETING) != 0;
  }
  if (!connection->EndDoc() && ok) {
    ok = false;
    lastError = GetLastError();
    result.error = "the port failed to end the job (EndDocPort, error " + std::to_string(lastError) + ")";
  }
  connection->Close();
  if (ok && cancelled) {
    lastError = ERROR_PRINT_CANCELLED;
    result.error = "the job was deleted while it printed";
    ok = false;
  }
  return finish(ok);
}

}  // namespace k460::spooler

namespace k460 {

void SetDespoolPieceSize(DWORD size, std::optional<std::uint32_t> randomSeed) {
  auto& p = spooler::Pieces();
  std::lock_guard lock(p.mutex);
  p.size = size ? size : 1;
  p.random.reset();
  if (randomSeed) p.random.emplace(*randomSeed);
}

}  // namespace k460
