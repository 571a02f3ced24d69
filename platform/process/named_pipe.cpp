// Named pipes over local sockets. Each pipe name this process serves has
// one listening socket, shared by its instances (each instance takes one
// client), and a lock file that keeps other processes from serving the same
// name at once. A message pipe keeps a message that a short read did not
// take for the next read, as the system does.
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <map>
#include <mutex>
#include <vector>

#include "platform/base/text.h"
#include "platform/files/io_object.h"
#include "platform/process/pipe_sockets.h"
#include "platform/process/process.h"

namespace k460::process {
namespace {

constexpr DWORD kFallbackDefaultTimeout = 50;

// The serving side of one pipe name in this process.
struct PipeListener {
  ~PipeListener() {
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0 && st.st_ino == inode) ::unlink(path.c_str());
    if (fd >= 0) ::close(fd);
    if (lockFd >= 0) ::close(lockFd);  // also drops the lock
  }
  std::filesystem::path path;
  ino_t inode = 0;
  int fd = -1;
  int lockFd = -1;
  bool message = false;
  DWORD maxInstances = 1;
  DWORD instances = 0;  // guarded by gListenersMutex
  DWORD defaultTimeout = 0;
};

std::mutex gListenersMutex;
std::map<std::u16string, std::weak_ptr<PipeListener>>& Listeners() {
  static auto* listeners = new std::map<std::u16string, std::weak_ptr<PipeListener>>();
  return *listeners;
}

// One end of a pipe: a server instance or a client.
class PipeEnd : public IoObject {
 public:
  PipeEnd(bool message, bool canRead, bool canWrite) : message_(message), canRead_(canRead), canWrite_(canWrite) {}
  ~PipeEnd() override { CloseConnection(); }

  DWORD Read(void* buffer, DWORD bytes, DWORD* done, OVERLAPPED* overlapped) override {
    if (overlapped) return ERROR_INVALID_PARAMETER;
    if (!canRead_) return ERROR_ACCESS_DENIED;
    std::lock_guard lock(readMutex_);
    int fd = conn_.load();
    if (fd < 0) return NotConnectedError(true);
    const int wait = nowait_ ? MSG_DONTWAIT : 0;
    if (!message_) {
      if (bytes == 0) return ERROR_SUCCESS;
      ssize_t n;
      do {
        n = ::recv(fd, buffer, bytes, wait);
      } while (n < 0 && errno == EINTR);
      if (n < 0) return errno == EAGAIN ? ERROR_NO_DATA : ERROR_BROKEN_PIPE;
      if (n == 0) return ERROR_BROKEN_PIPE;
      *done = static_cast<DWORD>(n);
      return ERROR_SUCCESS;
    }
    if (pendingAt_ >= pending_.size()) {
      DWORD error = ReceiveMessage(fd, wait);
      if (error != ERROR_SUCCESS) return error;
    }
    std::size_t left = pending_.size() - pendingAt_;
    std::size_t take = std::min<std::size_t>(left, bytes);
    if (take) std::memcpy(buffer, pending_.data() + pendingAt_, take);
    pendingAt_ += take;
    *done = static_cast<DWORD>(take);
    if (pendingAt_ < pending_.size()) return readMessage_ ? ERROR_MORE_DATA : ERROR_SUCCESS;
    pending_.clear();
    pendingAt_ = 0;
    return ERROR_SUCCESS;
  }

  DWORD Write(const void* buffer, DWORD bytes, DWORD* done, OVERLAPPED* overlapped) override {
    if (overlapped) return ERROR_INVALID_PARAMETER;
    if (!canWrite_) return ERROR_ACCESS_DENIED;
    std::lock_guard lock(writeMutex_);
    int fd = conn_.load();
    if (fd < 0) return NotConnectedError(false);
    if (bytes == 0) return ERROR_SUCCESS;  // an empty message would read as the end
    const char* data = static_cast<const char*>(buffer);
    std::size_t sent = 0;
    while (sent < bytes) {
      ssize_t n = ::send(fd, data + sent, bytes - sent, MSG_NOSIGNAL);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) return errno == EMSGSIZE ? ERROR_INVALID_PARAMETER : ERROR_NO_DATA;
      sent += static_cast<std::size_t>(n);
      if (message_) break;  // one message, whole
    }
    *done = static_cast<DWORD>(sent);
    return ERROR_SUCCESS;
  }

  DWORD SetMode(DWORD mode) {
    if (mode & ~(PIPE_READMODE_MESSAGE | PIPE_NOWAIT)) return ERROR_INVALID_PARAMETER;
    if ((mode & PIPE_READMODE_MESSAGE) && !message_) return ERROR_INVALID_PARAMETER;
    readMessage_ = (mode & PIPE_READMODE_MESSAGE) != 0;
    nowait_ = (mode & PIPE_NOWAIT) != 0;
    return ERROR_SUCCESS;
  }

 protected:
  virtual DWORD NotConnectedError(bool reading) const = 0;

  void Attach(int fd) {
    std::scoped_lock lock(readMutex_, writeMutex_);
    CloseConnectionLocked();
    conn_ = fd;
  }
  void CloseConnection() {
    std::scoped_lock lock(readMutex_, writeMutex_);
    CloseConnectionLocked();
  }
  bool Connected() const { return conn_.load() >= 0; }
  bool NoWait() const { return nowait_; }

 private:
  void CloseConnectionLocked() {
    int fd = conn_.exchange(-1);
    if (fd >= 0) ::close(fd);
    pending_.clear();
    pendingAt_ = 0;
  }

  // Reads the next whole message into pending_.
  DWORD ReceiveMessage(int fd, int wait) {
    ssize_t size;
    do {
      size = ::recv(fd, nullptr, 0, MSG_PEEK | MSG_TRUNC | wait);
    } while (size < 0 && errno == EINTR);
    if (size < 0) return errno == EAGAIN ? ERROR_NO_DATA : ERROR_BROKEN_PIPE;
    if (size == 0) return ERROR_BROKEN_PIPE;  // empty messages are never sent: the other end is gone
    pending_.resize(static_cast<std::size_t>(size));
    ssize_t n;
    do {
      n = ::recv(fd, pending_.data(), pending_.size(), 0);
    } while (n < 0 && errno == EINTR);
    if (n <= 0) {
      pending_.clear();
      return ERROR_BROKEN_PIPE;
    }
    pending_.resize(static_cast<std::size_t>(n));
    pendingAt_ = 0;
    return ERROR_SUCCESS;
  }

  const bool message_;
  const bool canRead_;
  const bool canWrite_;
  std::atomic<bool> readMessage_{false};
  std::atomic<bool> nowait_{false};
  std::atomic<int> conn_{-1};
  std::mutex readMutex_;
  std::mutex writeMutex_;
  std::vector<char> pending_;  // guarded by readMutex_
  std::size_t pendingAt_ = 0;
};

class PipeServer : public PipeEnd {
 public:
  PipeServer(std::shared_ptr<PipeListener> listener, DWORD openMode, DWORD pipeMode)
      : PipeEnd(listener->message, openMode & PIPE_ACCESS_INBOUND, openMode & PIPE_ACCESS_OUTBOUND),
        listener_(std::move(listener)) {
    SetMode(pipeMode & (PIPE_READMODE_MESSAGE | PIPE_NOWAIT));
  }
  ~PipeServer() override {
    std::lock_guard lock(gListenersMutex);
    --listener_->instances;
    listener_.reset();  // the last instance closes the socket
  }

  // ERROR_SUCCESS once a client is connected; ERROR_PIPE_CONNECTED when one
  // was connected before; ERROR_PIPE_LISTENING when none is there and the
  // instance must not wait.
  DWORD Connect() {
    std::lock_guard lock(connectMutex_);
    if (Connected()) return ERROR_PIPE_CONNECTED;
    bool waited = false;
    for (;;) {
      pollfd p{listener_->fd, POLLIN, 0};
      int ready = ::poll(&p, 1, waited || NoWait() ? (NoWait() ? 0 : -1) : 0);
      if (ready < 0 && errno == EINTR) continue;
      if (ready < 0) return ERROR_BROKEN_PIPE;
      if (ready == 0) {
        if (NoWait()) return ERROR_PIPE_LISTENING;
        waited = true;
        continue;
      }
      int fd = ::accept4(listener_->fd, nullptr, nullptr, SOCK_CLOEXEC);
      if (fd < 0) {
        if (errno == EAGAIN || errno == EINTR || errno == ECONNABORTED) {
          waited = true;  // another instance took that client
          continue;
        }
        return ERROR_BROKEN_PIPE;
      }
      Attach(fd);
      return waited ? ERROR_SUCCESS : ERROR_PIPE_CONNECTED;
    }
  }

  void Disconnect() { CloseConnection(); }

 protected:
  DWORD NotConnectedError(bool) const override { return ERROR_PIPE_LISTENING; }

 private:
  std::shared_ptr<PipeListener> listener_;
  std::mutex connectMutex_;
};

class PipeClient : public PipeEnd {
 public:
  PipeClient(const PipeConnection& connection, bool canRead, bool canWrite)
      : PipeEnd(connection.message, canRead, canWrite) {
    Attach(connection.fd);
  }

 protected:
  DWORD NotConnectedError(bool reading) const override { return reading ? ERROR_BROKEN_PIPE : ERROR_NO_DATA; }
};

HANDLE FailHandle(DWORD error) {
  SetLastError(error);
  return INVALID_HANDLE_VALUE;
}

BOOL Fail(DWORD error) {
  SetLastError(error);
  return FALSE;
}

// A new listening socket for `key`, or the Windows error.
std::shared_ptr<PipeListener> Listen(const std::u16string& key, bool message, DWORD* error) {
  if ((*error = PreparePipeFolder()) != ERROR_SUCCESS) return nullptr;
  auto listener = std::make_shared<PipeListener>();
  listener->path = PipeSocketPath(key);
  listener->message = message;
  std::filesystem::path lockPath = listener->path;
  lockPath += ".lock";
  listener->lockFd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (listener->lockFd < 0) {
    *error = ERROR_ACCESS_DENIED;
    return nullptr;
  }
  if (::flock(listener->lockFd, LOCK_EX | LOCK_NB) != 0) {
    *error = ERROR_PIPE_BUSY;  // another process serves this name
    return nullptr;
  }
  ::unlink(listener->path.c_str());  // left behind by a server that ended
  SocketAddress address(listener->path);
  if (!address.valid()) {
    *error = ERROR_FILENAME_EXCED_RANGE;
    return nullptr;
  }
  listener->fd = ::socket(AF_UNIX, (message ? SOCK_SEQPACKET : SOCK_STREAM) | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (listener->fd < 0 || ::bind(listener->fd, address.get(), address.size()) != 0) {
    *error = ERROR_ACCESS_DENIED;
    return nullptr;
  }
  ::chmod(listener->path.c_str(), 0600);
  struct stat st {};
  if (::lstat(listener->path.c_str(), &st) == 0) listener->inode = st.st_ino;
  if (::listen(listener->fd, 16) != 0) {
    *error = ERROR_ACCESS_DENIED;
    return nullptr;
  }
  return listener;
}

HANDLE OpenPipeClient(std::u16string_view name, DWORD access, DWORD, DWORD, DWORD) {
  std::u16string key = PipeKey(name);
  if (key.empty()) return FailHandle(ERROR_INVALID_NAME);
  bool canRead = (access & (GENERIC_READ | GENERIC_ALL)) != 0;
  bool canWrite = (access & (GENERIC_WRITE | GENERIC_ALL)) != 0;
  DWORD error = ERROR_SUCCESS;
  auto connection = ConnectToPipe(key, &error);
  if (!connection) return FailHandle(error);
  HANDLE handle = InsertHandle(std::make_shared<PipeClient>(*connection, canRead, canWrite));
  SetLastError(ERROR_SUCCESS);
  return handle;
}

const bool gOpenerRegistered = (RegisterDeviceOpener(u"\\\\.\\pipe\\", OpenPipeClient), true);

DWORD DefaultTimeoutOf(const std::u16string& key) {
  std::lock_guard lock(gListenersMutex);
  auto it = Listeners().find(key);
  auto listener = it == Listeners().end() ? nullptr : it->second.lock();
  return listener && listener->defaultTimeout ? listener->defaultTimeout : kFallbackDefaultTimeout;
}

}  // namespace
}  // namespace k460::process

using namespace k460::process;

K460_API HANDLE CreateNamedPipeW(LPCWSTR lpName, DWORD dwOpenMode, DWORD dwPipeMode, DWORD nMaxInstances, DWORD,
                                 DWORD, DWORD nDefaultTimeOut, LPSECURITY_ATTRIBUTES) {
  if (k460::CallFailsSetError("CreateNamedPipeW", k460::Utf16ToUtf8(k460::WideView(lpName))))
    return INVALID_HANDLE_VALUE;
  std::u16string key = PipeKey(k460::WideView(lpName));
  if (key.empty()) return FailHandle(ERROR_INVALID_NAME);
  constexpr DWORD kOpenFlags = FILE_FLAG_FIRST_PIPE_INSTANCE | FILE_FLAG_WRITE_THROUGH;
  if ((dwOpenMode & PIPE_ACCESS_DUPLEX) == 0 || (dwOpenMode & ~(PIPE_ACCESS_DUPLEX | kOpenFlags)) != 0)
    return FailHandle(ERROR_INVALID_PARAMETER);
  constexpr DWORD kModes = PIPE_TYPE_MESSAGE | PIPE_READMODE_MESSAGE | PIPE_NOWAIT | PIPE_REJECT_REMOTE_CLIENTS;
  bool message = (dwPipeMode & PIPE_TYPE_MESSAGE) != 0;
  if ((dwPipeMode & ~kModes) != 0 || (!message && (dwPipeMode & PIPE_READMODE_MESSAGE)))
    return FailHandle(ERROR_INVALID_PARAMETER);
  if (nMaxInstances == 0 || nMaxInstances > PIPE_UNLIMITED_INSTANCES) return FailHandle(ERROR_INVALID_PARAMETER);

  std::lock_guard lock(gListenersMutex);
  auto& slot = Listeners()[key];
  std::shared_ptr<PipeListener> listener = slot.lock();
  if (listener) {
    if (dwOpenMode & FILE_FLAG_FIRST_PIPE_INSTANCE) return FailHandle(ERROR_ACCESS_DENIED);
    if (listener->message != message) return FailHandle(ERROR_ACCESS_DENIED);
    if (listener->instances >= listener->maxInstances) return FailHandle(ERROR_PIPE_BUSY);
  } else {
    DWORD error = ERROR_SUCCESS;
    listener = Listen(key, message, &error);
    if (!listener) return FailHandle(error);
    listener->maxInstances = nMaxInstances;
    listener->defaultTimeout = nDefaultTimeOut;
    slot = listener;
  }
  ++listener->instances;
  HANDLE handle = k460::InsertHandle(std::make_shared<PipeServer>(listener, dwOpenMode, dwPipeMode));
  SetLastError(ERROR_SUCCESS);
  return handle;
}

K460_API BOOL ConnectNamedPipe(HANDLE hNamedPipe, LPVOID lpOverlapped) {
  if (k460::CallFailsSetError("ConnectNamedPipe")) return FALSE;
  auto server = k460::LookupHandleAs<PipeServer>(hNamedPipe);
  if (!server) return Fail(ERROR_INVALID_HANDLE);
  if (lpOverlapped) return Fail(ERROR_INVALID_PARAMETER);
  DWORD error = server->Connect();
  return error == ERROR_SUCCESS ? TRUE : Fail(error);
}

K460_API BOOL DisconnectNamedPipe(HANDLE hNamedPipe) {
  if (k460::CallFailsSetError("DisconnectNamedPipe")) return FALSE;
  auto server = k460::LookupHandleAs<PipeServer>(hNamedPipe);
  if (!server) return Fail(ERROR_INVALID_HANDLE);
  server->Disconnect();
  return TRUE;
}

K460_API BOOL WaitNamedPipeW(LPCWSTR lpNamedPipeName, DWORD nTimeOut) {
  if (k460::CallFailsSetError("WaitNamedPipeW", k460::Utf16ToUtf8(k460::WideView(lpNamedPipeName)))) return FALSE;
  std::u16string key = PipeKey(k460::WideView(lpNamedPipeName));
  if (key.empty()) return Fail(ERROR_INVALID_NAME);
  DWORD timeout = nTimeOut == NMPWAIT_USE_DEFAULT_WAIT ? DefaultTimeoutOf(key) : nTimeOut;
  auto path = PipeSocketPath(key);
  const ULONGLONG deadline = GetTickCount64() + timeout;
  for (;;) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0 && S_ISSOCK(st.st_mode)) return TRUE;
    if (timeout != NMPWAIT_WAIT_FOREVER && GetTickCount64() >= deadline) return Fail(ERROR_SEM_TIMEOUT);
    Sleep(10);
  }
}

K460_API BOOL SetNamedPipeHandleState(HANDLE hNamedPipe, LPDWORD lpMode, LPDWORD lpMaxCollectionCount,
                                      LPDWORD lpCollectDataTimeout) {
  auto end = k460::LookupHandleAs<PipeEnd>(hNamedPipe);
  if (!end) return Fail(ERROR_INVALID_HANDLE);
  if (lpMaxCollectionCount || lpCollectDataTimeout) return Fail(ERROR_INVALID_PARAMETER);
  if (!lpMode) return TRUE;
  DWORD error = end->SetMode(*lpMode);
  return error == ERROR_SUCCESS ? TRUE : Fail(error);
}
