#include "platform/monitor/port_device.h"

#include <cstdio>
#include <filesystem>
#include <map>
#include <mutex>

#include "platform/base/host.h"
#include "platform/base/text.h"

namespace k460 {
namespace {

std::mutex gMutex;
std::map<std::u16string, std::shared_ptr<PortDevice>>& Devices() {
  static auto* devices = new std::map<std::u16string, std::shared_ptr<PortDevice>>();
  return *devices;
}

// What an unattached port prints to: one file per port, each job replacing
// the last.
class FileDevice : public PortDevice {
 public:
  explicit FileDevice(std::u16string port) : port_(std::move(port)) {}
  ~FileDevice() override { Close(); }
  void StartDoc() override {
    Close();
    std::string name = Utf16ToUtf8(port_);
    for (char& c : name)
      if (c == ':' || c == '/' || c == '\\') c = '_';
    auto dir = MachineRoot() / "ports";
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    file_ = std::fopen((dir / (name + ".out")).c_str(), "wb");
  }
  BOOL Write(const BYTE* data, DWORD size, DWORD* written) override {
    if (!file_) StartDoc();
    *written = file_ ? static_cast<DWORD>(std::fwrite(data, 1, size, file_)) : 0;
    if (*written != size) SetLastError(ERROR_WRITE_FAULT);
    return *written == size;
  }
  void EndDoc() override { Close(); }

 private:
  void Close() {
    if (file_) std::fclose(file_);
    file_ = nullptr;
  }
  std::u16string port_;
  std::FILE* file_ = nullptr;
};

}  // namespace

BOOL PortDevice::Read(BYTE*, DWORD, DWORD* read) {
  if (read) *read = 0;
  return TRUE;
}

BOOL PortDevice::Control(DWORD, const BYTE*, DWORD, BYTE*, DWORD, DWORD* returned) {
  if (returned) *returned = 0;
  SetLastError(ERROR_NOT_SUPPORTED);
  return FALSE;
}

void AttachPortDevice(const std::u16string& port, std::shared_ptr<PortDevice> device) {
  std::lock_guard lock(gMutex);
  Devices()[AsciiUpper(port)] = std::move(device);
}

void DetachPortDevice(const std::u16string& port) {
  std::lock_guard lock(gMutex);
  Devices().erase(AsciiUpper(port));
}

std::shared_ptr<PortDevice> PortDeviceFor(const std::u16string& port) {
  std::lock_guard lock(gMutex);
  auto& device = Devices()[AsciiUpper(port)];
  if (!device) device = std::make_shared<FileDevice>(port);
  return device;
}

}  // namespace k460
