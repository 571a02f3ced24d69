#include "tests/support/machine_fixture.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "platform/base/internal.h"

namespace k460::testing {

std::filesystem::path MakeTempFolder(const std::string& prefix) {
  std::string pattern = (std::filesystem::temp_directory_path() / (prefix + "-XXXXXX")).string();
  if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
  return pattern;
}

void MachineTest::SetUp() {
  root_ = MakeTempFolder("k460-test");
  SetMachineRoot(root_);
  SetClockMode(ClockMode::Virtual);
  ClearFaults();
  ClearCallLog();
  EnableCallLog(false);
}

void MachineTest::TearDown() {
  ClearFaults();
  std::error_code ec;
  if (!std::getenv("K460_KEEP_TEST_ROOT")) std::filesystem::remove_all(root_, ec);
}

void MachineTest::WriteMachineFile(const std::u16string& windowsPath, const std::string& bytes) {
  auto path = HostPath(windowsPath);
  std::filesystem::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

std::string MachineTest::ReadHostFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

}  // namespace k460::testing
