#include <gtest/gtest.h>

#include <filesystem>

#include "platform/base/host.h"
#include "tests/platform/files/file_helpers.h"
#include "tests/support/machine_fixture.h"

namespace {

using k460::testing::MachineTest;
using k460::testing::OpenFile;
using k460::testing::ReadText;
using k460::testing::WriteText;
using FileIoTest = MachineTest;

constexpr DWORD kReadWrite = GENERIC_READ | GENERIC_WRITE;

TEST_F(FileIoTest, WritesSeeksReadsAndResizes) {
  HANDLE file = OpenFile(u"C:\\data.bin", kReadWrite, CREATE_NEW);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  ASSERT_TRUE(WriteText(file, "0123456789"));

  EXPECT_EQ(SetFilePointer(file, 2, nullptr, FILE_BEGIN), 2u);
  EXPECT_EQ(ReadText(file, 3), "234");
  EXPECT_EQ(SetFilePointer(file, 1, nullptr, FILE_CURRENT), 6u);
  EXPECT_EQ(ReadText(file, 100), "6789");  // short read at the end is a success
  EXPECT_EQ(ReadText(file, 100), "");
  EXPECT_EQ(SetFilePointer(file, -3, nullptr, FILE_END), 7u);
  ASSERT_TRUE(SetEndOfFile(file));

  // Writing beyond the end fills the gap with zeros.
  EXPECT_EQ(SetFilePointer(file, 9, nullptr, FILE_BEGIN), 9u);
  ASSERT_TRUE(WriteText(file, "Z"));
  DWORD high = 0xDEAD;
  EXPECT_EQ(GetFileSize(file, &high), 10u);
  EXPECT_EQ(high, 0u);
  SetFilePointer(file, 0, nullptr, FILE_BEGIN);
  EXPECT_EQ(ReadText(file), std::string("0123456\0\0Z", 10));
  ASSERT_TRUE(FlushFileBuffers(file));
  ASSERT_TRUE(CloseHandle(file));
  EXPECT_EQ(ReadHostFile(root() / "drive_c" / "data.bin"), std::string("0123456\0\0Z", 10));
}

TEST_F(FileIoTest, FilePointerHighPartAndErrors) {
  HANDLE file = OpenFile(u"C:\\seek.bin", kReadWrite, CREATE_NEW);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  ASSERT_TRUE(WriteText(file, "abc"));

  LONG high = 1;
  EXPECT_EQ(SetFilePointer(file, 0x10, &high, FILE_BEGIN), 0x10u);  // 4 GiB + 16
  EXPECT_EQ(high, 1);
  EXPECT_EQ(GetLastError(), NO_ERROR);
  high = -1;  // with the high part, -2 from 4 GiB + 16 is 4 GiB + 14
  EXPECT_EQ(SetFilePointer(file, -2, &high, FILE_CURRENT), 0x0Eu);
  EXPECT_EQ(high, 1);

  // Negative targets fail and leave the position where it was.
  SetFilePointer(file, 1, nullptr, FILE_BEGIN);
  EXPECT_EQ(SetFilePointer(file, -5, nullptr, FILE_CURRENT), INVALID_SET_FILE_POINTER);
  EXPECT_EQ(GetLastError(), ERROR_NEGATIVE_SEEK);
  EXPECT_EQ(ReadText(file), "bc");
  // Beyond 4 GiB without a high part does not fit the result.
  high = 1;
  SetFilePointer(file, 0, &high, FILE_BEGIN);
  EXPECT_EQ(SetFilePointer(file, 0, nullptr, FILE_CURRENT), INVALID_SET_FILE_POINTER);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(SetFilePointer(file, 0, nullptr, 7), INVALID_SET_FILE_POINTER);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  CloseHandle(file);
}

TEST_F(FileIoTest, BadHandlesAndBuffersAreRefused) {
  HANDLE writeOnly = OpenFile(u"C:\\w.bin", GENERIC_WRITE, CREATE_NEW, FILE_SHARE_READ);
  HANDLE readOnly = OpenFile(u"C:\\w.bin", GENERIC_READ, OPEN_EXISTING, FILE_SHARE_WRITE);
  ASSERT_NE(writeOnly, INVALID_HANDLE_VALUE);
  ASSERT_NE(readOnly, INVALID_HANDLE_VALUE);
  HANDLE closed = OpenFile(u"C:\\closed.bin", kReadWrite, CREATE_NEW);
  ASSERT_TRUE(CloseHandle(closed));

  char buffer[8] = {};
  DWORD count = 99;
  for (HANDLE bad : {static_cast<HANDLE>(nullptr), INVALID_HANDLE_VALUE, closed}) {
    SCOPED_TRACE(reinterpret_cast<std::uintptr_t>(bad));
    EXPECT_FALSE(ReadFile(bad, buffer, 1, &count, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_EQ(count, 0u);
    EXPECT_FALSE(WriteFile(bad, buffer, 1, &count, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_EQ(SetFilePointer(bad, 0, nullptr, FILE_BEGIN), INVALID_SET_FILE_POINTER);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_EQ(GetFileSize(bad, nullptr), INVALID_FILE_SIZE);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_FALSE(SetEndOfFile(bad));
    EXPECT_FALSE(FlushFileBuffers(bad));
    EXPECT_FALSE(CloseHandle(bad));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  }

  EXPECT_FALSE(ReadFile(writeOnly, buffer, 1, &count, nullptr));
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
  EXPECT_FALSE(WriteFile(readOnly, "x", 1, &count, nullptr));
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
  EXPECT_FALSE(SetEndOfFile(readOnly));
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);

  EXPECT_FALSE(WriteFile(writeOnly, nullptr, 4, &count, nullptr));
  EXPECT_EQ(GetLastError(), ERROR_NOACCESS);
  EXPECT_FALSE(ReadFile(readOnly, nullptr, 4, &count, nullptr));
  EXPECT_EQ(GetLastError(), ERROR_NOACCESS);
  EXPECT_FALSE(WriteFile(writeOnly, "x", 1, nullptr, nullptr));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  EXPECT_TRUE(WriteFile(writeOnly, nullptr, 0, &count, nullptr));  // nothing to write is fine
  CloseHandle(writeOnly);
  CloseHandle(readOnly);
}

TEST_F(FileIoTest, InjectedDiskFullFailsOneWrite) {
  HANDLE file = OpenFile(u"C:\\spool.tmp", kReadWrite, CREATE_NEW);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  k460::InjectFault("WriteFile", 1, 1, ERROR_DISK_FULL);
  DWORD written = 99;
  EXPECT_TRUE(WriteFile(file, "page1", 5, &written, nullptr));
  EXPECT_FALSE(WriteFile(file, "page2", 5, &written, nullptr));
  EXPECT_EQ(GetLastError(), ERROR_DISK_FULL);
  EXPECT_EQ(written, 0u);
  EXPECT_TRUE(WriteFile(file, "page3", 5, &written, nullptr));
  CloseHandle(file);
  EXPECT_EQ(ReadHostFile(root() / "drive_c" / "spool.tmp"), "page1page3");
}

TEST_F(FileIoTest, ShareModesDecideWhichOpensMayCoexist) {
  HANDLE first = OpenFile(u"C:\\shared.txt", GENERIC_WRITE, CREATE_NEW, FILE_SHARE_READ);
  ASSERT_NE(first, INVALID_HANDLE_VALUE);
  struct Case {
    DWORD access, share, error;
  } cases[] = {
      {GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, ERROR_SUCCESS},  // reader lets the writer go on
      {GENERIC_READ, FILE_SHARE_READ, ERROR_SHARING_VIOLATION},           // reader refuses a writer
      {GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, ERROR_SHARING_VIOLATION},  // first refuses writers
  };
  for (const auto& c : cases) {
    HANDLE second = OpenFile(u"C:\\shared.txt", c.access, OPEN_EXISTING, c.share);
    EXPECT_EQ(second == INVALID_HANDLE_VALUE ? GetLastError() : ERROR_SUCCESS, c.error) << c.access << "/" << c.share;
    if (second != INVALID_HANDLE_VALUE) CloseHandle(second);
  }
  // Deleting and renaming need FILE_SHARE_DELETE from every open.
  EXPECT_FALSE(DeleteFileW(u"C:\\shared.txt"));
  EXPECT_EQ(GetLastError(), ERROR_SHARING_VIOLATION);
  EXPECT_FALSE(MoveFileW(u"C:\\shared.txt", u"C:\\moved.txt"));
  EXPECT_EQ(GetLastError(), ERROR_SHARING_VIOLATION);
  CloseHandle(first);
  EXPECT_TRUE(DeleteFileW(u"C:\\shared.txt"));
}

TEST_F(FileIoTest, DeleteOnCloseRemovesTheFileWithItsLastHandle) {
  HANDLE file = OpenFile(u"C:\\scratch.tmp", kReadWrite, CREATE_NEW, FILE_SHARE_READ | FILE_SHARE_DELETE,
                         FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  ASSERT_TRUE(WriteText(file, "scratch"));
  // A second open must allow the deletion.
  EXPECT_EQ(OpenFile(u"C:\\scratch.tmp", GENERIC_READ, OPEN_EXISTING, FILE_SHARE_READ | FILE_SHARE_WRITE),
            INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_SHARING_VIOLATION);
  HANDLE reader = OpenFile(u"C:\\scratch.tmp", GENERIC_READ, OPEN_EXISTING,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
  ASSERT_NE(reader, INVALID_HANDLE_VALUE);
  CloseHandle(file);
  EXPECT_NE(GetFileAttributesW(u"C:\\scratch.tmp"), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(ReadText(reader), "scratch");
  CloseHandle(reader);
  EXPECT_EQ(GetFileAttributesW(u"C:\\scratch.tmp"), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
}

}  // namespace
