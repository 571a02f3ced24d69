// Values: exact bytes of every type, the size protocol of queries, deletion
// and enumeration.
#include <gtest/gtest.h>

#include "platform/base/text.h"
#include "tests/platform/registry/registry_test_util.h"
#include "tests/support/machine_fixture.h"

namespace {

using namespace k460::testing;
using RegistryValueTest = MachineTest;

TEST_F(RegistryValueTest, KeepsTheExactBytesOfEveryTypeAcrossARestart) {
  std::vector<BYTE> everyByte(256);
  for (int i = 0; i < 256; ++i) everyByte[i] = static_cast<BYTE>(i);
  std::vector<BYTE> large(1 << 20);
  for (std::size_t i = 0; i < large.size(); ++i) large[i] = static_cast<BYTE>(i * 7 + (i >> 9));
  struct Case {
    const char16_t* name;
    DWORD type;
    std::vector<BYTE> data;
  };
  const std::vector<Case> cases = {
      {u"Binary", REG_BINARY, everyByte},
      {u"Text", REG_SZ, Utf16Bytes(std::u16string(u"192.168.1.10\0", 13))},
      {u"Unterminated", REG_SZ, Utf16Bytes(u"ab")},  // no terminator is added
      {u"Embedded", REG_SZ, Utf16Bytes(std::u16string(u"a\0b\0", 4))},
      {u"Expand", REG_EXPAND_SZ, Utf16Bytes(std::u16string(u"%TEMP%\\qtxport\0", 15))},
      {u"Multi", REG_MULTI_SZ, Utf16Bytes(std::u16string(u"one\0two\0\0", 9))},
      {u"Japanese", REG_SZ, Utf16Bytes(std::u16string(u"不定形用紙\0", 6))},
      {u"Dword", REG_DWORD, {0x30, 0x75, 0, 0}},
      {u"ShortDword", REG_DWORD, {1, 2, 3}},  // kept as given, like the system does
      {u"Qword", REG_QWORD, {1, 2, 3, 4, 5, 6, 7, 8}},
      {u"None", REG_NONE, {}},
      {u"OddType", 0x1234, {9}},
      {u"", REG_SZ, Utf16Bytes(std::u16string(u"default\0", 8))},
      {u"Large", REG_BINARY, large},
  };
  HKEY key = CreateKey(HKEY_LOCAL_MACHINE, u"Printers\\K460");
  for (auto& c : cases) ASSERT_EQ(SetBytes(key, c.name, c.type, c.data), ERROR_SUCCESS);
  RegCloseKey(key);

  for (int pass = 0; pass < 2; ++pass) {
    if (pass == 1) k460::SetMachineRoot(root());  // a restart: nothing cached survives
    key = OpenKey(HKEY_LOCAL_MACHINE, u"Printers\\K460", KEY_READ);
    for (auto& c : cases) {
      SCOPED_TRACE(k460::Utf16ToUtf8(c.name));
      DWORD type = 0;
      EXPECT_EQ(QueryBytes(key, c.name, &type), c.data);
      EXPECT_EQ(type, c.type);
    }
    RegCloseKey(key);
  }
}

TEST_F(RegistryValueTest, QueryAnswersSizeFirstAndRefusesShortBuffers) {
  HKEY key = CreateKey(HKEY_LOCAL_MACHINE, u"Printers\\K460");
  std::vector<BYTE> record(464, 0xA5);
  ASSERT_EQ(SetBytes(key, u"PrinterData", REG_BINARY, record), ERROR_SUCCESS);
  struct Case {
    bool withBuffer;
    DWORD capacity;
    LONG expected;
  };
  const Case cases[] = {
      {false, 0, ERROR_SUCCESS},
      {false, 9999, ERROR_SUCCESS},
      {true, 0, ERROR_MORE_DATA},
      {true, 463, ERROR_MORE_DATA},
      {true, 464, ERROR_SUCCESS},
      {true, 600, ERROR_SUCCESS},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.capacity) + (c.withBuffer ? " with buffer" : " without buffer"));
    std::vector<BYTE> buffer(600, 0);
    DWORD size = c.capacity, type = 0;
    EXPECT_EQ(RegQueryValueExW(key, u"printerdata", nullptr, &type, c.withBuffer ? buffer.data() : nullptr, &size),
              c.expected);
    EXPECT_EQ(size, 464u);
    EXPECT_EQ(type, REG_BINARY);
    if (c.withBuffer && c.expected == ERROR_SUCCESS) {
      EXPECT_TRUE(std::equal(record.begin(), record.end(), buffer.begin()));
    }
  }
  DWORD type = 0;
  EXPECT_EQ(RegQueryValueExW(key, u"PrinterData", nullptr, &type, nullptr, nullptr), ERROR_SUCCESS);
  EXPECT_EQ(type, REG_BINARY);
  RegCloseKey(key);
}

TEST_F(RegistryValueTest, MissingValuesAndBadArguments) {
  HKEY key = CreateKey(HKEY_LOCAL_MACHINE, u"Printers\\K460");
  BYTE buffer[8];
  DWORD size = sizeof buffer, reserved = 0;
  EXPECT_EQ(RegQueryValueExW(key, u"DitherContrast", nullptr, nullptr, buffer, &size), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegQueryValueExW(key, nullptr, nullptr, nullptr, buffer, &size), ERROR_FILE_NOT_FOUND);  // no default
  EXPECT_EQ(RegDeleteValueW(key, u"DitherContrast"), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegQueryValueExW(key, u"x", &reserved, nullptr, buffer, &size), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(RegQueryValueExW(key, u"x", nullptr, nullptr, buffer, nullptr), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(RegSetValueExW(key, u"x", 0, REG_BINARY, nullptr, 4), ERROR_NOACCESS);
  std::u16string longName(16384, u'v');
  EXPECT_EQ(SetDword(key, longName.c_str(), 1), ERROR_INVALID_PARAMETER);
  longName.pop_back();
  EXPECT_EQ(SetDword(key, longName.c_str(), 1), ERROR_SUCCESS);

  // An empty value needs no data; the null name and the empty name are the default value.
  ASSERT_EQ(RegSetValueExW(key, nullptr, 0, REG_BINARY, nullptr, 0), ERROR_SUCCESS);
  EXPECT_EQ(QueryBytes(key, u""), std::vector<BYTE>{});
  EXPECT_EQ(RegDeleteValueW(key, u""), ERROR_SUCCESS);
  EXPECT_EQ(QueryBytes(key, nullptr), std::nullopt);
  RegCloseKey(key);
}

TEST_F(RegistryValueTest, EnumeratesValuesInCreationOrder) {
  HKEY key = CreateKey(HKEY_LOCAL_MACHINE, u"Mon");
  for (auto* name : {u"SendPageWaitTime", u"BitmapRotate", u"SendPageWaitIntervalCount"})
    ASSERT_EQ(SetDword(key, name, 1), ERROR_SUCCESS);
  ASSERT_EQ(SetDword(key, u"BITMAPROTATE", 0), ERROR_SUCCESS);  // rewriting keeps the place
  EXPECT_EQ(ValueNames(key),
            (std::vector<std::u16string>{u"SendPageWaitTime", u"BitmapRotate", u"SendPageWaitIntervalCount"}));
  ASSERT_EQ(RegDeleteValueW(key, u"SendPageWaitTime"), ERROR_SUCCESS);
  ASSERT_EQ(SetDword(key, u"SendPageWaitTime", 30000), ERROR_SUCCESS);  // a new value goes last
  EXPECT_EQ(ValueNames(key),
            (std::vector<std::u16string>{u"BitmapRotate", u"SendPageWaitIntervalCount", u"SendPageWaitTime"}));

  WCHAR name[32];
  DWORD nameSize = 16, type = 0, dataSize = 2;  // "SendPageWaitTime" is 16 characters
  BYTE data[4];
  EXPECT_EQ(RegEnumValueW(key, 2, name, &nameSize, nullptr, &type, data, &dataSize), ERROR_MORE_DATA);
  nameSize = 17;
  EXPECT_EQ(RegEnumValueW(key, 2, name, &nameSize, nullptr, &type, data, &dataSize), ERROR_MORE_DATA);
  EXPECT_EQ(dataSize, 4u);  // the short data buffer learns the size
  EXPECT_EQ(std::u16string(name), u"SendPageWaitTime");
  nameSize = 17;
  ASSERT_EQ(RegEnumValueW(key, 2, name, &nameSize, nullptr, &type, data, &dataSize), ERROR_SUCCESS);
  EXPECT_EQ(nameSize, 16u);
  EXPECT_EQ(type, REG_DWORD);
  EXPECT_EQ(data[0] | data[1] << 8, 30000);
  nameSize = 32;
  EXPECT_EQ(RegEnumValueW(key, 3, name, &nameSize, nullptr, nullptr, nullptr, nullptr), ERROR_NO_MORE_ITEMS);
  EXPECT_EQ(RegEnumValueW(key, 0, name, &nameSize, nullptr, nullptr, data, nullptr), ERROR_INVALID_PARAMETER);
  RegCloseKey(key);
}

}  // namespace
