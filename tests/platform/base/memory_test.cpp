#include <gtest/gtest.h>

#include "platform/base/base.h"
#include "platform/base/host.h"
#include "tests/support/machine_fixture.h"

namespace {

using k460::testing::MachineTest;
using MemoryTest = MachineTest;

TEST_F(MemoryTest, ZeroInitialisingAllocationsAreZeroAndSized) {
  for (UINT flags : {GPTR, GHND}) {
    auto* p = static_cast<unsigned char*>(GlobalAlloc(flags, 100));
    ASSERT_NE(p, nullptr);
    for (int i = 0; i < 100; ++i) ASSERT_EQ(p[i], 0);
    EXPECT_EQ(GlobalSize(p), 100u);
    EXPECT_EQ(GlobalLock(p), p);
    EXPECT_EQ(GlobalFree(p), nullptr);
  }
  void* q = LocalAlloc(LPTR, 0);
  ASSERT_NE(q, nullptr);
  EXPECT_EQ(LocalFree(q), nullptr);
}

TEST_F(MemoryTest, FreeingTwiceOrAForeignPointerFails) {
  void* p = LocalAlloc(LMEM_FIXED, 8);
  EXPECT_EQ(LocalFree(p), nullptr);
  SetLastError(0);
  EXPECT_EQ(LocalFree(p), p);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  int onStack = 0;
  EXPECT_EQ(GlobalFree(&onStack), &onStack);
  EXPECT_EQ(GlobalFree(nullptr), nullptr);
}

TEST_F(MemoryTest, InjectedAllocationFailure) {
  k460::InjectFault("GlobalAlloc", 1, 1, ERROR_NOT_ENOUGH_MEMORY);
  void* first = GlobalAlloc(GPTR, 4);
  EXPECT_NE(first, nullptr);
  EXPECT_EQ(GlobalAlloc(GPTR, 4), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_NOT_ENOUGH_MEMORY);
  void* third = GlobalAlloc(GPTR, 4);
  EXPECT_NE(third, nullptr);
  GlobalFree(first);
  GlobalFree(third);
}

}  // namespace
