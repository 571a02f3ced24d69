// Share modes between the opens of this process: which opens of a file may
// coexist, and deletion of a file when its last delete-on-close open goes.
#pragma once

#include <sys/types.h>

#include <compare>
#include <cstdint>
#include <filesystem>
#include <mutex>
#include <optional>

#include "platform/base/base.h"

namespace k460 {

struct FileId {
  dev_t device;
  ino_t inode;
  auto operator<=>(const FileId&) const = default;
};

// What an open asks for and what it lets others do (FILE_SHARE_* bits).
struct OpenMode {
  bool read = false;
  bool write = false;
  bool remove = false;  // deleting or renaming, or deleting at close
  DWORD share = 0;
};

// Held around the check, the open and its record, so that two opens of this
// process cannot both pass the check.
std::unique_lock<std::mutex> LockSharing();

// The identity of the file at `path` (nothing when it does not exist).
std::optional<FileId> IdentityOf(const std::filesystem::path& path);

// Whether an open with `mode` clashes with the opens of `id` that exist.
// The caller holds LockSharing().
bool SharingConflict(const FileId& id, const OpenMode& mode);

// Records an open (the caller holds LockSharing()); the token forgets it.
std::uint64_t RecordOpen(const FileId& id, const OpenMode& mode, bool deleteOnClose,
                         const std::filesystem::path& path);

// Forgets an open; when it was the last one of a file that an open asked to
// delete at close, deletes the file. Takes the lock itself.
void ForgetOpen(const FileId& id, std::uint64_t token);

}  // namespace k460
