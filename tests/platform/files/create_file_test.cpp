#include <gtest/gtest.h>

#include <filesystem>

#include "platform/base/text.h"
#include "platform/files/io_object.h"
#include "tests/platform/files/file_helpers.h"
#include "tests/support/machine_fixture.h"

namespace {

using k460::testing::MachineTest;
using k460::testing::OpenFile;
using k460::testing::ReadText;
using CreateFileTest = MachineTest;

constexpr DWORD kReadWrite = GENERIC_READ | GENERIC_WRITE;

struct DispositionCase {
  DWORD disposition;
  bool exists;
  bool opens;
  DWORD error;          // last error after the call
  const char* content;  // of the file afterwards; nullptr: no file
};

TEST_F(CreateFileTest, CreationDispositionsAnswerLikeWindows) {
  const DispositionCase cases[] = {
      {CREATE_NEW, false, true, ERROR_SUCCESS, ""},
      {CREATE_NEW, true, false, ERROR_FILE_EXISTS, "old"},
      {CREATE_ALWAYS, false, true, ERROR_SUCCESS, ""},
      {CREATE_ALWAYS, true, true, ERROR_ALREADY_EXISTS, ""},
      {OPEN_EXISTING, false, false, ERROR_FILE_NOT_FOUND, nullptr},
      {OPEN_EXISTING, true, true, ERROR_SUCCESS, "old"},
      {OPEN_ALWAYS, false, true, ERROR_SUCCESS, ""},
      {OPEN_ALWAYS, true, true, ERROR_ALREADY_EXISTS, "old"},
      {TRUNCATE_EXISTING, false, false, ERROR_FILE_NOT_FOUND, nullptr},
      {TRUNCATE_EXISTING, true, true, ERROR_SUCCESS, ""},
  };
  auto host = root() / "drive_c" / "case.txt";
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "disposition " << c.disposition << (c.exists ? " on a file" : " on nothing"));
    std::filesystem::remove(host);
    if (c.exists) WriteMachineFile(u"C:\\case.txt", "old");
    SetLastError(12345);
    HANDLE file = OpenFile(u"C:\\case.txt", kReadWrite, c.disposition);
    EXPECT_EQ(file != INVALID_HANDLE_VALUE, c.opens);
    EXPECT_EQ(GetLastError(), c.error);
    if (file != INVALID_HANDLE_VALUE) {
      EXPECT_EQ(ReadText(file), c.content);
      CloseHandle(file);
    }
    if (c.content)
      EXPECT_EQ(ReadHostFile(host), c.content);
    else
      EXPECT_FALSE(std::filesystem::exists(host));
  }
}

TEST_F(CreateFileTest, RefusesBadArgumentsAndNames) {
  WriteMachineFile(u"C:\\dir\\file.txt", "x");
  struct Case {
    const char16_t* name;
    DWORD access, disposition, error;
  } cases[] = {
      {u"C:\\file.txt", kReadWrite, 0, ERROR_INVALID_PARAMETER},
      {u"C:\\file.txt", kReadWrite, 6, ERROR_INVALID_PARAMETER},
      {u"C:\\dir\\file.txt", GENERIC_READ, TRUNCATE_EXISTING, ERROR_INVALID_PARAMETER},
      {u"C:\\missing\\file.txt", kReadWrite, CREATE_ALWAYS, ERROR_PATH_NOT_FOUND},
      {u"C:\\missing\\file.txt", GENERIC_READ, OPEN_EXISTING, ERROR_PATH_NOT_FOUND},
      {u"C:\\dir\\file.txt\\inner.txt", GENERIC_READ, OPEN_EXISTING, ERROR_PATH_NOT_FOUND},
      {u"C:\\dir\\absent.txt", GENERIC_READ, OPEN_EXISTING, ERROR_FILE_NOT_FOUND},
      {u"C:\\dir", GENERIC_READ, OPEN_EXISTING, ERROR_ACCESS_DENIED},
      {u"C:\\dir\\bad?.txt", kReadWrite, CREATE_ALWAYS, ERROR_INVALID_NAME},
      {u"C:\\dir\\a:b.txt", kReadWrite, CREATE_ALWAYS, ERROR_INVALID_NAME},
      {u"", GENERIC_READ, OPEN_EXISTING, ERROR_PATH_NOT_FOUND},
      {nullptr, GENERIC_READ, OPEN_EXISTING, ERROR_PATH_NOT_FOUND},
      {u"\\\\.\\pipe\\nobody", GENERIC_READ, OPEN_EXISTING, ERROR_FILE_NOT_FOUND},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name ? k460::Utf16ToUtf8(c.name) : "(null)");
    HANDLE file = CreateFileW(c.name, c.access, 0, nullptr, c.disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_EQ(file, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), c.error);
  }
  k460::InjectFault("CreateFileW", 0, 1, ERROR_ACCESS_DENIED);
  EXPECT_EQ(OpenFile(u"C:\\dir\\file.txt", GENERIC_READ, OPEN_EXISTING), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
}

TEST_F(CreateFileTest, PathComponentsMatchWithoutRegardToCase) {
  HANDLE file = OpenFile(u"C:\\WINDOWS\\temp\\Report.Txt", GENERIC_WRITE, CREATE_NEW);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  ASSERT_TRUE(k460::testing::WriteText(file, "report"));
  CloseHandle(file);
  // The file went into the machine's own temporary folder, under its own name.
  EXPECT_EQ(ReadHostFile(root() / "drive_c" / "Windows" / "Temp" / "Report.Txt"), "report");

  file = OpenFile(u"c:\\windows\\TEMP\\REPORT.TXT", GENERIC_READ, OPEN_EXISTING);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  EXPECT_EQ(ReadText(file), "report");
  CloseHandle(file);
  EXPECT_EQ(OpenFile(u"C:\\Windows\\Temp\\report.txt", GENERIC_WRITE, CREATE_NEW), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_FILE_EXISTS);

  // A rename that changes only the case gives the file its new spelling.
  ASSERT_TRUE(MoveFileW(u"C:\\Windows\\Temp\\report.txt", u"C:\\Windows\\Temp\\REPORT.txt"));
  EXPECT_TRUE(std::filesystem::exists(root() / "drive_c" / "Windows" / "Temp" / "REPORT.txt"));
  EXPECT_TRUE(DeleteFileW(u"C:\\windows\\temp\\report.TXT"));
  EXPECT_EQ(GetFileAttributesW(u"C:\\Windows\\Temp\\Report.Txt"), INVALID_FILE_ATTRIBUTES);
}

TEST_F(CreateFileTest, DeviceNamesGoToTheirRegisteredOpener) {
  std::u16string seen;
  k460::RegisterDeviceOpener(u"\\\\.\\Test\\", [&](std::u16string_view name, DWORD, DWORD, DWORD, DWORD) {
    seen = name;
    SetLastError(ERROR_PIPE_BUSY);
    return INVALID_HANDLE_VALUE;
  });
  EXPECT_EQ(OpenFile(u"\\\\.\\TEST\\device1", GENERIC_READ, OPEN_EXISTING), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_PIPE_BUSY);
  EXPECT_EQ(seen, u"\\\\.\\TEST\\device1");
}

}  // namespace
