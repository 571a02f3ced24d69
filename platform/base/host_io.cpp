#include "platform/base/host_io.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

namespace k460 {

bool WriteAllToFd(int fd, std::string_view bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

bool ReadAllFromFd(int fd, std::string* bytes) {
  bytes->clear();
  char buffer[65536];
  for (;;) {
    ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) return true;
    bytes->append(buffer, static_cast<std::size_t>(n));
  }
}

int ReplaceFileContents(const std::filesystem::path& file, std::string_view bytes, bool sync) {
  static std::atomic<unsigned> counter{0};
  std::filesystem::path temp = file;
  temp += ".k460-" + std::to_string(::getpid()) + "-" + std::to_string(counter++) + ".new";
  int fd = ::open(temp.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0666);
  if (fd < 0) return errno;
  bool ok = WriteAllToFd(fd, bytes) && (!sync || ::fsync(fd) == 0);
  int err = ok ? 0 : errno;
  if (::close(fd) != 0 && ok) {
    ok = false;
    err = errno;
  }
  if (ok && ::rename(temp.c_str(), file.c_str()) == 0) return 0;
  if (ok) err = errno;
  ::unlink(temp.c_str());
  return err ? err : EIO;
}

}  // namespace k460
