// An open file behind a HANDLE: a host descriptor with its own position, the
// access granted when it was opened and its place in the share-mode table.
#pragma once

#include <cstdint>
#include <filesystem>

#include "platform/files/file_sharing.h"
#include "platform/files/io_object.h"

namespace k460 {

class FileObject : public IoObject {
 public:
  FileObject(int fd, std::filesystem::path path, const OpenMode& mode, FileId id, std::uint64_t shareToken);
  ~FileObject() override;
  FileObject(const FileObject&) = delete;
  FileObject& operator=(const FileObject&) = delete;

  DWORD Read(void* buffer, DWORD bytes, DWORD* done, OVERLAPPED* overlapped) override;
  DWORD Write(const void* buffer, DWORD bytes, DWORD* done, OVERLAPPED* overlapped) override;
  DWORD Flush() override;

  int fd() const { return fd_; }
  bool canRead() const { return mode_.read; }
  bool canWrite() const { return mode_.write; }
  const std::filesystem::path& path() const { return path_; }

 private:
  int fd_;
  std::filesystem::path path_;
  OpenMode mode_;
  FileId id_;
  std::uint64_t shareToken_;
};

}  // namespace k460
