// Every test gets a machine of its own: a fresh, empty machine root, the
// virtual clock, no injected faults and an empty call log.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/base/host.h"

namespace k460::testing {

class MachineTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // The root of this test's machine.
  const std::filesystem::path& root() const { return root_; }
  // Writes a file below the root (Windows-style path, e.g. "C:\\x\\y.ini").
  void WriteMachineFile(const std::u16string& windowsPath, const std::string& bytes);
  std::string ReadHostFile(const std::filesystem::path& path);

 private:
  std::filesystem::path root_;
};

// A fresh temporary folder, removed by the caller.
std::filesystem::path MakeTempFolder(const std::string& prefix);

}  // namespace k460::testing
