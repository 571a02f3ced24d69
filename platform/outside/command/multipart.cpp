#include "platform/outside/command/multipart.h"

#include <atomic>
#include <chrono>
#include <cstdint>

#include "platform/outside/command/number_text.h"

namespace k460::cmdlib {
namespace {

// Quotes and line breaks cannot stand inside a quoted header value.
std::string HeaderSafe(std::string_view text) {
  std::string safe;
  for (char c : text) {
    if (c == '"') safe += "%22";
    else if (c == '\r' || c == '\n') safe += ' ';
    else safe += c;
  }
  return safe;
}

std::string Lower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return lower;
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

// The value of `key` in "type; key=value; key="value"" (key without case).
std::optional<std::string> HeaderParameter(std::string_view header, std::string_view key) {
  std::size_t position = header.find(';');
  while (position != std::string_view::npos) {
    std::string_view rest = header.substr(position + 1);
    std::size_t next = std::string_view::npos;
    if (std::size_t equals = rest.find('='); equals != std::string_view::npos) {
      std::string_view name = Trim(rest.substr(0, equals));
      std::string_view value = rest.substr(equals + 1);
      while (!value.empty() && value.front() == ' ') value.remove_prefix(1);
      std::string text;
      if (!value.empty() && value.front() == '"') {
        std::size_t close = value.find('"', 1);
        if (close == std::string_view::npos) return std::nullopt;
        text = std::string(value.substr(1, close - 1));
        std::size_t after = value.find(';', close);
        next = after == std::string_view::npos ? after : (value.data() - header.data()) + after;
      } else {
        std::size_t semicolon = value.find(';');
        text = std::string(Trim(value.substr(0, semicolon)));
        next = semicolon == std::string_view::npos ? semicolon : (value.data() - header.data()) + semicolon;
      }
      if (Lower(name) == Lower(key)) return text;
    } else {
      next = header.find(';', position + 1);
    }
    position = next;
  }
  return std::nullopt;
}

bool BoundaryCharacter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
         std::string_view("'()+_,-./:=? ").find(c) != std::string_view::npos;
}

}  // namespace

std::string MakeBoundary(const std::vector<FormPart>& parts) {
  static std::atomic<std::uint32_t> counter{0};
  for (;;) {
    auto now = static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    std::string boundary = "k460-form-" + HexText(static_cast<std::uint32_t>(now), 8) +
                           HexText(static_cast<std::uint32_t>(now >> 32), 8) + "-" + HexText(++counter, 8);
    bool clash = false;
    for (const FormPart& part : parts) clash = clash || part.data.find(boundary) != std::string::npos;
    if (!clash) return boundary;
  }
}

std::string MultipartContentType(std::string_view boundary) {
  return "multipart/form-data; boundary=" + std::string(boundary);
}

std::string WriteMultipart(const std::vector<FormPart>& parts, std::string_view boundary) {
  std::string body;
  for (const FormPart& part : parts) {
    body += "--";
    body += boundary;
    body += "\r\nContent-Disposition: form-data; name=\"" + HeaderSafe(part.name) + "\"";
    if (part.isFile) body += "; filename=\"" + HeaderSafe(part.filename) + "\"";
    body += "\r\n";
    if (!part.contentType.empty()) body += "Content-Type: " + HeaderSafe(part.contentType) + "\r\n";
    body += "\r\n";
    body += part.data;
    body += "\r\n";
  }
  body += "--";
  body += boundary;
  body += "--\r\n";
  return body;
}

std::optional<std::string> FormBoundary(std::string_view contentType) {
  std::string_view type = Trim(contentType.substr(0, contentType.find(';')));
  if (Lower(type) != "multipart/form-data") return std::nullopt;
  std::optional<std::string> boundary = HeaderParameter(contentType, "boundary");
  if (!boundary || boundary->empty() || boundary->size() > 70) return std::nullopt;
  for (char c : *boundary) {
    if (!BoundaryCharacter(c)) return std::nullopt;
  }
  return boundary;
}

std::string ParseMultipart(std::string_view body, std::string_view boundary, std::size_t maxParts,
                           std::vector<FormPart>* parts) {
  parts->clear();
  const std::string opening = "--" + std::string(boundary);
  const std::string delimiter = "\r\n" + opening;
  if (body.substr(0, opening.size()) != opening) return "the body does not begin with the boundary";
  std::size_t position = opening.size();
  for (;;) {
    std::string_view rest = body.substr(position);
    if (rest.substr(0, 2) == "--") {
      std::string_view tail = rest.substr(2);
      if (!tail.empty() && tail != "\r\n") return "data after the closing boundary";
      return "";
    }
    if (rest.substr(0, 2) != "\r\n") return "a boundary is not followed by a line end";
    position += 2;
    if (parts->size() >= maxParts) return "more than " + std::to_string(maxParts) + " parts";
    std::size_t headersEnd = body.find("\r\n\r\n", position);
    std::size_t dataEnd = body.find(delimiter, position);
    if (dataEnd == std::string_view::npos) return "a part is not closed by a boundary";
    FormPart part;
    bool named = false;
    if (headersEnd != std::string_view::npos && headersEnd <= dataEnd) {
      std::string_view headers = body.substr(position, headersEnd - position);
      while (!headers.empty()) {
        std::size_t lineEnd = headers.find("\r\n");
        std::string_view line = headers.substr(0, lineEnd);
        headers = lineEnd == std::string_view::npos ? std::string_view() : headers.substr(lineEnd + 2);
        std::size_t colon = line.find(':');
        if (colon == std::string_view::npos) return "a part header without a colon";
        std::string name = Lower(Trim(line.substr(0, colon)));
        std::string_view value = Trim(line.substr(colon + 1));
        if (name == "content-disposition") {
          if (Lower(Trim(value.substr(0, value.find(';')))) != "form-data") return "a part that is not form data";
          std::optional<std::string> field = HeaderParameter(value, "name");
          if (!field || field->empty()) return "a part without a name";
          part.name = *field;
          named = true;
          if (std::optional<std::string> file = HeaderParameter(value, "filename")) {
            part.filename = *file;
            part.isFile = true;
          }
        } else if (name == "content-type") {
          part.contentType = std::string(value);
        }
      }
      position = headersEnd + 4;
    } else if (dataEnd != position) {
      return "a part without the blank line after its headers";
    }
    if (!named) return "a part without Content-Disposition";
    if (position > dataEnd) return "a part without the blank line after its headers";
    part.data = std::string(body.substr(position, dataEnd - position));
    parts->push_back(std::move(part));
    position = dataEnd + delimiter.size();
  }
}

}  // namespace k460::cmdlib
