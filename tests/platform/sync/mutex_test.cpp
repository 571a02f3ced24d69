#include <gtest/gtest.h>

#include <thread>

#include "platform/sync/sync.h"
#include "tests/support/machine_fixture.h"

namespace {

using k460::testing::MachineTest;
using MutexTest = MachineTest;

// Runs `body` on a thread of its own and waits for it to end.
template <class Body>
void OnAnotherThread(Body body) {
  std::thread other(body);
  other.join();
}

TEST_F(MutexTest, OnlyTheOwnerReleasesAndItReleasesAsOftenAsItTook) {
  HANDLE mutex = CreateMutexW(nullptr, TRUE, nullptr);
  ASSERT_NE(mutex, nullptr);
  EXPECT_EQ(WaitForSingleObject(mutex, 0), WAIT_OBJECT_0);  // the owner takes it again

  OnAnotherThread([&] {
    EXPECT_EQ(WaitForSingleObject(mutex, 0), WAIT_TIMEOUT);
    EXPECT_FALSE(ReleaseMutex(mutex));
    EXPECT_EQ(GetLastError(), ERROR_NOT_OWNER);
  });

  EXPECT_TRUE(ReleaseMutex(mutex));
  OnAnotherThread([&] { EXPECT_EQ(WaitForSingleObject(mutex, 0), WAIT_TIMEOUT); });  // still held once
  EXPECT_TRUE(ReleaseMutex(mutex));
  EXPECT_FALSE(ReleaseMutex(mutex));
  EXPECT_EQ(GetLastError(), ERROR_NOT_OWNER);

  OnAnotherThread([&] {
    EXPECT_EQ(WaitForSingleObject(mutex, 0), WAIT_OBJECT_0);
    EXPECT_TRUE(ReleaseMutex(mutex));
  });
  CloseHandle(mutex);
}

DWORD WINAPI TakeAndEnd(LPVOID mutex) {
  return WaitForSingleObject(static_cast<HANDLE>(mutex), 0) == WAIT_OBJECT_0 ? 0 : 1;
}

TEST_F(MutexTest, AMutexWhoseOwnerEndsIsAbandonedOnce) {
  struct Case {
    const char* name;
    bool platformThread;  // CreateThread, or a thread of the host
  };
  for (const Case& c : {Case{"platform thread", true}, Case{"host thread", false}}) {
    SCOPED_TRACE(c.name);
    HANDLE mutex = CreateMutexW(nullptr, FALSE, nullptr);
    if (c.platformThread) {
      HANDLE thread = CreateThread(nullptr, 0, TakeAndEnd, mutex, 0, nullptr);
      // The mutex is abandoned before the thread's handle is signalled.
      ASSERT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0);
      CloseHandle(thread);
    } else {
      OnAnotherThread([&] { TakeAndEnd(mutex); });
    }
    EXPECT_EQ(WaitForSingleObject(mutex, 0), WAIT_ABANDONED);
    EXPECT_TRUE(ReleaseMutex(mutex));  // the waiter owns it now
    EXPECT_EQ(WaitForSingleObject(mutex, 0), WAIT_OBJECT_0);
    EXPECT_TRUE(ReleaseMutex(mutex));
    CloseHandle(mutex);
  }
}

TEST_F(MutexTest, AWaiterWakesWhenTheOwnerEndsAndLearnsTheIndexOfTheAbandonedMutex) {
  HANDLE idle = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  HANDLE mutex = CreateMutexW(nullptr, FALSE, nullptr);
  HANDLE taken = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  HANDLE finish = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  std::thread owner([&] {
    WaitForSingleObject(mutex, INFINITE);
    SetEvent(taken);
    WaitForSingleObject(finish, INFINITE);
  });
  ASSERT_EQ(WaitForSingleObject(taken, INFINITE), WAIT_OBJECT_0);
  SetEvent(finish);
  HANDLE both[] = {idle, mutex};
  EXPECT_EQ(WaitForMultipleObjects(2, both, FALSE, INFINITE), WAIT_ABANDONED_0 + 1);
  owner.join();
  EXPECT_TRUE(ReleaseMutex(mutex));
  for (HANDLE h : {idle, mutex, taken, finish}) CloseHandle(h);
}

TEST_F(MutexTest, ANamedMutexThatExistsIsNotTakenAgainByItsCreator) {
  HANDLE mine = CreateMutexW(nullptr, TRUE, u"K460PortList");
  OnAnotherThread([&] {
    HANDLE theirs = CreateMutexW(nullptr, TRUE, u"K460PortList");
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
    EXPECT_FALSE(ReleaseMutex(theirs));
    EXPECT_EQ(GetLastError(), ERROR_NOT_OWNER);
    CloseHandle(theirs);
  });
  EXPECT_TRUE(ReleaseMutex(mine));
  CloseHandle(mine);
}

}  // namespace
