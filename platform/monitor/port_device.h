// Devices on USB and parallel ports, as the local port monitor reaches them.
// A host or test attaches a device model to a port name; a port with no
// device writes what it receives to <root>/ports/<port>.out.
#pragma once

#include <memory>
#include <string>

#include "platform/monitor/monitor.h"

namespace k460 {

class PortDevice {
 public:
  virtual ~PortDevice() = default;
  virtual void StartDoc() {}
  // Takes bytes written to the port; *written may be less than size.
  virtual BOOL Write(const BYTE* data, DWORD size, DWORD* written) = 0;
  // Bytes the device sends back.
  virtual BOOL Read(BYTE* data, DWORD size, DWORD* read);
  // A device control request of the port's class driver.
  virtual BOOL Control(DWORD code, const BYTE* in, DWORD inSize, BYTE* out, DWORD outSize, DWORD* returned);
  virtual void SetTimeouts(const COMMTIMEOUTS&) {}
  virtual void EndDoc() {}
};

void AttachPortDevice(const std::u16string& port, std::shared_ptr<PortDevice> device);
void DetachPortDevice(const std::u16string& port);
// The device on a port, or the file device every unattached port gets.
std::shared_ptr<PortDevice> PortDeviceFor(const std::u16string& port);

}  // namespace k460
