#include "platform/outside/device/port_request.h"

#include <charconv>

namespace k460::device {
namespace {

constexpr std::size_t kMaxHeaders = 16 * 1024;
constexpr std::size_t kMaxParts = 64;

PortRequestResult Bad(std::string error) { return {PortRequestStatus::Bad, std::move(error), 0}; }

bool SameNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

}  // namespace

PortRequestResult ReadPortRequest(std::string_view bytes, std::size_t maxBody, DeviceRequest* request) {
  std::size_t headerEnd = bytes.substr(0, kMaxHeaders).find("\r\n\r\n");
  if (headerEnd == std::string_view::npos) {
    if (bytes.size() >= kMaxHeaders) return Bad("request headers longer than 16 KiB");
    return {};
  }
  std::string_view head = bytes.substr(0, headerEnd);
  std::size_t lineEnd = head.find("\r\n");
  std::string_view line = head.substr(0, lineEnd);
  std::size_t space = line.find(' '), secondSpace = line.rfind(' ');
  if (space == std::string_view::npos || secondSpace == space || line.substr(0, space) != "POST" ||
      line.substr(secondSpace + 1) != "HTTP/1.1")
    return Bad("not an HTTP/1.1 POST: " + std::string(line.substr(0, 80)));
  std::string path(line.substr(space + 1, secondSpace - space - 1));
  std::optional<std::size_t> length;
  std::string contentType;
  std::string_view headers = lineEnd == std::string_view::npos ? std::string_view() : head.substr(lineEnd + 2);
  while (!headers.empty()) {
    std::size_t end = headers.find("\r\n");
    std::string_view header = headers.substr(0, end);
    headers = end == std::string_view::npos ? std::string_view() : headers.substr(end + 2);
    std::size_t colon = header.find(':');
    if (colon == std::string_view::npos) return Bad("a header without a colon");
    std::string_view name = header.substr(0, colon), value = header.substr(colon + 1);
    while (!value.empty() && value.front() == ' ') value.remove_prefix(1);
    if (SameNoCase(name, "Content-Length")) {
      std::size_t number = 0;
      auto [stop, error] = std::from_chars(value.data(), value.data() + value.size(), number);
      if (value.empty() || error != std::errc() || stop != value.data() + value.size() || length)
        return Bad("a bad Content-Length");
      length = number;
    } else if (SameNoCase(name, "Content-Type")) {
      contentType = std::string(value);
    } else if (SameNoCase(name, "Transfer-Encoding")) {
      return Bad("the port takes no Transfer-Encoding");
    }
  }
  if (!length) return Bad("a request without Content-Length");
  if (*length > maxBody) return Bad("a body of " + std::to_string(*length) + " bytes, more than the device takes");
  std::optional<std::string> boundary = cmdlib::FormBoundary(contentType);
  if (!boundary) return Bad("a request that is not multipart/form-data");
  const std::size_t bodyStart = headerEnd + 4;
  if (bytes.size() - bodyStart < *length) return {};
  request->transport = Transport::Port;
  request->path = path;
  request->peer.clear();
  std::string failure = cmdlib::ParseMultipart(bytes.substr(bodyStart, *length), *boundary, kMaxParts, &request->parts);
  if (!failure.empty()) return Bad("the form: " + failure);
  return {PortRequestStatus::Complete, "", bodyStart + *length};
}

}  // namespace k460::device
