#include "platform/process/pipe_sockets.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/base/host.h"
#include "platform/base/text.h"
#include "platform/process/process_host.h"

namespace k460::process {
namespace {

constexpr std::u16string_view kPipePrefix = u"\\\\.\\pipe\\";

bool Plain(unsigned char c) {
  return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' || c == '-' || c == '_';
}

}  // namespace

std::u16string PipeKey(std::u16string_view name) {
  if (name.size() <= kPipePrefix.size() || !EqualsNoCase(name.substr(0, kPipePrefix.size()), kPipePrefix)) return {};
  return AsciiUpper(name.substr(kPipePrefix.size()));
}

std::filesystem::path PipeSocketPath(const std::u16string& key) {
  std::string file;
  for (unsigned char c : Utf16ToUtf8(key)) {
    if (c >= 'A' && c <= 'Z') c = static_cast<unsigned char>(c + 32);
    if (Plain(c)) {
      file += static_cast<char>(c);
    } else {
      char hex[4];
      std::snprintf(hex, sizeof hex, "%%%02X", c);
      file += hex;
    }
  }
  return PipeFolder() / file;
}

DWORD PreparePipeFolder() {
  auto folder = PipeFolder();
  ::mkdir(folder.c_str(), 0700);
  struct stat st {};
  if (::lstat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::getuid()) return ERROR_ACCESS_DENIED;
  if ((st.st_mode & 0777) != 0700 && ::chmod(folder.c_str(), 0700) != 0) return ERROR_ACCESS_DENIED;
  return ERROR_SUCCESS;
}

SocketAddress::SocketAddress(const std::filesystem::path& path) {
  address_.sun_family = AF_UNIX;
  std::string text = path.string();
  if (text.size() >= sizeof address_.sun_path) {
    folder_ = ::open(path.parent_path().c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (folder_ < 0) return;
    text = "/proc/self/fd/" + std::to_string(folder_) + "/" + path.filename().string();
    if (text.size() >= sizeof address_.sun_path) return;
  }
  std::memcpy(address_.sun_path, text.c_str(), text.size() + 1);
  valid_ = true;
}

SocketAddress::~SocketAddress() {
  if (folder_ >= 0) ::close(folder_);
}

std::optional<PipeConnection> ConnectToPipe(const std::u16string& key, DWORD* error) {
  SocketAddress address(PipeSocketPath(key));
  if (!address.valid()) {
    *error = ERROR_FILENAME_EXCED_RANGE;
    return std::nullopt;
  }
  for (int type : {SOCK_SEQPACKET, SOCK_STREAM}) {
    // Not blocking while connecting: a full queue of waiting clients means
    // every instance is busy.
    int fd = ::socket(AF_UNIX, type | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) {
      *error = ERROR_NOT_ENOUGH_MEMORY;
      return std::nullopt;
    }
    int result;
    do {
      result = ::connect(fd, address.get(), address.size());
    } while (result < 0 && errno == EINTR);
    if (result == 0) {
      ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
      return PipeConnection{fd, type == SOCK_SEQPACKET};
    }
    int err = errno;
    ::close(fd);
    if (err == EPROTOTYPE) continue;  // a pipe of the other type
    *error = err == EAGAIN ? ERROR_PIPE_BUSY : err == EACCES ? ERROR_ACCESS_DENIED : ERROR_FILE_NOT_FOUND;
    return std::nullopt;
  }
  *error = ERROR_FILE_NOT_FOUND;
  return std::nullopt;
}

}  // namespace k460::process

namespace k460 {
std::filesystem::path PipeFolder() { return MachineRoot() / "pipes"; }
}  // namespace k460
