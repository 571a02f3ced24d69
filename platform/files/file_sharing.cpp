// The share-mode table of the files open in this process.
#include "platform/files/file_sharing.h"

#include <sys/stat.h>
#include <unistd.h>

#include <map>
#include <vector>

#include "platform/files/files.h"

namespace k460 {
namespace {

struct OpenRecord {
  std::uint64_t token;
  OpenMode mode;
};

struct FileRecord {
  std::vector<OpenRecord> opens;
  bool deleteOnClose = false;
  std::filesystem::path path;  // where to delete it from
};

std::mutex gMutex;
std::uint64_t gNextToken = 1;

std::map<FileId, FileRecord>& Table() {
  static auto* table = new std::map<FileId, FileRecord>();
  return *table;
}

bool Clash(const OpenMode& asked, const OpenMode& held) {
  return (asked.read && !(held.share & FILE_SHARE_READ)) || (asked.write && !(held.share & FILE_SHARE_WRITE)) ||
         (asked.remove && !(held.share & FILE_SHARE_DELETE));
}

}  // namespace

std::unique_lock<std::mutex> LockSharing() { return std::unique_lock(gMutex); }

std::optional<FileId> IdentityOf(const std::filesystem::path& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return std::nullopt;
  return FileId{st.st_dev, st.st_ino};
}

bool SharingConflict(const FileId& id, const OpenMode& mode) {
  auto it = Table().find(id);
  if (it == Table().end()) return false;
  for (const auto& open : it->second.opens)
    if (Clash(mode, open.mode) || Clash(open.mode, mode)) return true;
  return false;
}

std::uint64_t RecordOpen(const FileId& id, const OpenMode& mode, bool deleteOnClose,
                         const std::filesystem::path& path) {
  FileRecord& file = Table()[id];
  std::uint64_t token = gNextToken++;
  file.opens.push_back(OpenRecord{token, mode});
  if (deleteOnClose) {
    file.deleteOnClose = true;
    file.path = path;
  }
  return token;
}

void ForgetOpen(const FileId& id, std::uint64_t token) {
  std::lock_guard lock(gMutex);
  auto it = Table().find(id);
  if (it == Table().end()) return;
  auto& opens = it->second.opens;
  std::erase_if(opens, [&](const OpenRecord& r) { return r.token == token; });
  if (!opens.empty()) return;
  // Deletes the file only if the name still leads to it (it may have been
  // renamed or replaced meanwhile).
  if (it->second.deleteOnClose && IdentityOf(it->second.path) == id) ::unlink(it->second.path.c_str());
  Table().erase(it);
}

}  // namespace k460
