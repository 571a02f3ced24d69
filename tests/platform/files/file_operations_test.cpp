#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "tests/platform/files/file_helpers.h"
#include "tests/support/machine_fixture.h"

namespace {

using k460::testing::MachineTest;

class FileOperationsTest : public MachineTest {
 protected:
  std::string Content(const char* relative) { return ReadHostFile(root() / "drive_c" / relative); }
  bool Exists(const char* relative) { return std::filesystem::exists(root() / "drive_c" / relative); }
};

TEST_F(FileOperationsTest, MoveAndCopyRespectExistingTargets) {
  WriteMachineFile(u"C:\\a.txt", "A");
  WriteMachineFile(u"C:\\b.txt", "B");

  EXPECT_FALSE(MoveFileW(u"C:\\a.txt", u"C:\\b.txt"));
  EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
  EXPECT_FALSE(MoveFileExW(u"C:\\a.txt", u"C:\\b.txt", 0));
  EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
  ASSERT_TRUE(MoveFileExW(u"C:\\a.txt", u"C:\\b.txt", MOVEFILE_REPLACE_EXISTING));
  EXPECT_FALSE(Exists("a.txt"));
  EXPECT_EQ(Content("b.txt"), "A");

  EXPECT_FALSE(CopyFileW(u"C:\\b.txt", u"C:\\b.txt", TRUE));
  EXPECT_EQ(GetLastError(), ERROR_FILE_EXISTS);
  ASSERT_TRUE(CopyFileW(u"C:\\b.txt", u"C:\\c.txt", TRUE));
  WriteMachineFile(u"C:\\d.txt", "old");
  EXPECT_FALSE(CopyFileW(u"C:\\b.txt", u"C:\\d.txt", TRUE));
  EXPECT_EQ(GetLastError(), ERROR_FILE_EXISTS);
  ASSERT_TRUE(CopyFileW(u"C:\\b.txt", u"C:\\d.txt", FALSE));
  EXPECT_EQ(Content("c.txt"), "A");
  EXPECT_EQ(Content("d.txt"), "A");

  ASSERT_TRUE(MoveFileW(u"C:\\c.txt", u"C:\\Windows\\moved.txt"));
  EXPECT_EQ(Content("Windows/moved.txt"), "A");
  // Deletion at the next restart is accepted; this machine never restarts.
  EXPECT_TRUE(MoveFileExW(u"C:\\d.txt", nullptr, MOVEFILE_DELAY_UNTIL_REBOOT));
  EXPECT_FALSE(MoveFileExW(u"C:\\d.txt", nullptr, 0));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

TEST_F(FileOperationsTest, MissingSourcesAndFoldersAreReported) {
  struct Case {
    const char* what;
    std::function<BOOL()> call;
    DWORD error;
  } cases[] = {
      {"delete missing file", [] { return DeleteFileW(u"C:\\none.txt"); }, ERROR_FILE_NOT_FOUND},
      {"delete in missing folder", [] { return DeleteFileW(u"C:\\nodir\\none.txt"); }, ERROR_PATH_NOT_FOUND},
      {"delete a folder", [] { return DeleteFileW(u"C:\\Windows"); }, ERROR_ACCESS_DENIED},
      {"move missing file", [] { return MoveFileW(u"C:\\none.txt", u"C:\\x.txt"); }, ERROR_FILE_NOT_FOUND},
      {"copy missing file", [] { return CopyFileW(u"C:\\none.txt", u"C:\\x.txt", FALSE); }, ERROR_FILE_NOT_FOUND},
      {"copy into missing folder", [] { return CopyFileW(u"C:\\Windows\\win.ini", u"C:\\no\\x", FALSE); },
       ERROR_PATH_NOT_FOUND},
      {"create existing folder", [] { return CreateDirectoryW(u"C:\\Windows", nullptr); }, ERROR_ALREADY_EXISTS},
      {"create below missing folder", [] { return CreateDirectoryW(u"C:\\a\\b", nullptr); }, ERROR_PATH_NOT_FOUND},
      {"remove missing folder", [] { return RemoveDirectoryW(u"C:\\nodir"); }, ERROR_FILE_NOT_FOUND},
      {"remove non-empty folder", [] { return RemoveDirectoryW(u"C:\\Windows"); }, ERROR_DIR_NOT_EMPTY},
  };
  WriteMachineFile(u"C:\\Windows\\win.ini", "");
  for (const auto& c : cases) {
    SetLastError(0);
    EXPECT_FALSE(c.call()) << c.what;
    EXPECT_EQ(GetLastError(), c.error) << c.what;
  }
}

TEST_F(FileOperationsTest, AttributesAndFolders) {
  ASSERT_TRUE(CreateDirectoryW(u"C:\\Work", nullptr));
  EXPECT_EQ(GetFileAttributesW(u"c:\\work"), FILE_ATTRIBUTE_DIRECTORY);
  WriteMachineFile(u"C:\\Work\\f.txt", "f");
  DWORD attributes = GetFileAttributesW(u"C:\\Work\\F.TXT");
  EXPECT_NE(attributes, INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(attributes & FILE_ATTRIBUTE_DIRECTORY, 0u);
  EXPECT_EQ(GetFileAttributesW(u"C:\\Work\\g.txt"), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(GetFileAttributesW(u"C:\\Nowhere\\g.txt"), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);

  EXPECT_FALSE(RemoveDirectoryW(u"C:\\Work\\f.txt"));
  EXPECT_EQ(GetLastError(), ERROR_DIRECTORY);
  ASSERT_TRUE(DeleteFileW(u"C:\\Work\\f.txt"));
  ASSERT_TRUE(RemoveDirectoryW(u"C:\\WORK"));
  EXPECT_FALSE(Exists("Work"));
}

TEST_F(FileOperationsTest, InjectedFaultsFailMoveAndDelete) {
  WriteMachineFile(u"C:\\keep.txt", "k");
  k460::InjectFault("DeleteFileW", 0, 1, ERROR_ACCESS_DENIED);
  k460::InjectFault("MoveFileW", 0, 1, ERROR_SHARING_VIOLATION);
  EXPECT_FALSE(DeleteFileW(u"C:\\keep.txt"));
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
  EXPECT_FALSE(MoveFileW(u"C:\\keep.txt", u"C:\\gone.txt"));
  EXPECT_EQ(GetLastError(), ERROR_SHARING_VIOLATION);
  EXPECT_EQ(Content("keep.txt"), "k");
}

}  // namespace
