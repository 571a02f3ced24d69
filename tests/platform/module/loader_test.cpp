// Loading libraries by name, their entry points, reference counts, handles
// and exported functions.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "platform/module/module_host.h"
#include "tests/platform/module/module_test_support.h"
#include "tests/support/machine_fixture.h"

namespace {

using k460::testing::BuiltTestLibrary;
using k460::testing::Canonical;
using k460::testing::MachineTest;
using k460::testing::ModuleFileName;
using LoaderTest = MachineTest;
namespace fs = std::filesystem;

int CountEntryCalls(const std::string& detail) {
  auto log = k460::CallLog();
  return static_cast<int>(std::count_if(log.begin(), log.end(), [&](const k460::CallRecord& r) {
    return r.function == "k460modtest DllMain" && r.detail == detail;
  }));
}

template <class F>
F Proc(HMODULE module, LPCSTR name) {
  return reinterpret_cast<F>(GetProcAddress(module, name));
}

TEST_F(LoaderTest, NamesInAnyCaseWithOrWithoutExtensionLoadTheSameLibrary) {
  const char16_t* names[] = {u"k460modtest", u"K460MODTEST.DLL", u"k460modtest.dll", u"K460ModTest.so"};
  std::vector<HMODULE> handles;
  for (auto name : names) {
    HMODULE module = LoadLibraryW(name);
    ASSERT_NE(module, nullptr) << k460::Utf16ToUtf8(name) << ": " << k460::LastLibraryLoadFailure();
    handles.push_back(module);
  }
  for (auto module : handles) EXPECT_EQ(module, handles[0]);
  EXPECT_EQ(ModuleFileName(handles[0]), Canonical(BuiltTestLibrary()));
  for (auto module : handles) EXPECT_TRUE(FreeLibrary(module));
  EXPECT_EQ(GetModuleHandleW(u"k460modtest"), nullptr);
}

TEST_F(LoaderTest, DriverDirectoryIsSearchedBeforeTheBuildFolder) {
  fs::path drivers = k460::HostPath(k460::PrinterDriverDirectory());
  fs::create_directories(drivers);
  fs::copy_file(BuiltTestLibrary(), drivers / "K460MODTEST.SO");

  HMODULE module = LoadLibraryW(u"k460modtest.dll");
  ASSERT_NE(module, nullptr) << k460::LastLibraryLoadFailure();
  EXPECT_EQ(ModuleFileName(module), u"C:\\Windows\\System32\\spool\\drivers\\w32x86\\3\\K460MODTEST.SO");
  // The same file by its full Windows path, in other case, is the same library.
  HMODULE byPath = LoadLibraryW(u"c:\\WINDOWS\\system32\\SPOOL\\drivers\\w32x86\\3\\k460modtest.dll");
  EXPECT_EQ(byPath, module);
  // The build folder's copy by its host path is another library, with its
  // own state and resources.
  std::u16string built = Canonical(BuiltTestLibrary());
  HMODULE other = LoadLibraryW(built.c_str());
  ASSERT_NE(other, nullptr);
  EXPECT_NE(other, module);
  auto ownInstance = [](HMODULE m) { return reinterpret_cast<HINSTANCE (*)()>(GetProcAddress(m, "OwnInstance"))(); };
  EXPECT_EQ(ownInstance(module), module);
  EXPECT_EQ(ownInstance(other), other);
  EXPECT_NE(FindResourceW(other, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(258)),
            FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(258)));
  EXPECT_TRUE(FreeLibrary(other));
  EXPECT_TRUE(FreeLibrary(byPath));
  EXPECT_TRUE(FreeLibrary(module));
}

TEST_F(LoaderTest, LibPathFoldersComeAfterTheDriverDirectoryAndBeforeTheBuildFolder) {
  fs::path first = root() / "libs-a", second = root() / "libs-b";
  fs::create_directories(first);
  fs::create_directories(second);
  fs::copy_file(BuiltTestLibrary(), second / "k460modtest.so");
  k460::testing::ScopedLibPath libpath(first.string() + ":" + second.string());

  auto folders = k460::LibrarySearchFolders();
  ASSERT_EQ(folders.size(), 4u);
  EXPECT_EQ(folders[0], k460::HostPath(k460::PrinterDriverDirectory()));
  EXPECT_EQ(folders[1], first);
  EXPECT_EQ(folders[2], second);
  EXPECT_EQ(fs::canonical(folders[3]), fs::canonical(K460_BIN_DIR));

  HMODULE module = LoadLibraryW(u"k460modtest");
  ASSERT_NE(module, nullptr);
  EXPECT_EQ(ModuleFileName(module), Canonical(second / "k460modtest.so"));
  EXPECT_TRUE(FreeLibrary(module));
}

TEST_F(LoaderTest, MissingOrBrokenLibrariesFailWithTheirReason) {
  struct Case {
    const char16_t* name;
    DWORD error;
  } cases[] = {
      {u"nosuchlibrary", ERROR_MOD_NOT_FOUND},
      {u"C:\\Windows\\System32\\spool\\drivers\\w32x86\\3\\nosuch.dll", ERROR_MOD_NOT_FOUND},
      {u"", ERROR_MOD_NOT_FOUND},
      {nullptr, ERROR_INVALID_PARAMETER},
      {u"broken.dll", ERROR_BAD_EXE_FORMAT},
  };
  WriteMachineFile(k460::PrinterDriverDirectory() + u"\\broken.so", "not a shared object");
  for (const auto& c : cases) {
    SetLastError(0);
    EXPECT_EQ(LoadLibraryW(c.name), nullptr);
    EXPECT_EQ(GetLastError(), c.error) << (c.name ? k460::Utf16ToUtf8(c.name) : "null");
  }
  EXPECT_NE(k460::LastLibraryLoadFailure(), "");  // the loader's reason for broken.so

  k460::InjectFault("LoadLibraryW", 0, 1, ERROR_NOT_ENOUGH_MEMORY);
  EXPECT_EQ(LoadLibraryW(u"k460modtest"), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_NOT_ENOUGH_MEMORY);
}

TEST_F(LoaderTest, ProceduresByNameAndByOrdinal) {
  HMODULE module = LoadLibraryW(u"k460modtest");
  ASSERT_NE(module, nullptr);
  using Unary = int (*)(int);
  using BinaryOp = int (*)(int, int);
  using Nullary = int (*)();

  EXPECT_EQ(Proc<Nullary>(module, MAKEINTRESOURCEA(1))(), 3);
  EXPECT_EQ(Proc<Nullary>(module, "Version"), Proc<Nullary>(module, MAKEINTRESOURCEA(1)));
  EXPECT_EQ(Proc<BinaryOp>(module, MAKEINTRESOURCEA(2))(2, 5), 7);
  EXPECT_EQ(Proc<BinaryOp>(module, MAKEINTRESOURCEA(7))(6, 7), 42);
  // A named table entry is found by name though it is no exported symbol.
  EXPECT_EQ(Proc<Unary>(module, "Negate")(4), -4);

  struct Missing {
    LPCSTR name;
    const char* what;
  } missing[] = {
      {"Multiply", "entry exported by ordinal only"},
      {"NoSuchFunction", "unknown name"},
      {"GetLastError", "a function of a library it depends on"},
      {MAKEINTRESOURCEA(99), "unknown ordinal"},
      {MAKEINTRESOURCEA(0), "ordinal 0"},
  };
  for (const auto& m : missing) {
    SetLastError(0);
    EXPECT_EQ(GetProcAddress(module, m.name), nullptr) << m.what;
    EXPECT_EQ(GetLastError(), ERROR_PROC_NOT_FOUND) << m.what;
  }

  HMODULE bare = LoadLibraryW(u"k460modbare");
  ASSERT_NE(bare, nullptr);
  EXPECT_EQ(Proc<Nullary>(bare, "BareAnswer")(), 42);
  EXPECT_EQ(GetProcAddress(bare, MAKEINTRESOURCEA(1)), nullptr);  // no ordinal table
  EXPECT_EQ(GetLastError(), ERROR_PROC_NOT_FOUND);
  EXPECT_TRUE(FreeLibrary(bare));
  EXPECT_TRUE(FreeLibrary(module));
}

TEST_F(LoaderTest, LoadsAreCountedAndTheLastFreeDetachesAndUnloads) {
  k460::EnableCallLog(true);
  HMODULE module = LoadLibraryW(u"k460modtest");
  ASSERT_NE(module, nullptr);
  EXPECT_EQ(LoadLibraryW(u"K460MODTEST.DLL"), module);
  EXPECT_EQ(CountEntryCalls("attach"), 1);
  EXPECT_EQ(Proc<HINSTANCE (*)()>(module, "OwnInstance")(), module);  // the entry point got its handle

  EXPECT_TRUE(FreeLibrary(module));
  EXPECT_EQ(CountEntryCalls("detach"), 0);
  EXPECT_NE(GetProcAddress(module, "Version"), nullptr);

  EXPECT_TRUE(FreeLibrary(module));
  EXPECT_EQ(CountEntryCalls("detach"), 1);

  // The handle is stale now, as is an invented one.
  for (HMODULE stale : {module, reinterpret_cast<HMODULE>(0x1234)}) {
    WCHAR text[64];
    SetLastError(0);
    EXPECT_EQ(GetProcAddress(stale, "Version"), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_FALSE(FreeLibrary(stale));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_EQ(GetModuleFileNameW(stale, text, 64), 0u);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_EQ(LoadStringW(stale, 1, text, 64), 0);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_EQ(FindResourceW(stale, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(258)), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  }

  HMODULE again = LoadLibraryW(u"k460modtest");
  ASSERT_NE(again, nullptr);
  EXPECT_NE(again, module);  // handles are never reused
  EXPECT_EQ(CountEntryCalls("attach"), 2);
  EXPECT_TRUE(FreeLibrary(again));
}

TEST_F(LoaderTest, AnEntryPointThatRefusesFailsTheLoad) {
  k460::EnableCallLog(true);
  k460::InjectFault("k460modtest DllMain", 0, 1, 0);
  SetLastError(0);
  EXPECT_EQ(LoadLibraryW(u"k460modtest"), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_DLL_INIT_FAILED);
  EXPECT_EQ(CountEntryCalls("attach"), 1);
  EXPECT_EQ(CountEntryCalls("detach"), 1);  // told at once, as the system does
  EXPECT_EQ(GetModuleHandleW(u"k460modtest"), nullptr);

  HMODULE module = LoadLibraryW(u"k460modtest");
  ASSERT_NE(module, nullptr);
  EXPECT_TRUE(FreeLibrary(module));
}

TEST_F(LoaderTest, AnEntryPointMayLoadItsOwnLibrary) {
  k460::InjectFault("k460modtest pin", 0, 1, 0);
  HMODULE module = LoadLibraryW(u"k460modtest");
  ASSERT_NE(module, nullptr);
  EXPECT_TRUE(FreeLibrary(module));
  EXPECT_EQ(GetModuleHandleW(u"k460modtest"), module);  // the entry point's own load holds it
  EXPECT_TRUE(FreeLibrary(module));
  EXPECT_EQ(GetModuleHandleW(u"k460modtest"), nullptr);
}

TEST_F(LoaderTest, ADataFileLoadSkipsTheEntryPointUntilALoadProper) {
  k460::EnableCallLog(true);
  HMODULE data = LoadLibraryExW(u"k460modtest", nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(data, nullptr);
  EXPECT_EQ(CountEntryCalls("attach"), 0);
  EXPECT_NE(FindResourceW(data, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(258)), nullptr);

  EXPECT_EQ(LoadLibraryW(u"k460modtest"), data);
  EXPECT_EQ(CountEntryCalls("attach"), 1);
  EXPECT_TRUE(FreeLibrary(data));
  EXPECT_TRUE(FreeLibrary(data));
  EXPECT_EQ(CountEntryCalls("detach"), 1);

  EXPECT_EQ(LoadLibraryExW(u"k460modtest", nullptr, 0x1000), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(LoadLibraryExW(u"k460modtest", reinterpret_cast<HANDLE>(0x10), 0), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

TEST_F(LoaderTest, SystemLibraryNamesStandForThePlatform) {
  struct Case {
    const char16_t* name;
    const char16_t* fileName;
  } cases[] = {
      {u"USERENV.DLL", u"C:\\Windows\\System32\\userenv.dll"},
      {u"kernel32", u"C:\\Windows\\System32\\kernel32.dll"},
      {u"C:\\Windows\\System32\\ADVAPI32.DLL", u"C:\\Windows\\System32\\advapi32.dll"},
      {u"winspool.drv", u"C:\\Windows\\System32\\winspool.drv"},
  };
  for (const auto& c : cases) {
    HMODULE module = LoadLibraryW(c.name);
    ASSERT_NE(module, nullptr) << k460::Utf16ToUtf8(c.name);
    EXPECT_EQ(GetModuleHandleW(c.name), module);
    EXPECT_EQ(ModuleFileName(module), c.fileName);
    EXPECT_EQ(GetProcAddress(module, "GetUserDefaultLangID"), reinterpret_cast<FARPROC>(&GetUserDefaultLangID));
    EXPECT_TRUE(FreeLibrary(module));
    EXPECT_TRUE(FreeLibrary(module));  // never unloaded
    EXPECT_NE(GetProcAddress(module, "GetLastError"), nullptr);
  }
  // A system name in another folder is an ordinary file there.
  EXPECT_EQ(LoadLibraryW(u"C:\\Drivers\\kernel32.dll"), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_MOD_NOT_FOUND);
}

TEST_F(LoaderTest, ModuleHandlesAndFileNames) {
  SetLastError(0);
  EXPECT_EQ(GetModuleHandleW(u"k460modtest"), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_MOD_NOT_FOUND);
  HMODULE module = LoadLibraryW(u"k460modtest");
  ASSERT_NE(module, nullptr);
  EXPECT_EQ(GetModuleHandleW(u"K460MODTEST.DLL"), module);
  std::u16string built = Canonical(BuiltTestLibrary());
  EXPECT_EQ(GetModuleHandleW(built.c_str()), module);

  // The program itself.
  HMODULE program = GetModuleHandleW(nullptr);
  ASSERT_NE(program, nullptr);
  EXPECT_EQ(ModuleFileName(nullptr), ModuleFileName(program));
  EXPECT_EQ(ModuleFileName(program), Canonical("/proc/self/exe"));

  // Buffer rules: a short buffer gets the terminated beginning.
  WCHAR small[5] = {u'x', u'x', u'x', u'x', u'x'};
  EXPECT_EQ(GetModuleFileNameW(module, small, 5), 5u);
  EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
  EXPECT_EQ(std::u16string(small), built.substr(0, 4));
  EXPECT_EQ(GetModuleFileNameW(module, small, 0), 0u);
  EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
  EXPECT_EQ(GetModuleFileNameW(module, nullptr, 10), 0u);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  WCHAR exact[1024];
  EXPECT_EQ(GetModuleFileNameW(module, exact, static_cast<DWORD>(built.size() + 1)), built.size());

  // GetModuleHandleW adds no reference: one free unloads.
  EXPECT_TRUE(FreeLibrary(module));
  EXPECT_EQ(GetModuleHandleW(u"k460modtest"), nullptr);
}

}  // namespace
