// The multipart/form-data form in which the command libraries send a
// command: the tree as an XML document, each parameter, and the file. The
// parser serves the device side, where the bytes are untrusted.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace k460::cmdlib {

struct FormPart {
  std::string name;
  std::string filename;  // file parts only
  bool isFile = false;
  std::string contentType;
  std::string data;
};

// A boundary that occurs in none of the parts.
std::string MakeBoundary(const std::vector<FormPart>& parts);
std::string WriteMultipart(const std::vector<FormPart>& parts, std::string_view boundary);
std::string MultipartContentType(std::string_view boundary);

// The boundary of a "multipart/form-data; boundary=..." content type;
// nothing for any other type or a boundary that is missing, empty, longer
// than 70 characters or of characters that a boundary may not have.
std::optional<std::string> FormBoundary(std::string_view contentType);

// Splits a body into its parts; "" on success, else what is wrong with it.
// More than `maxParts` parts is wrong.
std::string ParseMultipart(std::string_view body, std::string_view boundary, std::size_t maxParts,
                           std::vector<FormPart>* parts);

}  // namespace k460::cmdlib
