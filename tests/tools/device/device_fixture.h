// A machine of its own with the emulated device running on a free loopback
// port, the network command library bound by ordinal, the page encoder for
// real MMR pages, and helpers that build the commands as the monitors do.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "monitors/common/command_keys.h"
#include "platform/outside/device/emulator.h"
#include "tests/platform/outside/encoder_binding.h"
#include "tests/platform/outside/test_pages.h"
#include "tests/support/machine_fixture.h"
#include "tests/tools/device/command_libraries.h"

namespace k460::testing {

// The settings of the IMAGEINFO and OUTPUTINFO sections of a page.
struct PageSetup {
  std::string jobName = "Quarterly report";  // CREATE only
  LONG width = 1728;
  LONG height = 120;
  LONG resolution = 600;
  LONG angle = 0;
  std::string orientation = "PORTRAIT";
  std::string paper = "A4";
  bool duplex = false;
  bool collated = true;
  LONG copies = 1;
  std::string punch = "OFF";
  std::string staple = "OFF";
  // Breaks the rule that BINDING comes exactly with duplex printing.
  bool wrongBinding = false;
};

// What came back from a post, as the monitors read it.
struct Exchange {
  BOOL posted = FALSE;
  DWORD netError = 0;
  std::optional<std::string> code;       // CODE's text
  std::optional<std::string> serviceId;  // SERVICEID's text
};

// Builds the tree of a print command (CREATE, ADD, END, GETSTATUS) in the
// order the monitors build it; `network` adds SERVICEID and SENDERIP.
void BuildPrintCommand(const CommandFunctions& f, HANDLE hCmd, const std::string& command, DWORD serviceId,
                       LONG pageNumber, const PageSetup& page, bool network = true);
// CREATE FAX with its FILESIZE and the automatic fax parameters.
void BuildCreateFax(const CommandFunctions& f, HANDLE hCmd, LONG fileSizeKb, bool faxAuto, const std::string& item);

// The element outline of an XML document: "JOB(COMMAND=X TYPE=Y PARAM(...))".
std::string Outline(const std::string& xml);

// A PNG file as a raster of the encoder's convention (0 black).
std::string ReadPng(const std::string& bytes, Raster* raster);

class DeviceTest : public MachineTest {
 protected:
  void SetUp() override;
  void TearDown() override;

  device::Emulator& device() { return *device_; }
  int port() const { return device_->port(); }

  // Posts hCmd to the device through a fresh network object.
  Exchange Post(HANDLE hCmd, const char* cgi, DWORD totalTimeoutMs = 0);
  HANDLE NewCommand() { return lib.Create(command::kCommandKeyTable); }
  // A CREATE for the page; the service id the device gave.
  DWORD Create(const PageSetup& page);
  // Uploads the page's data as the network monitor does; the answer.
  Exchange Upload(DWORD serviceId, LONG pageNumber, const std::vector<BYTE>& data);
  Exchange SendPrint(const std::string& command, DWORD serviceId, LONG pageNumber, const PageSetup& page);

  std::vector<BYTE> EncodeMmr(const Raster& page);
  // A multi-page fax TIFF file of the pages.
  std::vector<BYTE> EncodeFaxTiff(const std::vector<Raster>& pages);

  // GET on the device; the body, with the status in *status.
  std::string Get(const std::string& path, int* status);

  NetworkLibrary lib;
  EncoderBinding encoder;

 private:
  std::unique_ptr<device::Emulator> device_;
  int files_ = 0;
};

}  // namespace k460::testing
