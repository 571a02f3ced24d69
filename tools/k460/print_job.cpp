#include "tools/k460/print_job.h"

#include <chrono>
#include <iomanip>
#include <iostream>
#include <vector>

#include "driver/pcl/printer_common/settings/driver_ini.h"
#include "driver/pcl/printer_common/settings/settings.h"
#include "platform/base/text.h"
#include "platform/spooler/host.h"
#include "tools/k460/device_road.h"
#include "tools/k460/engine_sink.h"
#include "tools/k460/suite_defaults.h"
#include "tools/print/document_reader.h"
#include "tools/print/pcl_options.h"
#include "tools/print/print_error.h"

namespace k460::tool {
namespace {

// The printer to print to: named, or the suite's printer whose driver is
// the named graphics library.
std::optional<PrinterSetup> ChoosePrinter(const PrintOptions& o) {
  auto printers = ListPrinters();
  for (const auto& p : printers) {
    if (!o.printer.empty()) {
      if (EqualsNoCase(p.name, Utf8ToUtf16(o.printer))) return p;
      continue;
    }
    auto driver = FindDriver(p.driverName);
    std::u16string wanted = Utf8ToUtf16(o.driver.empty() ? "xlgraph" : o.driver) + u".dll";
    if (driver && EqualsNoCase(driver->driverFile, wanted)) return p;
  }
  return std::nullopt;
}

struct Printer {
  HANDLE handle = nullptr;
  ~Printer() {
    if (handle) ClosePrinter(handle);
  }
};

int PrintToPrinter(const PrintOptions& o) {
  const auto started = std::chrono::steady_clock::now();
  EnsureSuiteDefaults();
  auto setup = ChoosePrinter(o);
  if (!setup) {
    std::cerr << "k460 print: no printer " << (o.printer.empty() ? "with driver " + o.driver : "\"" + o.printer + "\"")
              << " (see k460 printer list)\n";
    return kExitBadInput;
  }
  auto driver = FindDriver(setup->driverName);
  std::u16string library = driver ? driver->driverFile : u"";
  // The PCL drivers take the job settings record the options map onto; the
  // host-based drivers print with their own defaults until their options
  // have a table of their own.
  const bool pcl = EqualsNoCase(library, u"xlgraph.dll") || EqualsNoCase(library, u"p5graph.dll");
  if (!pcl && (!o.copies.empty() || !o.options.empty() || !o.fields.empty())) {
    std::cerr << "k460 print: options for " << Utf16ToUtf8(library) << " are not available yet\n";
    return kExitBadInput;
  }

  Printer printer;
  std::u16string name = setup->name;
  if (!OpenPrinterW(name.data(), &printer.handle, nullptr)) {
    std::cerr << "k460 print: cannot open printer \"" << Utf16ToUtf8(name) << "\" (error " << GetLastError() << ")\n";
    return kExitBadInput;
  }

  // Settings: the driver's defaults, the printer's stored defaults, the options.
  JobSettings settings;
  PrinterDriverIni ini(printer.handle);
  const bool letter = UsesLetterPaper();
  SettingsDefaults(settings, setup->driverName.c_str(), letter, &ini);
  DWORD needed = 0;
  GetPrinterW(printer.handle, 2, nullptr, 0, &needed);
  std::vector<BYTE> info(needed);
  if (needed && GetPrinterW(printer.handle, 2, info.data(), needed, &needed)) {
    const auto* p2 = reinterpret_cast<const PRINTER_INFO_2W*>(info.data());
    if (p2->pDevMode) SettingsMerge(settings, p2->pDevMode, DeclaredRecordSize(p2->pDevMode), letter);
  }
  try {
    print::OptionMapper<JobSettings> mapper(print::PclOptionTable());
    if (!o.copies.empty()) mapper.AddOption("copies", o.copies);
    for (const auto& option : o.options) mapper.AddOptions(option);
    for (const auto& field : o.fields) mapper.AddFieldAssignment(field);
    mapper.Apply(settings);
  } catch (const print::OptionError& e) {
    std::cerr << "k460 print: " << e.what() << "\n";
    return kExitBadInput;
  }

  // Every document is read before anything is sent, so a bad one sends nothing.
  print::ReadOptions read{print::PclPageGeometry(settings)};
  std::vector<std::unique_ptr<print::PageSource>> documents;
  int totalPages = 0;
  try {
    for (const auto& file : o.files) {
      documents.push_back(print::OpenDocument(file, read));
      totalPages += documents.back()->PageCount();
    }
  } catch (const print::DocumentError& e) {
    std::cerr << "k460 print: " << e.what() << "\n";
    return kExitBadInput;
  }

  engine::DeviceOptions deviceOptions;
  deviceOptions.deviceName = setup->name;
  deviceOptions.logAddress = setup->portName;  // the port the driver prints to
  deviceOptions.outputFile = Utf8ToUtf16(o.output);
  auto dc = engine::DeviceContext::Open(library, printer.handle, pcl ? &settings.dm : nullptr, deviceOptions);
  if (!dc) {
    std::cerr << "k460 print: the driver " << Utf16ToUtf8(library) << " could not be started (error "
              << GetLastError() << ")\n";
    return kExitDriver;
  }
  std::u16string title = Utf8ToUtf16(o.files.front());
  if (!dc->StartDoc(title)) {
    std::cerr << "k460 print: the job could not be started (error " << GetLastError() << ")\n";
    return kExitDriver;
  }
  EngineSink sink(*dc);
  int page = 0;
  try {
    for (auto& document : documents) {
      sink.StartDocument(document->Source(), document->PageCount());
      for (int i = 0; i < document->PageCount(); ++i) {
        print::Page content = document->LoadPage(i);
        for (const auto& warning : content.warnings) std::cerr << "k460 print: " << warning << "\n";
        ++page;
        if (!o.quiet) std::cerr << "page " << page << "/" << totalPages << " " << document->Source() << "\n";
        print::PlayPage(content, i + 1, sink);
      }
      sink.EndDocument();
    }
  } catch (const print::DocumentError& e) {
    dc->AbortDoc();
    std::cerr << "k460 print: " << e.what() << "; the job was cancelled\n";
    return kExitBadInput;
  } catch (const std::exception& e) {
    dc->AbortDoc();
    std::cerr << "k460 print: " << e.what() << "; the job was cancelled\n";
    return kExitDriver;
  }
  const DWORD jobId = dc->JobId();
  if (!dc->EndDoc()) {
    const DWORD error = GetLastError();
    std::string why;
    for (const auto& job : FinishedJobs())
      if (job.jobId == jobId) why = job.error;
    std::cerr << "k460 print: the job did not reach the printer's port: " << (why.empty() ? "error " + std::to_string(error) : why)
              << "\n";
    return kExitDelivery;
  }
  dc->Close();
  for (const auto& [kind, count] : sink.Skipped())
    std::cerr << "k460 print: " << count << " " << kind << " operation(s) are not drawn yet by this engine\n";

  std::uint64_t bytes = 0;
  for (const auto& job : FinishedJobs())
    if (job.jobId == jobId) bytes = job.bytesDelivered;
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  std::cout << "printed " << page << " page(s), " << bytes << " bytes, to "
            << (o.output.empty() ? Utf16ToUtf8(setup->portName) : o.output) << " through \"" << Utf16ToUtf8(setup->name)
            << "\" in " << std::fixed << std::setprecision(2) << seconds << " s\n";
  return 0;
}

// What --device goes with: the suite's host-based printer and its port.
std::string DeviceOptionConflict(const PrintOptions& o) {
  if (!o.output.empty()) return "--device sends the job to the device; it cannot go with --output";
  if (!o.printer.empty()) return "--device prints through the suite's host-based printer; it cannot go with --printer";
  if (!o.driver.empty() && o.driver != "hbgraph")
    return "--device needs the host-based driver (--driver hbgraph), not " + o.driver;
  return "";
}

int PrintToDevice(PrintOptions o) {
  std::string problem = DeviceOptionConflict(o);
  auto target = problem.empty() ? ParseDeviceTarget(*o.device, problem) : std::nullopt;
  if (!target) {
    std::cerr << "k460 print: " << problem << "\n";
    return kExitBadInput;
  }
  auto road = SetUpDeviceRoad(*target, problem);
  if (!road) {
    std::cerr << "k460 print: " << problem << "\n";
    return kExitSetup;
  }
  if (!o.quiet)
    std::cerr << "device " << target->address << ", HTTP port " << road->httpPort
              << (target->httpPort ? "" : " (the machine's setting)") << ", on " << Utf16ToUtf8(road->port) << " through \"" << Utf16ToUtf8(road->printer) << "\"\n";
  o.printer = Utf16ToUtf8(road->printer);
  o.driver = "hbgraph";
  return PrintToPrinter(o);
}

}  // namespace

int PrintDocuments(const PrintOptions& o) {
  const int result = o.device ? PrintToDevice(o) : PrintToPrinter(o);
  ShutdownSpooler();  // the port monitors end their threads before the program does
  return result;
}

}  // namespace k460::tool
