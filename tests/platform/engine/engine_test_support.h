// The fixture of the engine's tests: a fresh machine, the recording test
// driver kept loaded with its journal cleared, and a capture printer.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/engine/device_context.h"
#include "platform/module/module.h"
#include "platform/spooler/capture.h"
#include "tests/platform/engine/test_driver_protocol.h"
#include "tests/support/machine_fixture.h"

namespace k460::testing {

class EngineDriverTest : public MachineTest {
 protected:
  void SetUp() override {
    MachineTest::SetUp();
    module_ = LoadLibraryW(kTestDriverName);
    ASSERT_NE(module_, nullptr) << "the test driver is built beside the platform";
    auto journal = reinterpret_cast<PFN_EngineTestJournal>(GetProcAddress(module_, "EngineTestJournal"));
    ASSERT_NE(journal, nullptr);
    journal_ = journal();
    journal_->Clear();
    printer_ = OpenCapturePrinter();
  }
  void TearDown() override {
    CloseHandle(printer_);
    if (module_) FreeLibrary(module_);
    MachineTest::TearDown();
  }

  std::unique_ptr<engine::DeviceContext> Open(const TestDriverSettings& settings,
                                              const engine::DeviceOptions& options = {}) {
    TestDevMode devMode;
    devMode.settings = settings;
    return engine::DeviceContext::Open(kTestDriverName, printer_, &devMode.dm, options);
  }

  TestJournal& journal() { return *journal_; }
  HANDLE printer() const { return printer_; }

  // The calls noted since `from`.
  std::vector<std::string> CallsSince(size_t from) const {
    return {journal_->calls.begin() + std::min(from, journal_->calls.size()), journal_->calls.end()};
  }

 private:
  HMODULE module_ = nullptr;
  TestJournal* journal_ = nullptr;
  HANDLE printer_ = nullptr;
};

}  // namespace k460::testing
