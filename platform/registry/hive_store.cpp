// Loading, caching and writing the hive files.
#include "platform/registry/hive_store.h"

#include "platform/base/host_io.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <memory>
#include <mutex>
#include <string>

#include "platform/base/host.h"
#include "platform/registry/hive_format.h"

namespace k460::registry {
namespace {

namespace fs = std::filesystem;

struct HiveState {
  std::mutex mutex;
  std::unique_ptr<Key> root;  // null: to be read
  fs::path file;              // where `root` was read from
  std::uint64_t stamp = 0;    // the file's stamp; 0: there was no file
  std::string reported;       // the last damage reported, to say it once
  // The file `root` was read from, kept open so that its inode cannot be
  // reused, and what stat said of it then: while the path still names that
  // same unchanged file, `root` is current and the file need not be opened.
  int keptFd = -1;
  struct stat identity {};
};

bool SameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size &&
         a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec &&
         a.st_ctim.tv_sec == b.st_ctim.tv_sec && a.st_ctim.tv_nsec == b.st_ctim.tv_nsec;
}

void ForgetFile(HiveState& s) {
  if (s.keptFd >= 0) ::close(s.keptFd);
  s.keptFd = -1;
}

// Remembers the open file `fd` as the one `root` stands for.
void KeepFile(HiveState& s, int fd) {
  ForgetFile(s);
  struct stat st;
  if (::fstat(fd, &st) != 0) return;
  s.keptFd = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
  s.identity = st;
}

HiveState& State(Hive hive) {
  static auto* states = new HiveState[kHiveCount];
  return states[static_cast<int>(hive)];
}

void DropCaches() {
  for (int i = 0; i < kHiveCount; ++i) {
    auto& s = State(static_cast<Hive>(i));
    std::lock_guard lock(s.mutex);
    s.root.reset();
    ForgetFile(s);
  }
}

// Asked before any hive lock is taken: registering may set the default
// machine root, which tells the observers.
void WatchMachineRoot() {
  static std::once_flag once;
  std::call_once(once, [] { OnMachineRootChange(DropCaches); });
}

class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

bool ReadAll(int fd, std::string* bytes) {
  struct stat st;
  if (::fstat(fd, &st) != 0) return false;
  bytes->resize(static_cast<std::size_t>(st.st_size));
  std::size_t done = 0;
  while (done < bytes->size()) {
    ssize_t n = ::pread(fd, bytes->data() + done, bytes->size() - done, static_cast<off_t>(done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<std::size_t>(n);
  }
  bytes->resize(done);  // a file cut short while we read is judged by its header
  return true;
}

void ReportDamage(HiveState& s, const fs::path& file, const std::string& reason) {
  std::string report = file.string() + ": " + reason;
  if (report == s.reported) return;
  s.reported = report;
  std::fprintf(stderr,
               "k460: registry hive %s is damaged (%s); its keys answer ERROR_BADDB until the file is "
               "repaired or removed\n",
               file.c_str(), reason.c_str());
}

// Whether s.root is what the file holds now, known without opening it. The
// tree is dropped when the machine root changes, so s.file is the hive's
// file whenever s.root is set. Called with s.mutex held.
bool IsCurrent(const HiveState& s) {
  struct stat st;
  return s.root && s.keptFd >= 0 && ::stat(s.file.c_str(), &st) == 0 && SameFile(st, s.identity);
}

// Brings s.root up to date with the file. Called with s.mutex held.
LONG Load(HiveState& s, const fs::path& file) {
  if (s.file == file && IsCurrent(s)) return ERROR_SUCCESS;
  ForgetFile(s);
  Fd fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.get() < 0) {
    if (errno != ENOENT && errno != ENOTDIR) return errno == EACCES ? ERROR_ACCESS_DENIED : ERROR_CANTREAD;
    if (!(s.root && s.file == file && s.stamp == 0)) {
      s.root = std::make_unique<Key>();
      s.file = file;
      s.stamp = 0;
    }
    return ERROR_SUCCESS;
  }
  char head[kHiveHeaderSize];
  ssize_t n;
  do n = ::pread(fd.get(), head, sizeof head, 0);
  while (n < 0 && errno == EINTR);
  HiveHeader header;
  if (n == static_cast<ssize_t>(sizeof head) && DecodeHiveHeader(std::string_view(head, sizeof head), &header) &&
      s.root && s.file == file && s.stamp == header.stamp) {
    KeepFile(s, fd.get());
    return ERROR_SUCCESS;
  }

  s.root.reset();
  std::string bytes;
  if (!ReadAll(fd.get(), &bytes)) return ERROR_CANTREAD;
  std::uint64_t stamp = 0;
  std::string reason;
  auto root = DecodeHive(bytes, &stamp, &reason);
  if (!root) {
    ReportDamage(s, file, reason);
    return ERROR_BADDB;
  }
  s.root = std::move(root);
  s.file = file;
  s.stamp = stamp;
  s.reported.clear();
  KeepFile(s, fd.get());
  return ERROR_SUCCESS;
}

// Replaces the hive in one rename, so that no reader ever sees half a hive.
LONG ReplaceFile(const fs::path& file, const std::string& bytes) {
  return ReplaceFileContents(file, bytes, false) == 0 ? ERROR_SUCCESS : ERROR_CANTWRITE;
}

// Holds the hive's lock file locked for the life of the object. The file is
// opened afresh each time: a descriptor inherited across fork() would share
// its lock with the parent.
class HiveLock {
 public:
  explicit HiveLock(const fs::path& hiveFile) {
    fs::path lockFile = hiveFile;
    lockFile.replace_extension(".lock");
    fd_ = ::open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd_ < 0) return;
    int rc;
    do rc = ::flock(fd_, LOCK_EX);
    while (rc != 0 && errno == EINTR);
    locked_ = rc == 0;
  }
  ~HiveLock() {
    if (fd_ >= 0) ::close(fd_);  // releases the lock
  }
  HiveLock(const HiveLock&) = delete;
  HiveLock& operator=(const HiveLock&) = delete;
  bool locked() const { return locked_; }

 private:
  int fd_ = -1;
  bool locked_ = false;
};

}  // namespace

const char* HiveName(Hive hive) {
  switch (hive) {
    case Hive::ClassesRoot: return "HKEY_CLASSES_ROOT";
    case Hive::CurrentUser: return "HKEY_CURRENT_USER";
    case Hive::LocalMachine: return "HKEY_LOCAL_MACHINE";
    case Hive::Users: return "HKEY_USERS";
  }
  return "?";
}

fs::path HiveFilePath(Hive hive) { return MachineRoot() / "registry" / (std::string(HiveName(hive)) + ".hive"); }

LONG ReadHive(Hive hive, const std::function<LONG(const Key& root)>& read) {
  WatchMachineRoot();
  auto& s = State(hive);
  std::lock_guard lock(s.mutex);
  if (!IsCurrent(s)) {
    if (LONG rc = Load(s, HiveFilePath(hive))) return rc;
  }
  return read(*s.root);
}

LONG ChangeHive(Hive hive, const std::function<LONG(Key& root, bool* changed)>& change) {
  WatchMachineRoot();
  fs::path file = HiveFilePath(hive);
  auto& s = State(hive);
  std::lock_guard lock(s.mutex);
  std::error_code ec;
  fs::create_directories(file.parent_path(), ec);
  HiveLock hiveLock(file);
  if (!hiveLock.locked()) return ERROR_CANTWRITE;
  if (LONG rc = Load(s, file)) return rc;
  bool changed = false;
  LONG rc = change(*s.root, &changed);
  if (rc != ERROR_SUCCESS || !changed) return rc;
  std::uint64_t stamp = NewKeyId();
  ForgetFile(s);  // the next read finds the new file by its stamp
  rc = ReplaceFile(file, EncodeHive(*s.root, stamp));
  if (rc != ERROR_SUCCESS) {
    s.root.reset();  // the file still holds the old tree: read it again
    return rc;
  }
  s.stamp = stamp;
  return ERROR_SUCCESS;
}

LONG FlushHive(Hive hive) {
  fs::path file = HiveFilePath(hive);
  Fd fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.get() < 0) return errno == ENOENT ? ERROR_SUCCESS : ERROR_CANTWRITE;
  if (::fsync(fd.get()) != 0) return ERROR_CANTWRITE;
  Fd dir(::open(file.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dir.get() >= 0) ::fsync(dir.get());
  return ERROR_SUCCESS;
}

}  // namespace k460::registry
