#include <gtest/gtest.h>
#include <sys/stat.h>

#include <thread>

#include "platform/base/internal.h"
#include "platform/base/text.h"
#include "platform/files/files.h"
#include "platform/process/process.h"
#include "platform/process/process_host.h"
#include "platform/sync/sync.h"
#include "tests/support/machine_fixture.h"

namespace k460::testing {
namespace {

constexpr char16_t kPipe[] = u"\\\\.\\pipe\\qtxSSearch";

class NamedPipeTest : public MachineTest {
 protected:
  void TearDown() override {
    for (HANDLE h : handles_) CloseHandle(h);
    MachineTest::TearDown();
  }
  HANDLE Server(DWORD openMode = PIPE_ACCESS_INBOUND,
                DWORD pipeMode = PIPE_TYPE_MESSAGE | PIPE_READMODE_MESSAGE | PIPE_WAIT, DWORD instances = 10) {
    HANDLE h = CreateNamedPipeW(kPipe, openMode, pipeMode, instances, 0, 0, 100, nullptr);
    if (h != INVALID_HANDLE_VALUE) handles_.push_back(h);
    return h;
  }
  HANDLE Client(DWORD access = GENERIC_WRITE, const char16_t* name = kPipe) {
    HANDLE h = CreateFileW(name, access, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h != INVALID_HANDLE_VALUE) handles_.push_back(h);
    return h;
  }
  void Close(HANDLE h) {
    std::erase(handles_, h);
    CloseHandle(h);
  }
  static void Send(HANDLE h, const std::string& text) {
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &written, nullptr));
    EXPECT_EQ(written, text.size());
  }

 private:
  std::vector<HANDLE> handles_;
};

TEST_F(NamedPipeTest, MessagesKeepTheirBoundariesAndAShortReadLeavesTheRest) {
  HANDLE server = Server();
  ASSERT_NE(server, INVALID_HANDLE_VALUE);
  HANDLE client = Client(GENERIC_WRITE, u"\\\\.\\PIPE\\QTXSSEARCH");  // names compare without regard to case
  ASSERT_NE(client, INVALID_HANDLE_VALUE);
  // The client came before the server waited for it.
  EXPECT_FALSE(ConnectNamedPipe(server, nullptr));
  EXPECT_EQ(GetLastError(), ERROR_PIPE_CONNECTED);
  Send(client, "192.168.1.10");
  Send(client, "second");
  Close(client);

  char buffer[260] = {};
  DWORD read = 0;
  EXPECT_FALSE(ReadFile(server, buffer, 5, &read, nullptr));
  EXPECT_EQ(GetLastError(), ERROR_MORE_DATA);
  EXPECT_EQ(std::string(buffer, read), "192.1");
  ASSERT_TRUE(ReadFile(server, buffer, sizeof buffer, &read, nullptr));
  EXPECT_EQ(std::string(buffer, read), "68.1.10");
  ASSERT_TRUE(ReadFile(server, buffer, sizeof buffer, &read, nullptr));
  EXPECT_EQ(std::string(buffer, read), "second");
  EXPECT_FALSE(ReadFile(server, buffer, sizeof buffer, &read, nullptr));
  EXPECT_EQ(GetLastError(), ERROR_BROKEN_PIPE);
  EXPECT_EQ(read, 0u);

  // The instance serves the next client after a disconnect.
  ASSERT_TRUE(DisconnectNamedPipe(server));
  HANDLE next = Client();
  ASSERT_NE(next, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(ConnectNamedPipe(server, nullptr));
  EXPECT_EQ(GetLastError(), ERROR_PIPE_CONNECTED);
}

TEST_F(NamedPipeTest, ABytePipeCarriesAStreamBothWaysAndConnectWaitsForTheClient) {
  HANDLE server = Server(PIPE_ACCESS_DUPLEX, PIPE_TYPE_BYTE | PIPE_WAIT, 1);
  ASSERT_NE(server, INVALID_HANDLE_VALUE);
  std::thread client([&] {
    HANDLE h = CreateFileW(kPipe, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    Send(h, "abc");
    Send(h, "def");
    char reply[8];
    DWORD read = 0;
    EXPECT_TRUE(ReadFile(h, reply, sizeof reply, &read, nullptr));
    EXPECT_EQ(std::string(reply, read), "ok");
    CloseHandle(h);
  });
  // Either the client is already there or the call waits for it.
  BOOL connected = ConnectNamedPipe(server, nullptr) || GetLastError() == ERROR_PIPE_CONNECTED;
  ASSERT_TRUE(connected);
  std::string received;
  char buffer[4];
  DWORD read = 0;
  while (received.size() < 6 && ReadFile(server, buffer, sizeof buffer, &read, nullptr))
    received.append(buffer, read);
  EXPECT_EQ(received, "abcdef");
  Send(server, "ok");
  client.join();
  EXPECT_FALSE(ReadFile(server, buffer, sizeof buffer, &read, nullptr));
  EXPECT_EQ(GetLastError(), ERROR_BROKEN_PIPE);
  EXPECT_FALSE(WriteFile(server, "x", 1, &read, nullptr));
  EXPECT_EQ(GetLastError(), ERROR_NO_DATA);
}

TEST_F(NamedPipeTest, AProgramOfAnotherProcessWritesToThePipe) {
  HANDLE server = Server();
  ASSERT_NE(server, INVALID_HANDLE_VALUE);
  std::u16string line = u"process_test_child send \\\\.\\pipe\\qtxSSearch 10.0.0.5";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  ASSERT_TRUE(CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info));
  BOOL connected = ConnectNamedPipe(server, nullptr) || GetLastError() == ERROR_PIPE_CONNECTED;
  ASSERT_TRUE(connected);
  char buffer[259];
  DWORD read = 0;
  ASSERT_TRUE(ReadFile(server, buffer, sizeof buffer, &read, nullptr));
  EXPECT_EQ(std::string(buffer, read), "10.0.0.5");
  EXPECT_EQ(WaitForSingleObject(info.hProcess, INFINITE), WAIT_OBJECT_0);
  DWORD code = 1;
  EXPECT_TRUE(GetExitCodeProcess(info.hProcess, &code));
  EXPECT_EQ(code, 0u);
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
}

TEST_F(NamedPipeTest, ANoWaitInstanceReportsThatItIsStillListening) {
  HANDLE server = Server(PIPE_ACCESS_INBOUND, PIPE_TYPE_MESSAGE | PIPE_NOWAIT);
  ASSERT_NE(server, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(ConnectNamedPipe(server, nullptr));
  EXPECT_EQ(GetLastError(), ERROR_PIPE_LISTENING);
  char buffer[8];
  DWORD read = 0;
  EXPECT_FALSE(ReadFile(server, buffer, sizeof buffer, &read, nullptr));
  EXPECT_EQ(GetLastError(), ERROR_PIPE_LISTENING);
  HANDLE client = Client();
  ASSERT_NE(client, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(ConnectNamedPipe(server, nullptr));
  EXPECT_EQ(GetLastError(), ERROR_PIPE_CONNECTED);
  EXPECT_FALSE(ReadFile(server, buffer, sizeof buffer, &read, nullptr));
  EXPECT_EQ(GetLastError(), ERROR_NO_DATA);  // nothing written yet, and no waiting
  DWORD mode = PIPE_READMODE_MESSAGE | PIPE_WAIT;
  EXPECT_TRUE(SetNamedPipeHandleState(server, &mode, nullptr, nullptr));
  Send(client, "go");
  ASSERT_TRUE(ReadFile(server, buffer, sizeof buffer, &read, nullptr));
  EXPECT_EQ(std::string(buffer, read), "go");
}

TEST_F(NamedPipeTest, WrongNamesModesInstancesAndAccessAreRefused) {
  struct Case {
    const char16_t* name;
    DWORD openMode, pipeMode, instances, error;
  };
  const Case cases[] = {
      {u"\\\\.\\pipe\\", PIPE_ACCESS_INBOUND, 0, 1, ERROR_INVALID_NAME},
      {u"C:\\pipe\\x", PIPE_ACCESS_INBOUND, 0, 1, ERROR_INVALID_NAME},
      {kPipe, 0, 0, 1, ERROR_INVALID_PARAMETER},
      {kPipe, PIPE_ACCESS_INBOUND, PIPE_TYPE_BYTE | PIPE_READMODE_MESSAGE, 1, ERROR_INVALID_PARAMETER},
      {kPipe, PIPE_ACCESS_INBOUND, 0, 0, ERROR_INVALID_PARAMETER},
      {kPipe, PIPE_ACCESS_INBOUND, 0, 256, ERROR_INVALID_PARAMETER},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(Utf16ToUtf8(c.name));
    EXPECT_EQ(CreateNamedPipeW(c.name, c.openMode, c.pipeMode, c.instances, 0, 0, 0, nullptr), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), c.error);
  }

  EXPECT_EQ(Client(), INVALID_HANDLE_VALUE);  // nobody serves it yet
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);

  ASSERT_NE(Server(PIPE_ACCESS_INBOUND, PIPE_TYPE_MESSAGE, 2), INVALID_HANDLE_VALUE);
  ASSERT_NE(Server(PIPE_ACCESS_INBOUND, PIPE_TYPE_MESSAGE, 2), INVALID_HANDLE_VALUE);
  EXPECT_EQ(Server(PIPE_ACCESS_INBOUND, PIPE_TYPE_MESSAGE, 2), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_PIPE_BUSY);
  EXPECT_EQ(Server(PIPE_ACCESS_INBOUND | FILE_FLAG_FIRST_PIPE_INSTANCE, PIPE_TYPE_MESSAGE), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);

  HANDLE client = Client(GENERIC_WRITE);
  ASSERT_NE(client, INVALID_HANDLE_VALUE);
  char buffer[4];
  DWORD done = 0;
  EXPECT_FALSE(ReadFile(client, buffer, sizeof buffer, &done, nullptr));
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
  EXPECT_FALSE(ConnectNamedPipe(client, nullptr));  // not a server instance
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  EXPECT_FALSE(ConnectNamedPipe(nullptr, nullptr));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  DWORD mode = PIPE_READMODE_MESSAGE;
  DWORD count = 1;
  EXPECT_FALSE(SetNamedPipeHandleState(client, &mode, &count, nullptr));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

TEST_F(NamedPipeTest, OnlyThisUserCanReachThePipes) {
  ASSERT_NE(Server(), INVALID_HANDLE_VALUE);
  struct stat folder {}, socket {};
  ASSERT_EQ(::stat(PipeFolder().c_str(), &folder), 0);
  EXPECT_EQ(folder.st_mode & 0777, 0700u);
  ASSERT_EQ(::stat((PipeFolder() / "qtxssearch").c_str(), &socket), 0);
  EXPECT_TRUE(S_ISSOCK(socket.st_mode));
  EXPECT_EQ(socket.st_mode & 0077, 0u);
}

TEST_F(NamedPipeTest, WaitNamedPipeTimesOutOnThePlatformClock) {
  ULONGLONG before = GetTickCount64();
  EXPECT_FALSE(WaitNamedPipeW(kPipe, 2000));
  EXPECT_EQ(GetLastError(), ERROR_SEM_TIMEOUT);
  EXPECT_GE(GetTickCount64() - before, 2000u);
  ASSERT_NE(Server(), INVALID_HANDLE_VALUE);
  EXPECT_TRUE(WaitNamedPipeW(kPipe, NMPWAIT_USE_DEFAULT_WAIT));
}

TEST_F(NamedPipeTest, ARootTooDeepForASocketAddressStillServesPipes) {
  auto deep = root() / std::string(60, 'a') / std::string(60, 'b');
  SetMachineRoot(deep);
  ASSERT_GT((PipeFolder() / "qtxssearch").string().size(), 108u);
  HANDLE server = Server();
  ASSERT_NE(server, INVALID_HANDLE_VALUE);
  HANDLE client = Client();
  ASSERT_NE(client, INVALID_HANDLE_VALUE);
  Send(client, "deep");
  EXPECT_FALSE(ConnectNamedPipe(server, nullptr));
  char buffer[8];
  DWORD read = 0;
  ASSERT_TRUE(ReadFile(server, buffer, sizeof buffer, &read, nullptr));
  EXPECT_EQ(std::string(buffer, read), "deep");
}

}  // namespace
}  // namespace k460::testing

namespace k460::testing {
namespace {

using FileSecurityTest = MachineTest;

TEST_F(FileSecurityTest, SecuredFoldersAndFilesAreTheOwnersOnlyWhateverTheDescriptorGrants) {
  ASSERT_TRUE(CreateDirectoryW(u"C:\\Jobs", nullptr));
  WriteMachineFile(u"C:\\Jobs\\page.tmp", "x");
  ::chmod(HostPath(u"C:\\Jobs\\page.tmp").c_str(), 0666);
  ACL empty{};
  ASSERT_TRUE(InitializeAcl(&empty, sizeof empty, ACL_REVISION));
  SECURITY_DESCRIPTOR ownerOnly{}, everyone{};
  ASSERT_TRUE(InitializeSecurityDescriptor(&ownerOnly, SECURITY_DESCRIPTOR_REVISION));
  ASSERT_TRUE(SetSecurityDescriptorDacl(&ownerOnly, TRUE, &empty, FALSE));
  ASSERT_TRUE(InitializeSecurityDescriptor(&everyone, SECURITY_DESCRIPTOR_REVISION));
  ASSERT_TRUE(SetSecurityDescriptorDacl(&everyone, TRUE, nullptr, FALSE));  // a null DACL
  EXPECT_TRUE(SetFileSecurityW(u"C:\\Jobs", DACL_SECURITY_INFORMATION, &ownerOnly));
  EXPECT_TRUE(SetFileSecurityW(u"C:\\Jobs\\page.tmp", DACL_SECURITY_INFORMATION, &everyone));
  struct stat folder {}, file {};
  ASSERT_EQ(::stat(HostPath(u"C:\\Jobs").c_str(), &folder), 0);
  ASSERT_EQ(::stat(HostPath(u"C:\\Jobs\\page.tmp").c_str(), &file), 0);
  EXPECT_EQ(folder.st_mode & 0777, 0700u);
  EXPECT_EQ(file.st_mode & 0777, 0600u);

  EXPECT_FALSE(SetFileSecurityW(u"C:\\Missing", DACL_SECURITY_INFORMATION, &ownerOnly));
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
  SECURITY_DESCRIPTOR blank{};
  EXPECT_FALSE(SetFileSecurityW(u"C:\\Jobs", DACL_SECURITY_INFORMATION, &blank));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  EXPECT_FALSE(InitializeAcl(&empty, 4, ACL_REVISION));
  EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
}

}  // namespace
}  // namespace k460::testing
