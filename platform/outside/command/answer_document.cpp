#include "platform/outside/command/answer_document.h"

#include <pugixml.hpp>

#include <utility>

#include "platform/outside/command/ansi_text.h"

namespace k460::cmdlib {

std::string ParseAnswer(std::string_view bytes, std::vector<AnswerElement>* elements) {
  elements->clear();
  if (bytes.size() > kMaxAnswerBytes) return "the answer is larger than " + std::to_string(kMaxAnswerBytes) + " bytes";
  pugi::xml_document document;
  pugi::xml_parse_result parsed = document.load_buffer(bytes.data(), bytes.size(), pugi::parse_default);
  if (!parsed) return std::string("not an XML document: ") + parsed.description();
  pugi::xml_node root = document.document_element();
  if (!root) return "the document has no root element";
  std::vector<std::pair<pugi::xml_node, std::size_t>> pending{{root, 1}};
  while (!pending.empty()) {
    auto [node, depth] = pending.back();
    pending.pop_back();
    std::string failure;
    if (depth > kMaxAnswerDepth) failure = "elements nested deeper than " + std::to_string(kMaxAnswerDepth);
    if (elements->size() >= kMaxAnswerElements) failure = "more than " + std::to_string(kMaxAnswerElements) + " elements";
    if (!failure.empty()) {
      elements->clear();
      return failure;
    }
    elements->push_back({node.name(), Utf8ToAnsi(node.text().get())});
    std::vector<pugi::xml_node> children;
    for (pugi::xml_node child = node.first_child(); child; child = child.next_sibling()) {
      if (child.type() == pugi::node_element) children.push_back(child);
    }
    for (auto child = children.rbegin(); child != children.rend(); ++child) pending.push_back({*child, depth + 1});
  }
  return "";
}

}  // namespace k460::cmdlib
