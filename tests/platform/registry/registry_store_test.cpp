// The hive files: persistence, processes sharing a machine, damaged files,
// failing writes and injected faults.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>

#include "platform/base/host.h"
#include "platform/registry/registry_host.h"
#include "tests/platform/registry/registry_test_util.h"
#include "tests/support/machine_fixture.h"

namespace {

using namespace k460::testing;
using RegistryStoreTest = MachineTest;

constexpr const char16_t* kMonitor =
    u"SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\Velkaro Ar+Vento2 Port Monitor";

// Runs `body` in a child process; true when it returned true there.
bool InChild(const std::function<bool()>& body) {
  pid_t pid = ::fork();
  if (pid == 0) ::_exit(body() ? 0 : 1);
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST_F(RegistryStoreTest, AnotherProcessSeesChangesAndTheyOutliveARestart) {
  HKEY key = CreateKey(HKEY_LOCAL_MACHINE, kMonitor);
  ASSERT_EQ(SetDword(key, u"SendPageWaitTime", 30000), ERROR_SUCCESS);
  ASSERT_EQ(QueryDword(key, u"SendPageWaitTime"), 30000u);  // now cached here

  ASSERT_TRUE(InChild([] {
    HKEY child = nullptr;
    return RegOpenKeyExW(HKEY_LOCAL_MACHINE, kMonitor, 0, KEY_ALL_ACCESS, &child) == ERROR_SUCCESS &&
           QueryDword(child, u"SendPageWaitTime") == 30000u && SetDword(child, u"SendPageWaitTime", 5) == 0 &&
           RegDeleteValueW(child, u"Missing") == ERROR_FILE_NOT_FOUND &&
           SetDword(child, u"BitmapRotate", 1) == ERROR_SUCCESS;
  }));
  EXPECT_EQ(QueryDword(key, u"SendPageWaitTime"), 5u);
  EXPECT_EQ(QueryDword(key, u"BitmapRotate"), 1u);
  ASSERT_EQ(RegFlushKey(key), ERROR_SUCCESS);
  RegCloseKey(key);

  k460::SetMachineRoot(root());
  key = OpenKey(HKEY_LOCAL_MACHINE, kMonitor, KEY_READ);
  EXPECT_EQ(ValueNames(key), (std::vector<std::u16string>{u"SendPageWaitTime", u"BitmapRotate"}));
  EXPECT_EQ(QueryDword(key, u"SendPageWaitTime"), 5u);
  RegCloseKey(key);
}

TEST_F(RegistryStoreTest, ConcurrentWriterProcessesLoseNothing) {
  constexpr int kChildren = 6, kValuesEach = 25;
  RegCloseKey(CreateKey(HKEY_LOCAL_MACHINE, kMonitor));
  int go[2];
  ASSERT_EQ(::pipe(go), 0);
  std::vector<pid_t> children;
  for (int c = 0; c < kChildren; ++c) {
    pid_t pid = ::fork();
    if (pid == 0) {
      ::close(go[1]);
      char byte;
      (void)::read(go[0], &byte, 1);  // returns when the parent closes its end: all start together
      bool ok = true;
      HKEY ports = nullptr;
      ok &= RegOpenKeyExW(HKEY_LOCAL_MACHINE, kMonitor, 0, KEY_ALL_ACCESS, &ports) == ERROR_SUCCESS;
      for (int v = 0; v < kValuesEach; ++v) {
        std::u16string name = k460::Utf8ToUtf16("KP2_10.0." + std::to_string(c) + "." + std::to_string(v));
        ok &= SetDword(ports, name.c_str(), static_cast<DWORD>(c * 1000 + v)) == ERROR_SUCCESS;
      }
      HKEY own = nullptr;
      std::u16string sub = k460::Utf8ToUtf16("Child" + std::to_string(c));
      ok &= RegCreateKeyExW(ports, sub.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &own, nullptr) == 0;
      ::_exit(ok ? 0 : 1);
    }
    children.push_back(pid);
  }
  ::close(go[0]);
  ::close(go[1]);

  // Reading while they write never meets a half-written hive.
  HKEY key = OpenKey(HKEY_LOCAL_MACHINE, kMonitor, KEY_READ);
  for (int i = 0; i < 200; ++i) {
    DWORD values = 0;
    ASSERT_EQ(RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr, nullptr,
                               nullptr, nullptr),
              ERROR_SUCCESS);
  }
  for (pid_t pid : children) {
    int status = 0;
    ::waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }

  k460::SetMachineRoot(root());
  EXPECT_EQ(ValueNames(key).size(), static_cast<std::size_t>(kChildren * kValuesEach));
  for (int c = 0; c < kChildren; ++c)
    for (int v = 0; v < kValuesEach; ++v) {
      std::u16string name = k460::Utf8ToUtf16("KP2_10.0." + std::to_string(c) + "." + std::to_string(v));
      EXPECT_EQ(QueryDword(key, name.c_str()), static_cast<DWORD>(c * 1000 + v));
    }
  EXPECT_EQ(SubkeyNames(key).size(), static_cast<std::size_t>(kChildren));
  RegCloseKey(key);
}

TEST_F(RegistryStoreTest, ThreadsOfOneProcessShareTheHive) {
  constexpr int kThreads = 4, kValuesEach = 25;
  HKEY key = CreateKey(HKEY_LOCAL_MACHINE, kMonitor);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t)
    threads.emplace_back([key, t] {
      for (int v = 0; v < kValuesEach; ++v) {
        std::u16string name = k460::Utf8ToUtf16("T" + std::to_string(t) + "_" + std::to_string(v));
        EXPECT_EQ(SetDword(key, name.c_str(), static_cast<DWORD>(v)), ERROR_SUCCESS);
        EXPECT_EQ(QueryDword(key, name.c_str()), static_cast<DWORD>(v));
      }
    });
  for (auto& t : threads) t.join();
  EXPECT_EQ(ValueNames(key).size(), static_cast<std::size_t>(kThreads * kValuesEach));
  RegCloseKey(key);
}

TEST_F(RegistryStoreTest, EachMachineRootHasItsOwnRegistry) {
  HKEY key = CreateKey(HKEY_LOCAL_MACHINE, kMonitor);
  ASSERT_EQ(SetDword(key, u"BitmapRotate", 1), ERROR_SUCCESS);
  auto other = MakeTempFolder("k460-registry-other");
  k460::SetMachineRoot(other);
  HKEY out = nullptr;
  EXPECT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, kMonitor, 0, KEY_READ, &out), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(SetDword(key, u"BitmapRotate", 2), ERROR_KEY_DELETED);  // its key is not in this machine
  k460::SetMachineRoot(root());
  EXPECT_EQ(QueryDword(key, u"BitmapRotate"), 1u);
  RegCloseKey(key);
  std::filesystem::remove_all(other);
}

TEST_F(RegistryStoreTest, DamagedHiveFileAnswersBadDbAndIsLeftAlone) {
  HKEY key = CreateKey(HKEY_LOCAL_MACHINE, kMonitor);
  ASSERT_EQ(SetDword(key, u"BitmapRotate", 1), ERROR_SUCCESS);
  RegCloseKey(key);
  auto file = k460::RegistryHiveFile(HKEY_LOCAL_MACHINE);
  ASSERT_EQ(file.parent_path(), root() / "registry");
  const std::string good = ReadHostFile(file);

  struct Case {
    const char* what;
    std::function<std::string(std::string)> damage;
  };
  const Case cases[] = {
      {"empty", [](std::string) { return std::string(); }},
      {"header cut short", [](std::string s) { return s.substr(0, 20); }},
      {"tree cut short", [](std::string s) { return s.substr(0, s.size() - 7); }},
      {"byte flipped", [](std::string s) { s[s.size() / 2 + 16] ^= 0x40; return s; }},
      {"bytes appended", [](std::string s) { return s + "junk"; }},
      {"text", [](std::string) { return std::string("[HKEY_LOCAL_MACHINE]\nBitmapRotate=1\n"); }},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string bad = c.damage(good);
    { std::ofstream(file, std::ios::binary | std::ios::trunc) << bad; }
    HKEY out = nullptr;
    EXPECT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, kMonitor, 0, KEY_READ, &out), ERROR_BADDB);
    EXPECT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"Software", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &out, nullptr),
              ERROR_BADDB);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(ReadHostFile(file), bad);  // nothing written over it
    HKEY user = CreateKey(HKEY_CURRENT_USER, u"Software");  // other hives go on working
    EXPECT_EQ(SetDword(user, u"v", 1), ERROR_SUCCESS);
    RegCloseKey(user);
  }

  { std::ofstream(file, std::ios::binary | std::ios::trunc) << good; }  // repaired
  key = OpenKey(HKEY_LOCAL_MACHINE, kMonitor, KEY_READ);
  EXPECT_EQ(QueryDword(key, u"BitmapRotate"), 1u);
  RegCloseKey(key);
  std::filesystem::remove(file);  // removed: an empty hive
  HKEY out = nullptr;
  EXPECT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, kMonitor, 0, KEY_READ, &out), ERROR_FILE_NOT_FOUND);
  RegCloseKey(CreateKey(HKEY_LOCAL_MACHINE, u"Software"));
}

TEST_F(RegistryStoreTest, AFailedWriteKeepsTheOldStateEverywhere) {
  HKEY key = CreateKey(HKEY_LOCAL_MACHINE, kMonitor);
  ASSERT_EQ(SetDword(key, u"SendPageWaitTime", 30000), ERROR_SUCCESS);
  // The disk is full: no file may grow past a few bytes.
  ::signal(SIGXFSZ, SIG_IGN);
  rlimit old{};
  ::getrlimit(RLIMIT_FSIZE, &old);
  rlimit tiny = old;
  tiny.rlim_cur = 16;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &tiny), 0);

  EXPECT_EQ(SetDword(key, u"SendPageWaitTime", 1), ERROR_CANTWRITE);
  HKEY out = nullptr;
  EXPECT_EQ(RegCreateKeyExW(key, u"Ports", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &out, nullptr), ERROR_CANTWRITE);
  EXPECT_EQ(QueryDword(key, u"SendPageWaitTime"), 30000u);
  EXPECT_EQ(SubkeyNames(key), std::vector<std::u16string>{});

  ::setrlimit(RLIMIT_FSIZE, &old);
  EXPECT_EQ(SetDword(key, u"SendPageWaitTime", 1), ERROR_SUCCESS);
  EXPECT_EQ(QueryDword(key, u"SendPageWaitTime"), 1u);
  RegCloseKey(key);
}

TEST_F(RegistryStoreTest, InjectedFaultsFailWritesWithTheChosenCodeAndChangeNothing) {
  HKEY key = CreateKey(HKEY_LOCAL_MACHINE, kMonitor);
  ASSERT_EQ(SetDword(key, u"BitmapRotate", 1), ERROR_SUCCESS);
  RegCloseKey(CreateKey(key, u"Install"));
  struct Case {
    const char* function;
    std::function<LONG()> call;
  };
  // In an order in which each call, once it goes through, leaves what the next needs.
  const Case cases[] = {
      {"RegOpenKeyExW",
       [&] {
         HKEY out = nullptr;
         LONG rc = RegOpenKeyExW(key, u"Install", 0, KEY_READ, &out);
         if (out) RegCloseKey(out);
         return rc;
       }},
      {"RegQueryValueExW", [&] { return RegQueryValueExW(key, u"BitmapRotate", nullptr, nullptr, nullptr, nullptr); }},
      {"RegSetValueExW", [&] { return SetDword(key, u"BitmapRotate", 0); }},
      {"RegCreateKeyExW",
       [&] {
         HKEY out = nullptr;
         LONG rc = RegCreateKeyExW(key, u"Ports", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &out, nullptr);
         if (out) RegCloseKey(out);
         return rc;
       }},
      {"RegDeleteValueW", [&] { return RegDeleteValueW(key, u"BitmapRotate"); }},
      {"RegDeleteKeyW", [&] { return RegDeleteKeyW(key, u"Install"); }},
  };
  const auto file = k460::RegistryHiveFile(HKEY_LOCAL_MACHINE);
  for (auto& c : cases) {
    SCOPED_TRACE(c.function);
    const std::string before = ReadHostFile(file);
    k460::InjectFault(c.function, 0, 1, ERROR_CANTWRITE);
    EXPECT_EQ(c.call(), ERROR_CANTWRITE);
    EXPECT_EQ(ReadHostFile(file), before);
    EXPECT_EQ(c.call(), ERROR_SUCCESS);  // the fault is used up
  }
  RegCloseKey(key);
}

TEST_F(RegistryStoreTest, DeleteTreeRemovesEverythingBelow) {
  HKEY printer = CreateKey(HKEY_LOCAL_MACHINE, u"Printers\\K460\\PrinterDriverData\\Deep");
  ASSERT_EQ(SetDword(printer, u"x", 1), ERROR_SUCCESS);
  HKEY readOnly = OpenKey(HKEY_LOCAL_MACHINE, u"Printers", KEY_READ);
  EXPECT_EQ(k460::DeleteRegistryTree(readOnly, u"K460"), ERROR_ACCESS_DENIED);
  RegCloseKey(readOnly);
  EXPECT_EQ(k460::DeleteRegistryTree(HKEY_LOCAL_MACHINE, u"printers\\k460"), ERROR_SUCCESS);
  EXPECT_EQ(SetDword(printer, u"x", 2), ERROR_KEY_DELETED);
  EXPECT_EQ(k460::DeleteRegistryTree(HKEY_LOCAL_MACHINE, u"Printers\\K460"), ERROR_FILE_NOT_FOUND);
  HKEY printers = OpenKey(HKEY_LOCAL_MACHINE, u"Printers");
  EXPECT_EQ(SubkeyNames(printers), std::vector<std::u16string>{});
  RegCloseKey(printers);
  RegCloseKey(printer);
}

TEST_F(RegistryStoreTest, AKeysValuesCanBeReadInOneGoAndFollowLaterChanges) {
  HKEY key = CreateKey(HKEY_LOCAL_MACHINE, u"Printers\\K460");
  ASSERT_EQ(SetDword(key, u"Attributes", 0x800), ERROR_SUCCESS);
  ASSERT_EQ(SetDword(key, u"Status", 0), ERROR_SUCCESS);
  std::vector<k460::RegistryValue> values;
  ASSERT_EQ(k460::ReadRegistryValues(key, &values), ERROR_SUCCESS);
  ASSERT_EQ(values.size(), 2u);
  EXPECT_EQ(values[0].name, u"Attributes");
  EXPECT_EQ(values[0].type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(values[0].data, (std::vector<BYTE>{0x00, 0x08, 0x00, 0x00}));

  // Another process's change is seen by the next read.
  const pid_t child = fork();
  if (child == 0) {
    HKEY own = OpenKey(HKEY_LOCAL_MACHINE, u"Printers\\K460");
    _exit(own && SetDword(own, u"Status", 0x80) == ERROR_SUCCESS ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  ASSERT_EQ(k460::ReadRegistryValues(key, &values), ERROR_SUCCESS);
  ASSERT_EQ(values.size(), 2u);
  EXPECT_EQ(values[1].data, (std::vector<BYTE>{0x80, 0x00, 0x00, 0x00}));

  HKEY writeOnly = OpenKey(HKEY_LOCAL_MACHINE, u"Printers\\K460", KEY_SET_VALUE);
  EXPECT_EQ(k460::ReadRegistryValues(writeOnly, &values), ERROR_ACCESS_DENIED);
  EXPECT_EQ(k460::ReadRegistryValues(key, nullptr), ERROR_INVALID_PARAMETER);
  RegCloseKey(writeOnly);
  RegCloseKey(key);
}

}  // namespace
