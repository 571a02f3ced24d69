#include "platform/outside/command/request_body.h"

#include <pugixml.hpp>

#include <sstream>
#include <utility>

#include "platform/files/files.h"
#include "platform/outside/command/ansi_text.h"
#include "platform/outside/command/mcmd.h"
#include "platform/outside/command/multipart.h"

namespace k460::cmdlib {
namespace {

void AppendElement(pugi::xml_node parent, const Element& element) {
  // Iterative, though the depth is bounded when the tree is built. Children
  // are pushed in reverse, so they are popped, and appended, in order.
  std::vector<std::pair<pugi::xml_node, const Element*>> pending{{parent, &element}};
  while (!pending.empty()) {
    auto [into, source] = pending.back();
    pending.pop_back();
    pugi::xml_node node = into.append_child(source->name.c_str());
    if (source->children.empty()) {
      if (!source->text.empty()) node.text().set(source->text.c_str());
      continue;
    }
    for (auto child = source->children.rbegin(); child != source->children.rend(); ++child)
      pending.push_back({node, child->get()});
  }
}

std::u16string WidePath(const std::string& ansi) {
  std::u16string wide;
  if (ansi.empty()) return wide;
  int length = MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
  if (length <= 0) return wide;
  wide.resize(static_cast<std::size_t>(length));
  MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), wide.data(), length);
  return wide;
}

DWORD ReadWholeFile(const std::string& ansiPath, std::string* bytes) {
  std::u16string path = WidePath(ansiPath);
  if (path.empty()) return ERROR_FILE_NOT_FOUND;
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    DWORD error = GetLastError();
    return error ? error : ERROR_FILE_NOT_FOUND;
  }
  DWORD high = 0;
  DWORD size = GetFileSize(file, &high);
  DWORD result = 0;
  if (size == INVALID_FILE_SIZE && GetLastError() != 0) {
    result = ERROR_READ_FAULT;
  } else if (high != 0 || size > MCMD_MAX_FILE) {
    result = ERROR_BUFFER_OVERFLOW;
  } else {
    bytes->resize(size);
    DWORD done = 0;
    while (done < size) {
      DWORD got = 0;
      if (!ReadFile(file, bytes->data() + done, size - done, &got, nullptr) || got == 0) break;
      done += got;
    }
    if (done != size) result = ERROR_READ_FAULT;
  }
  CloseHandle(file);
  return result;
}

std::string BaseName(const std::string& path) {
  std::size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

std::string CommandDocument(const Element& root, LONG mode) {
  pugi::xml_document document;
  pugi::xml_node declaration = document.append_child(pugi::node_declaration);
  declaration.append_attribute("version") = "1.0";
  declaration.append_attribute("encoding") = "UTF-8";
  AppendElement(document, root);
  document.document_element().prepend_attribute(kCommandMode) = static_cast<int>(mode);
  std::ostringstream text;
  document.save(text, "  ", pugi::format_indent, pugi::encoding_utf8);
  return text.str();
}

DWORD BuildRequestBody(const CommandObject& command, RequestBody* body) {
  std::vector<FormPart> parts;
  if (command.root()) {
    parts.push_back({kCommandPart, "", false, "text/xml; charset=UTF-8", CommandDocument(*command.root(), command.mode())});
  }
  for (const Param& param : command.params()) {
    parts.push_back({param.name, "", false, "text/plain; charset=UTF-8", param.value});
  }
  if (!command.file().empty()) {
    FormPart file{kFilePart, AnsiToUtf8(BaseName(command.file())), true, "application/octet-stream", {}};
    if (DWORD error = ReadWholeFile(command.file(), &file.data)) return error;
    parts.push_back(std::move(file));
  }
  std::string boundary = MakeBoundary(parts);
  body->contentType = MultipartContentType(boundary);
  body->bytes = WriteMultipart(parts, boundary);
  return 0;
}

}  // namespace k460::cmdlib
