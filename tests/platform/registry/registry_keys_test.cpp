// Keys: creation and opening, names and paths, rights, handles, deletion,
// enumeration and key information.
#include <gtest/gtest.h>

#include <functional>

#include "platform/base/internal.h"
#include "platform/registry/registry_host.h"
#include "tests/platform/registry/registry_test_util.h"
#include "tests/support/machine_fixture.h"

namespace {

using namespace k460::testing;
using RegistryKeyTest = MachineTest;

constexpr const char16_t* kMonitors = u"SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors";

TEST_F(RegistryKeyTest, CreateMakesTheWholePathAndReportsWhetherItWasNew) {
  HKEY key = nullptr;
  DWORD disposition = 0;
  std::u16string path = std::u16string(kMonitors) + u"\\Velkaro Ar+Vento2 Port Monitor\\Ports";
  ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                            nullptr, &key, &disposition),
            ERROR_SUCCESS);
  EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);
  EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);

  ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_READ,
                            nullptr, &key, &disposition),
            ERROR_SUCCESS);
  EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY);
  RegCloseKey(key);

  HKEY monitors = OpenKey(HKEY_LOCAL_MACHINE, kMonitors, KEY_READ);
  EXPECT_EQ(SubkeyNames(monitors), std::vector<std::u16string>{u"Velkaro Ar+Vento2 Port Monitor"});
  RegCloseKey(monitors);

  HKEY missing = reinterpret_cast<HKEY>(1);
  EXPECT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"SYSTEM\\Nowhere", 0, KEY_READ, &missing), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(missing, nullptr);
}

TEST_F(RegistryKeyTest, NamesIgnoreCaseButKeepTheirFirstSpelling) {
  HKEY key = CreateKey(HKEY_CURRENT_USER, u"Software\\Velkaro\\Ar+Vento\\Common");
  ASSERT_EQ(SetDword(key, u"HttpPort", 8080), ERROR_SUCCESS);
  ASSERT_EQ(SetDword(key, u"HTTPPORT", 8081), ERROR_SUCCESS);  // the same value
  RegCloseKey(key);

  HKEY again = nullptr;
  DWORD disposition = 0;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, u"SOFTWARE\\velkaro\\AR+VENTO\\common", 0, nullptr, 0, KEY_ALL_ACCESS,
                            nullptr, &again, &disposition),
            ERROR_SUCCESS);
  EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY);
  EXPECT_EQ(QueryDword(again, u"httpport"), 8081u);
  EXPECT_EQ(ValueNames(again), std::vector<std::u16string>{u"HttpPort"});
  RegCloseKey(again);

  HKEY software = OpenKey(HKEY_CURRENT_USER, u"software");
  EXPECT_EQ(SubkeyNames(software), std::vector<std::u16string>{u"Velkaro"});
  RegCloseKey(software);
}

TEST_F(RegistryKeyTest, HivesAreSeparate) {
  RegCloseKey(CreateKey(HKEY_LOCAL_MACHINE, u"Software\\Velkaro"));
  HKEY key = nullptr;
  for (HKEY other : {HKEY_CURRENT_USER, HKEY_USERS, HKEY_CLASSES_ROOT})
    EXPECT_EQ(RegOpenKeyExW(other, u"Software\\Velkaro", 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryKeyTest, PathRules) {
  struct Case {
    std::u16string path;
    LONG expected;
  };
  const Case cases[] = {
      {u"A\\B", ERROR_SUCCESS},
      {u"A\\B\\", ERROR_SUCCESS},  // one trailing backslash is allowed
      {u"\\A\\B", ERROR_BAD_PATHNAME},
      {u"A\\\\B", ERROR_BAD_PATHNAME},
      {u"A\\B\\\\", ERROR_BAD_PATHNAME},
      {std::u16string(255, u'n'), ERROR_SUCCESS},
      {std::u16string(256, u'n'), ERROR_INVALID_PARAMETER},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(k460::Utf16ToUtf8(c.path));
    HKEY key = nullptr;
    EXPECT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, c.path.c_str(), 0, nullptr, 0, KEY_READ, nullptr, &key, nullptr),
              c.expected);
    if (key) RegCloseKey(key);
    EXPECT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, c.path.c_str(), 0, KEY_READ, &key), c.expected);
    if (key) RegCloseKey(key);
  }
  HKEY a = OpenKey(HKEY_LOCAL_MACHINE, u"A");
  EXPECT_EQ(SubkeyNames(a), std::vector<std::u16string>{u"B"});
  RegCloseKey(a);
}

TEST_F(RegistryKeyTest, EmptySubkeyOpensTheKeyItself) {
  HKEY parent = CreateKey(HKEY_LOCAL_MACHINE, u"Software\\Velkaro");
  ASSERT_EQ(SetDword(parent, u"x", 1), ERROR_SUCCESS);
  for (const char16_t* sub : {static_cast<const char16_t*>(nullptr), u""}) {
    HKEY self = OpenKey(parent, sub, KEY_READ);
    EXPECT_EQ(QueryDword(self, u"x"), 1u);
    RegCloseKey(self);
  }
  RegCloseKey(parent);
}

// What a handle opened with `access` may do.
TEST_F(RegistryKeyTest, HandlesCanDoOnlyWhatTheirRightsAllow) {
  struct Operation {
    const char* name;
    std::function<LONG(HKEY)> run;
  };
  const Operation operations[] = {
      {"query", [](HKEY k) { return RegQueryValueExW(k, u"v", nullptr, nullptr, nullptr, nullptr); }},
      {"enum values",
       [](HKEY k) {
         WCHAR n[8];
         DWORD size = 8;
         return RegEnumValueW(k, 0, n, &size, nullptr, nullptr, nullptr, nullptr);
       }},
      {"enum keys",
       [](HKEY k) {
         WCHAR n[16];
         DWORD size = 16;
         return RegEnumKeyExW(k, 0, n, &size, nullptr, nullptr, nullptr, nullptr);
       }},
      {"info",
       [](HKEY k) {
         return RegQueryInfoKeyW(k, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                 nullptr, nullptr);
       }},
      {"set", [](HKEY k) { return SetDword(k, u"w", 1); }},
      {"delete value", [](HKEY k) { return RegDeleteValueW(k, u"v"); }},
      {"create new subkey",
       [](HKEY k) {
         HKEY sub = nullptr;
         LONG rc = RegCreateKeyExW(k, u"New", 0, nullptr, 0, KEY_READ, nullptr, &sub, nullptr);
         if (sub) RegCloseKey(sub);
         return rc;
       }},
      {"create existing subkey",
       [](HKEY k) {
         HKEY sub = nullptr;
         LONG rc = RegCreateKeyExW(k, u"Existing", 0, nullptr, 0, KEY_READ, nullptr, &sub, nullptr);
         if (sub) RegCloseKey(sub);
         return rc;
       }},
      {"delete subkey", [](HKEY k) { return RegDeleteKeyW(k, u"Existing"); }},
  };
  struct Rights {
    REGSAM access;
    const char* allowed;  // one letter per operation: y allowed, n denied
  };
  const Rights rights[] = {
      {KEY_READ, "yyyynnnyn"},
      {KEY_WRITE, "nnnnyyyyy"},
      {KEY_SET_VALUE, "nnnnyynyy"},
      {KEY_ALL_ACCESS, "yyyyyyyyy"},
  };
  for (auto& r : rights) {
    for (std::size_t i = 0; i < std::size(operations); ++i) {
      SCOPED_TRACE(std::string(operations[i].name) + " with access " + std::to_string(r.access));
      // A fresh tree for every operation, so that one's changes do not hide another's denial.
      k460::DeleteRegistryTree(HKEY_LOCAL_MACHINE, u"Base");
      HKEY full = CreateKey(HKEY_LOCAL_MACHINE, u"Base");
      SetDword(full, u"v", 7);
      RegCloseKey(CreateKey(full, u"Existing"));
      RegCloseKey(full);

      HKEY key = OpenKey(HKEY_LOCAL_MACHINE, u"Base", r.access);
      LONG rc = operations[i].run(key);
      if (r.allowed[i] == 'y')
        EXPECT_EQ(rc, ERROR_SUCCESS);
      else
        EXPECT_EQ(rc, ERROR_ACCESS_DENIED);
      RegCloseKey(key);
    }
  }
}

TEST_F(RegistryKeyTest, BadHandlesAreRefused) {
  HKEY closed = CreateKey(HKEY_LOCAL_MACHINE, u"Software");
  ASSERT_EQ(RegCloseKey(closed), ERROR_SUCCESS);
  struct NotAKey : k460::KernelObject {};
  HKEY other = static_cast<HKEY>(k460::InsertHandle(std::make_shared<NotAKey>()));
  const HKEY bad[] = {nullptr, reinterpret_cast<HKEY>(0x12345), closed, other,
                      reinterpret_cast<HKEY>(static_cast<LONG_PTR>(static_cast<LONG>(0x80000005)))};
  for (HKEY h : bad) {
    SCOPED_TRACE(reinterpret_cast<std::uintptr_t>(h));
    HKEY out = nullptr;
    WCHAR name[16];
    DWORD size = 16;
    DWORD dw = 1;
    EXPECT_EQ(RegOpenKeyExW(h, u"x", 0, KEY_READ, &out), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegCreateKeyExW(h, u"x", 0, nullptr, 0, KEY_READ, nullptr, &out, nullptr), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegCloseKey(h), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegQueryValueExW(h, u"x", nullptr, nullptr, nullptr, nullptr), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegSetValueExW(h, u"x", 0, REG_DWORD, reinterpret_cast<BYTE*>(&dw), 4), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegDeleteValueW(h, u"x"), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegDeleteKeyW(h, u"x"), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegEnumKeyExW(h, 0, name, &size, nullptr, nullptr, nullptr, nullptr), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegEnumValueW(h, 0, name, &size, nullptr, nullptr, nullptr, nullptr), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegQueryInfoKeyW(h, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                               nullptr, nullptr),
              ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegFlushKey(h), ERROR_INVALID_HANDLE);
  }
  EXPECT_TRUE(k460::RemoveHandle(other));  // closing a key never touched it
  EXPECT_EQ(RegCloseKey(HKEY_LOCAL_MACHINE), ERROR_SUCCESS);
}

TEST_F(RegistryKeyTest, NullPointersAreRefused) {
  HKEY key = CreateKey(HKEY_LOCAL_MACHINE, u"Software");
  WCHAR name[16];
  DWORD size = 16, reserved = 0;
  EXPECT_EQ(RegOpenKeyExW(key, u"x", 0, KEY_READ, nullptr), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(RegCreateKeyExW(key, u"x", 0, nullptr, 0, KEY_READ, nullptr, nullptr, nullptr), ERROR_INVALID_PARAMETER);
  HKEY out = nullptr;
  EXPECT_EQ(RegCreateKeyExW(key, nullptr, 0, nullptr, 0, KEY_READ, nullptr, &out, nullptr), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(RegDeleteKeyW(key, nullptr), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(RegEnumKeyExW(key, 0, nullptr, &size, nullptr, nullptr, nullptr, nullptr), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(RegEnumKeyExW(key, 0, name, nullptr, nullptr, nullptr, nullptr, nullptr), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(RegEnumKeyExW(key, 0, name, &size, &reserved, nullptr, nullptr, nullptr), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(RegQueryInfoKeyW(key, nullptr, nullptr, &reserved, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                             nullptr, nullptr),
            ERROR_INVALID_PARAMETER);
  EXPECT_EQ(RegCreateKeyExW(key, u"x", 0, nullptr, 1 /* volatile */, KEY_READ, nullptr, &out, nullptr),
            ERROR_INVALID_PARAMETER);
  RegCloseKey(key);
}

TEST_F(RegistryKeyTest, DeleteRefusesAKeyWithSubkeysAndTheHiveRoot) {
  HKEY install = CreateKey(HKEY_LOCAL_MACHINE, u"Mon\\Install");
  ASSERT_EQ(SetDword(install, u"192.168.1.10", 0), ERROR_SUCCESS);  // values do not stop a delete
  RegCloseKey(install);
  RegCloseKey(CreateKey(HKEY_LOCAL_MACHINE, u"Mon\\Ports\\Deep"));

  HKEY mon = OpenKey(HKEY_LOCAL_MACHINE, u"MON");
  EXPECT_EQ(RegDeleteKeyW(mon, u"Ports"), ERROR_ACCESS_DENIED);
  EXPECT_EQ(RegDeleteKeyW(mon, u"install"), ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteKeyW(mon, u"Install"), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegDeleteKeyW(mon, u"Ports\\Deep"), ERROR_SUCCESS);
  EXPECT_EQ(SubkeyNames(mon), std::vector<std::u16string>{u"Ports"});
  RegCloseKey(mon);
  EXPECT_EQ(RegDeleteKeyW(HKEY_LOCAL_MACHINE, u""), ERROR_ACCESS_DENIED);
}

TEST_F(RegistryKeyTest, HandleOfADeletedKeyStaysDeadEvenWhenTheNameComesBack) {
  HKEY ports = CreateKey(HKEY_LOCAL_MACHINE, u"Mon\\Ports");
  HKEY self = OpenKey(ports, u"");
  ASSERT_EQ(RegDeleteKeyW(self, u""), ERROR_SUCCESS);  // an empty name deletes the handle's own key
  EXPECT_EQ(SetDword(ports, u"KP2_10.0.0.1", 0), ERROR_KEY_DELETED);
  RegCloseKey(CreateKey(HKEY_LOCAL_MACHINE, u"Mon\\Ports"));
  EXPECT_EQ(SetDword(ports, u"KP2_10.0.0.1", 0), ERROR_KEY_DELETED);
  EXPECT_EQ(RegCloseKey(ports), ERROR_SUCCESS);
  EXPECT_EQ(RegCloseKey(self), ERROR_SUCCESS);
}

TEST_F(RegistryKeyTest, EnumeratesSubkeysInNameOrder) {
  HKEY printers = CreateKey(HKEY_LOCAL_MACHINE, u"Printers");
  for (auto* name : {u"zeta", u"Alpha", u"K460 PCL XL", u"beta"}) RegCloseKey(CreateKey(printers, name));
  EXPECT_EQ(SubkeyNames(printers), (std::vector<std::u16string>{u"Alpha", u"beta", u"K460 PCL XL", u"zeta"}));

  // The buffer must hold the name and its terminator.
  WCHAR name[16];
  DWORD size = 11;  // "K460 PCL XL" is 11 characters
  EXPECT_EQ(RegEnumKeyExW(printers, 2, name, &size, nullptr, nullptr, nullptr, nullptr), ERROR_MORE_DATA);
  size = 12;
  WCHAR cls[4] = {u'x'};
  DWORD clsSize = 4;
  FILETIME written{};
  ASSERT_EQ(RegEnumKeyExW(printers, 2, name, &size, nullptr, cls, &clsSize, &written), ERROR_SUCCESS);
  EXPECT_EQ(std::u16string(name), u"K460 PCL XL");
  EXPECT_EQ(size, 11u);
  EXPECT_EQ(clsSize, 0u);
  EXPECT_EQ(cls[0], 0);
  EXPECT_NE(written.dwHighDateTime, 0u);
  size = 16;
  EXPECT_EQ(RegEnumKeyExW(printers, 4, name, &size, nullptr, nullptr, nullptr, nullptr), ERROR_NO_MORE_ITEMS);
  RegCloseKey(printers);
}

TEST_F(RegistryKeyTest, InfoGivesCountsAndLongestNamesAndData) {
  HKEY key = CreateKey(HKEY_LOCAL_MACHINE, u"Printers\\K460");
  RegCloseKey(CreateKey(key, u"PrinterDriverData"));
  RegCloseKey(CreateKey(key, u"DsSpooler"));
  ASSERT_EQ(SetBytes(key, u"PrinterData", REG_BINARY, std::vector<BYTE>(4080, 0x5A)), ERROR_SUCCESS);
  ASSERT_EQ(SetDword(key, u"PrinterDataSize", 4080), ERROR_SUCCESS);
  DWORD subkeys = 0, maxSubkey = 0, values = 0, maxName = 0, maxData = 0, maxClass = 9, security = 9;
  WCHAR cls[4] = {u'x'};
  DWORD clsSize = 4;
  FILETIME written{};
  ASSERT_EQ(RegQueryInfoKeyW(key, cls, &clsSize, nullptr, &subkeys, &maxSubkey, &maxClass, &values, &maxName,
                             &maxData, &security, &written),
            ERROR_SUCCESS);
  EXPECT_EQ(subkeys, 2u);
  EXPECT_EQ(maxSubkey, 17u);  // "PrinterDriverData"
  EXPECT_EQ(values, 2u);
  EXPECT_EQ(maxName, 15u);  // "PrinterDataSize"
  EXPECT_EQ(maxData, 4080u);
  EXPECT_EQ(maxClass, 0u);
  EXPECT_EQ(clsSize, 0u);
  EXPECT_EQ(cls[0], 0);
  EXPECT_NE(written.dwHighDateTime, 0u);
  RegCloseKey(key);
}

}  // namespace
