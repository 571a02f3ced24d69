#include <netdb.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>
#include <new>
#include <string>

#include "platform/base/base.h"
#include "platform/base/host.h"
#include "platform/base/internal.h"
#include "platform/base/text.h"
#include "platform/net/net.h"

namespace {

// The name the host's resolver knows for a name of this machine: the
// machine's computer name stands for the host the machine runs on.
std::string ResolverName(std::u16string_view node) {
  if (k460::EqualsNoCase(k460::Utf16ToUtf8(node), k460::GetMachineProfile().computerName)) {
    char host[256] = {};
    if (gethostname(host, sizeof host - 1) == 0) return host;
  }
  return k460::Utf16ToUtf8(node);
}

void FreeChain(ADDRINFOW* info) {
  while (info) {
    ADDRINFOW* next = info->ai_next;
    delete info->ai_addr;
    delete info;
    info = next;
  }
}

}  // namespace

K460_API INT WINAPI GetHostNameW(PWSTR name, INT namelen) {
  if (k460::CallFails("GetHostNameW", nullptr)) return -1;
  const std::u16string computer = k460::Utf8ToUtf16(k460::GetMachineProfile().computerName);
  if (!name || namelen <= 0 || computer.size() + 1 > static_cast<std::size_t>(namelen)) {
    SetLastError(WSAEFAULT);
    return -1;
  }
  std::memcpy(name, computer.c_str(), (computer.size() + 1) * sizeof(char16_t));
  return 0;
}

K460_API INT WINAPI GetAddrInfoW(PCWSTR nodeName, PCWSTR, const ADDRINFOW*, PADDRINFOW* result) {
  if (!result) return WSAEINVAL;
  *result = nullptr;
  if (!nodeName) return WSAHOST_NOT_FOUND;
  if (k460::CallFails("GetAddrInfoW", nullptr)) return WSAHOST_NOT_FOUND;
  addrinfo hints{};
  hints.ai_family = PF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  if (getaddrinfo(ResolverName(k460::WideView(nodeName)).c_str(), nullptr, &hints, &found) != 0 || !found)
    return WSAHOST_NOT_FOUND;
  ADDRINFOW* head = nullptr;
  ADDRINFOW** tail = &head;
  for (const addrinfo* entry = found; entry; entry = entry->ai_next) {
    if (entry->ai_family != PF_INET || entry->ai_addrlen < sizeof(sockaddr_in)) continue;
    const auto* ipv4 = reinterpret_cast<const sockaddr_in*>(entry->ai_addr);
    auto* info = new (std::nothrow) ADDRINFOW{};
    auto* address = new (std::nothrow) SOCKADDR_IN{};
    if (!info || !address) {
      delete info;
      delete address;
      FreeChain(head);
      freeaddrinfo(found);
      return WSA_NOT_ENOUGH_MEMORY;
    }
    address->sin_family = AF_INET;
    address->sin_addr.S_addr = ipv4->sin_addr.s_addr;
    info->ai_family = AF_INET;
    info->ai_addrlen = sizeof(SOCKADDR_IN);
    info->ai_addr = address;
    *tail = info;
    tail = &info->ai_next;
  }
  freeaddrinfo(found);
  if (!head) return WSAHOST_NOT_FOUND;
  *result = head;
  return 0;
}

K460_API void WINAPI FreeAddrInfoW(PADDRINFOW info) { FreeChain(info); }
