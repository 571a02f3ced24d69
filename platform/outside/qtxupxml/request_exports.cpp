// The request in pieces of "qtxupxml.dll".
#include <algorithm>
#include <cstring>
#include <string>

#include "platform/base/internal.h"
#include "platform/outside/command/command_handles.h"
#include "platform/outside/command/request_body.h"
#include "platform/outside/qtxupxml/qtxupxml.h"

namespace {

bool IsRequestPath(std::string_view path) {
  if (path.size() < 2 || path.size() > 255 || path.front() != '/' || path[1] == '.') return false;
  for (char c : path.substr(1)) {
    bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' || c == '_' ||
              c == '-';
    if (!ok) return false;
  }
  return true;
}

BOOL Fail(DWORD error) {
  SetLastError(error);
  return FALSE;
}

}  // namespace

K460_API BOOL WINAPI McmdOpenRequest(HANDLE hCmd, DWORD dwReserved, LPCSTR pszPath, DWORD dwForm) {
  auto command = k460::cmdlib::FindCommand(hCmd);
  if (!command) return FALSE;
  if (k460::CallFailsSetError("McmdOpenRequest")) return FALSE;
  if (dwReserved != 0 || dwForm != MCMD_REQUEST_HTTP || !pszPath || !IsRequestPath({pszPath, strnlen(pszPath, 256)}))
    return Fail(ERROR_INVALID_PARAMETER);
  k460::cmdlib::RequestBody body;
  if (DWORD error = k460::cmdlib::BuildRequestBody(*command, &body)) return Fail(error);
  std::string request = "POST " + std::string(pszPath) +
                        " HTTP/1.1\r\n"
                        "Host: printer\r\n"
                        "Content-Type: " +
                        body.contentType + "\r\nContent-Length: " + std::to_string(body.bytes.size()) + "\r\n\r\n";
  request += body.bytes;
  if (request.size() > 0xFFFFFFFFu) return Fail(ERROR_BUFFER_OVERFLOW);
  command->request = std::move(request);
  command->requestPosition = 0;
  command->requestOpen = true;
  return TRUE;
}

K460_API DWORD WINAPI McmdGetRequestSize(HANDLE hCmd) {
  auto command = k460::cmdlib::FindCommand(hCmd);
  if (!command) return 0;
  if (!command->requestOpen) {
    SetLastError(ERROR_INVALID_FUNCTION);
    return 0;
  }
  return static_cast<DWORD>(command->request.size());
}

K460_API BOOL WINAPI McmdReadRequest(HANDLE hCmd, LPVOID pBuffer, DWORD cbBuffer, LPDWORD pcbRead) {
  auto command = k460::cmdlib::FindCommand(hCmd);
  if (!command) return FALSE;
  if (!pcbRead || (!pBuffer && cbBuffer != 0)) return Fail(ERROR_INVALID_PARAMETER);
  *pcbRead = 0;
  if (!command->requestOpen) return Fail(ERROR_INVALID_FUNCTION);
  std::size_t left = command->request.size() - command->requestPosition;
  std::size_t count = std::min<std::size_t>(left, cbBuffer);
  if (count) std::memcpy(pBuffer, command->request.data() + command->requestPosition, count);
  command->requestPosition += count;
  *pcbRead = static_cast<DWORD>(count);
  return TRUE;
}

namespace {
BOOL EndRequest(HANDLE hCmd) {
  auto command = k460::cmdlib::FindCommand(hCmd);
  if (!command) return FALSE;
  if (!command->requestOpen) return Fail(ERROR_INVALID_FUNCTION);
  command->request.clear();
  command->request.shrink_to_fit();
  command->requestPosition = 0;
  command->requestOpen = false;
  return TRUE;
}
}  // namespace

K460_API BOOL WINAPI McmdAbortRequest(HANDLE hCmd) { return EndRequest(hCmd); }

K460_API BOOL WINAPI McmdCloseRequest(HANDLE hCmd) { return EndRequest(hCmd); }
