#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "platform/base/host.h"
#include "platform/sync/sync.h"
#include "tests/support/machine_fixture.h"

namespace {

using k460::testing::MachineTest;
using ThreadTest = MachineTest;

struct Job {
  HANDLE go = nullptr;  // the thread waits for it before it ends
  std::atomic<DWORD> idInside{0};
  std::atomic<bool> ran{false};
  DWORD result = 0;
};

DWORD WINAPI RunJob(LPVOID parameter) {
  auto* job = static_cast<Job*>(parameter);
  job->idInside = GetCurrentThreadId();
  job->ran = true;
  if (job->go) WaitForSingleObject(job->go, INFINITE);
  return job->result;
}

TEST_F(ThreadTest, TheHandleIsSignalledWithTheExitCodeWhenTheRoutineReturns) {
  Job job;
  job.go = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  job.result = 42;
  DWORD id = 0;
  HANDLE thread = CreateThread(nullptr, 0, RunJob, &job, 0, &id);
  ASSERT_NE(thread, nullptr);
  EXPECT_NE(id, 0u);

  DWORD code = 0;
  EXPECT_TRUE(GetExitCodeThread(thread, &code));
  EXPECT_EQ(code, STILL_ACTIVE);
  EXPECT_EQ(WaitForSingleObject(thread, 0), WAIT_TIMEOUT);

  SetEvent(job.go);
  EXPECT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(thread, 0), WAIT_OBJECT_0);  // stays signalled
  EXPECT_TRUE(GetExitCodeThread(thread, &code));
  EXPECT_EQ(code, 42u);
  EXPECT_EQ(job.idInside.load(), id);
  CloseHandle(thread);
  CloseHandle(job.go);
}

TEST_F(ThreadTest, ASuspendedThreadStartsOnResume) {
  Job job;
  job.result = 7;
  HANDLE thread = CreateThread(nullptr, 0, RunJob, &job, CREATE_SUSPENDED, nullptr);
  ASSERT_NE(thread, nullptr);
  EXPECT_EQ(WaitForSingleObject(thread, 0), WAIT_TIMEOUT);
  EXPECT_FALSE(job.ran.load());
  EXPECT_EQ(ResumeThread(thread), 1u);
  EXPECT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0);
  EXPECT_TRUE(job.ran.load());
  EXPECT_EQ(ResumeThread(thread), 0u);  // running threads have nothing to resume
  CloseHandle(thread);
}

TEST_F(ThreadTest, AThreadRunsOnAfterItsHandleIsClosed) {
  static Job job;  // outlives the test only if the thread does
  job.go = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  HANDLE done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  struct Pair {
    Job* job;
    HANDLE done;
  } pair{&job, done};
  HANDLE thread = CreateThread(
      nullptr, 0,
      [](LPVOID p) -> DWORD {
        auto* pair = static_cast<Pair*>(p);
        RunJob(pair->job);
        SetEvent(pair->done);
        return 0;
      },
      &pair, 0, nullptr);
  EXPECT_TRUE(CloseHandle(thread));
  SetEvent(job.go);
  EXPECT_EQ(WaitForSingleObject(done, INFINITE), WAIT_OBJECT_0);
  CloseHandle(done);
  CloseHandle(job.go);
}

TEST_F(ThreadTest, AThreadStillWaitingWhenTheProcessEndsDoesNotHarmTheExit) {
  // The process ends with this thread blocked for ever; the test program's
  // clean exit is the check.
  static Job job;
  job.go = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  HANDLE thread = CreateThread(nullptr, 0, RunJob, &job, 0, nullptr);
  ASSERT_NE(thread, nullptr);
  while (!job.ran.load()) std::this_thread::yield();
}

TEST_F(ThreadTest, RejectsMissingRoutinesAndOutputs) {
  EXPECT_EQ(CreateThread(nullptr, 0, nullptr, nullptr, 0, nullptr), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  Job job;
  EXPECT_EQ(CreateThread(nullptr, 0, RunJob, &job, 0x8, nullptr), nullptr);  // unknown flag
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);

  HANDLE thread = CreateThread(nullptr, 0, RunJob, &job, 0, nullptr);
  WaitForSingleObject(thread, INFINITE);
  EXPECT_FALSE(GetExitCodeThread(thread, nullptr));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  CloseHandle(thread);

  k460::InjectFault("CreateThread", 0, 1, ERROR_NOT_ENOUGH_MEMORY);
  EXPECT_EQ(CreateThread(nullptr, 0, RunJob, &job, 0, nullptr), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_NOT_ENOUGH_MEMORY);
}

}  // namespace
