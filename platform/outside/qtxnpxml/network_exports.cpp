// The network objects of "qtxnpxml.dll" and the post of a command.
#include <arpa/inet.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <memory>
#include <string>

#include "platform/base/internal.h"
#include "platform/outside/command/answer_document.h"
#include "platform/outside/command/command_handles.h"
#include "platform/outside/command/handle_registry.h"
#include "platform/outside/command/request_body.h"
#include "platform/outside/qtxnpxml/http_post.h"
#include "platform/outside/qtxnpxml/qtxnpxml.h"

namespace qtxnpxml {
namespace {

using k460::cmdlib::HandleRegistry;

constexpr DWORD kLongestTimeout = 3600 * 1000;

std::atomic<DWORD> gDefaultConnectMs{MNET_DEFAULT_CONNECT_TIMEOUT};
std::atomic<DWORD> gDefaultTotalMs{MNET_DEFAULT_TOTAL_TIMEOUT};

struct NetworkObject {
  std::string address;
  DWORD connectMs = gDefaultConnectMs;
  DWORD totalMs = gDefaultTotalMs;
  std::atomic<DWORD> lastError{0};
  std::atomic<long> httpStatus{0};
  std::string progressTitle, progressMessage, progressButton;
};

HandleRegistry<NetworkObject>& NetworkObjects() {
  static HandleRegistry<NetworkObject> objects(0x20000);
  return objects;
}

std::shared_ptr<NetworkObject> FindNetwork(HANDLE hNet) {
  auto network = NetworkObjects().Find(hNet);
  if (!network) SetLastError(ERROR_INVALID_HANDLE);
  return network;
}

bool IsCgiName(std::string_view name) {
  if (!name.empty() && name.front() == '/') name.remove_prefix(1);
  if (name.empty() || name.size() > 255 || name.front() == '.') return false;
  for (char c : name) {
    bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' || c == '_' ||
              c == '-';
    if (!ok) return false;
  }
  return true;
}

BOOL Fail(NetworkObject& network, DWORD error) {
  network.lastError = error;
  SetLastError(error);
  return FALSE;
}

bool IsXmlType(const std::string& contentType) {
  std::string type = contentType.substr(0, contentType.find(';'));
  while (!type.empty() && type.back() == ' ') type.pop_back();
  for (char& c : type) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  return type == "text/xml" || type == "application/xml";
}

bool ValidTimeout(DWORD ms) { return ms <= kLongestTimeout; }

}  // namespace
}  // namespace qtxnpxml

using namespace qtxnpxml;

K460_API HANDLE WINAPI MnetCreateNetworkObject(LPCSTR pszIpAddress) {
  if (k460::CallFailsSetError("MnetCreateNetworkObject")) return nullptr;
  in_addr parsed{};
  if (!pszIpAddress || strnlen(pszIpAddress, 16) > 15 || inet_pton(AF_INET, pszIpAddress, &parsed) != 1) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto network = std::make_shared<NetworkObject>();
  network->address = pszIpAddress;
  return NetworkObjects().Insert(std::move(network));
}

K460_API BOOL WINAPI MnetDeleteNetworkObject(HANDLE hNet) {
  if (NetworkObjects().Remove(hNet)) return TRUE;
  SetLastError(ERROR_INVALID_HANDLE);
  return FALSE;
}

K460_API DWORD WINAPI MnetGetLastError(HANDLE hNet) {
  auto network = NetworkObjects().Find(hNet);
  return network ? network->lastError.load() : MNET_ERROR_INVALID_ARGUMENT;
}

K460_API LONG WINAPI MnetGetHttpStatus(HANDLE hNet) {
  auto network = NetworkObjects().Find(hNet);
  return network ? static_cast<LONG>(network->httpStatus.load()) : 0;
}

K460_API BOOL WINAPI MnetPostFile(HANDLE hNet, LONG nHttpPort, LPCSTR pszCgiName, HANDLE hCmd) {
  auto network = FindNetwork(hNet);
  if (!network) return FALSE;
  network->httpStatus = 0;
  DWORD injected = 0;
  if (k460::CallFails("MnetPostFile", &injected)) {
    network->lastError = MNET_ERROR_NETWORK;
    SetLastError(injected);
    return FALSE;
  }
  auto command = k460::cmdlib::FindCommand(hCmd);
  if (!command || nHttpPort < 1 || nHttpPort > 65535 || !pszCgiName ||
      !IsCgiName(std::string_view(pszCgiName, strnlen(pszCgiName, 257)))) {
    return Fail(*network, MNET_ERROR_INVALID_ARGUMENT);
  }
  command->DropAnswer();

  k460::cmdlib::RequestBody body;
  if (k460::cmdlib::BuildRequestBody(*command, &body) != 0) return Fail(*network, MNET_ERROR_FILE);
  std::string cgi = pszCgiName;
  if (cgi.front() == '/') cgi.erase(0, 1);
  HttpPost post;
  post.url = "http://" + network->address + ":" + std::to_string(nHttpPort) + "/" + cgi;
  post.contentType = body.contentType;
  post.body = std::move(body.bytes);
  post.connectTimeoutMs = network->connectMs;
  post.totalTimeoutMs = network->totalMs;
  post.maxAnswerBytes = k460::cmdlib::kMaxAnswerBytes;
  HttpAnswer answer = Post(post);
  network->httpStatus = answer.status;
  if (answer.error) return Fail(*network, answer.error);
  if (answer.status != 200) return Fail(*network, MNET_ERROR_HTTP_STATUS);
  if (!IsXmlType(answer.contentType)) return Fail(*network, MNET_ERROR_BAD_ANSWER);
  std::vector<k460::cmdlib::AnswerElement> elements;
  if (!k460::cmdlib::ParseAnswer(answer.body, &elements).empty()) return Fail(*network, MNET_ERROR_BAD_ANSWER);
  command->SetAnswer(std::move(elements));
  network->lastError = MNET_ERROR_NONE;
  return TRUE;
}

K460_API BOOL WINAPI MnetSetProgressWindow(HANDLE hNet, LONG nSeconds, LPCSTR pszTitle, LPCSTR pszMessage,
                                           LPCSTR pszButton) {
  auto network = FindNetwork(hNet);
  if (!network) return FALSE;
  if (nSeconds < 1 || nSeconds > 3600) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  network->totalMs = static_cast<DWORD>(nSeconds) * 1000;
  network->connectMs = std::min(network->connectMs, network->totalMs);
  auto keep = [](LPCSTR text) { return text ? std::string(text, strnlen(text, 1024)) : std::string(); };
  network->progressTitle = keep(pszTitle);
  network->progressMessage = keep(pszMessage);
  network->progressButton = keep(pszButton);
  return TRUE;
}

K460_API BOOL WINAPI MnetSetTimeouts(HANDLE hNet, DWORD dwConnectMs, DWORD dwTotalMs) {
  auto network = FindNetwork(hNet);
  if (!network) return FALSE;
  if (!ValidTimeout(dwConnectMs) || !ValidTimeout(dwTotalMs)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (dwConnectMs) network->connectMs = dwConnectMs;
  if (dwTotalMs) network->totalMs = dwTotalMs;
  return TRUE;
}

K460_API BOOL WINAPI MnetSetDefaultTimeouts(DWORD dwConnectMs, DWORD dwTotalMs) {
  if (!ValidTimeout(dwConnectMs) || !ValidTimeout(dwTotalMs)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (dwConnectMs) gDefaultConnectMs = dwConnectMs;
  if (dwTotalMs) gDefaultTotalMs = dwTotalMs;
  return TRUE;
}
