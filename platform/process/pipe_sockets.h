// Where the machine's named pipes live as local sockets, and opening them
// (internal to the process facility).
#pragma once

#include <sys/socket.h>
#include <sys/un.h>

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "platform/base/base.h"

namespace k460::process {

// The pipe's name below "\\.\pipe\", upper-cased for comparing; empty when
// `name` is no pipe name.
std::u16string PipeKey(std::u16string_view name);

// The socket file of a pipe key: <root>/pipes/<name, lower case, with
// anything but letters, digits, '.', '-' and '_' written as %XX>.
std::filesystem::path PipeSocketPath(const std::u16string& key);

// Makes <root>/pipes reachable by this user only. Answers ERROR_SUCCESS, or
// ERROR_ACCESS_DENIED when the folder belongs to someone else.
DWORD PreparePipeFolder();

// A socket address for `path`; a path too long for one is reached through
// a descriptor of its folder, kept open by this object.
class SocketAddress {
 public:
  explicit SocketAddress(const std::filesystem::path& path);
  ~SocketAddress();
  SocketAddress(const SocketAddress&) = delete;
  SocketAddress& operator=(const SocketAddress&) = delete;
  bool valid() const { return valid_; }
  const sockaddr* get() const { return reinterpret_cast<const sockaddr*>(&address_); }
  socklen_t size() const { return sizeof address_; }

 private:
  sockaddr_un address_{};
  int folder_ = -1;
  bool valid_ = false;
};

// A client's connection to a pipe: the socket and whether it carries messages.
struct PipeConnection {
  int fd = -1;
  bool message = false;
};
// Connects to the pipe's socket; on failure the Windows error: no such pipe
// (ERROR_FILE_NOT_FOUND) or every instance busy (ERROR_PIPE_BUSY).
std::optional<PipeConnection> ConnectToPipe(const std::u16string& key, DWORD* error);

}  // namespace k460::process
