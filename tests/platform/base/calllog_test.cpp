#include <gtest/gtest.h>

#include "platform/base/host.h"
#include "platform/base/internal.h"
#include "tests/support/machine_fixture.h"

namespace {

using k460::testing::MachineTest;
using CallLogTest = MachineTest;

TEST_F(CallLogTest, RecordsCallsOnlyWhileOn) {
  k460::CallFails("WriteFile", nullptr, "before");
  k460::EnableCallLog(true);
  k460::CallFails("WriteFile", nullptr, "42 bytes");
  k460::EnableCallLog(false);
  auto log = k460::CallLog();
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0].function, "WriteFile");
  EXPECT_EQ(log[0].detail, "42 bytes");
}

TEST_F(CallLogTest, FaultsSkipThenFailACountedNumberOfTimes) {
  ASSERT_TRUE(k460::InjectFaultsFromText("RegSetValueExW:2:2:1013"));
  std::vector<bool> fails;
  DWORD error = 0;
  for (int i = 0; i < 6; ++i) fails.push_back(k460::CallFails("RegSetValueExW", &error));
  EXPECT_EQ(fails, (std::vector<bool>{false, false, true, true, false, false}));
  EXPECT_EQ(error, 1013u);
  k460::InjectFault("WriteFile", 0, -1, 112);
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(k460::CallFails("WriteFile", nullptr));
  EXPECT_FALSE(k460::InjectFaultsFromText("nonsense"));
}

}  // namespace
