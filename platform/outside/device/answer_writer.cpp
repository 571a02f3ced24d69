#include "platform/outside/device/answer_writer.h"

#include <pugixml.hpp>

#include <sstream>


namespace k460::device {
namespace {

void Add(pugi::xml_node parent, const char* name, const std::string& text) {
  parent.append_child(name).text().set(text.c_str());
}

}  // namespace

AnswerContent CodeAnswer(std::string command, int code, std::string reason) {
  AnswerContent content;
  content.command = std::move(command);
  content.code = std::to_string(code);
  content.reason = std::move(reason);
  return content;
}

DeviceAnswer WriteAnswer(const AnswerContent& content) {
  pugi::xml_document document;
  pugi::xml_node declaration = document.append_child(pugi::node_declaration);
  declaration.append_attribute("version") = "1.0";
  declaration.append_attribute("encoding") = "UTF-8";
  pugi::xml_node root = document.append_child(content.server ? "SERVER" : "JOB");
  Add(root, "COMMAND", content.command);
  pugi::xml_node response = content.server ? root : root.append_child("RESPONCE");
  if (content.code) Add(response, "CODE", *content.code);
  if (content.serviceId) Add(response, "SERVICEID", *content.serviceId);
  for (const auto& [name, text] : content.details) Add(response, name.c_str(), text);
  if (!content.reason.empty()) Add(response, "REASON", content.reason);
  for (const FaxUser& user : content.users) {
    pugi::xml_node node = root.append_child("USER");
    Add(node, "USERHANDLE", std::to_string(user.handle));
    Add(node, "USERID", user.id);
    Add(node, "USERNAME", user.name);
  }
  std::ostringstream text;
  document.save(text, "  ", pugi::format_indent, pugi::encoding_utf8);
  DeviceAnswer answer;
  answer.body = text.str();
  return answer;
}

DeviceAnswer SpoiledAnswer(AnswerContent content, const Fault& fault) {
  switch (fault.kind) {
    case FaultKind::NoCode: content.code.reset(); break;
    case FaultKind::NoServiceId: content.serviceId.reset(); break;
    case FaultKind::BadCode: content.code = "OK"; break;
    case FaultKind::BadServiceId:
      if (content.serviceId) content.serviceId = "JOB-" + content.serviceId->substr(0, 4);
      break;
    default: break;
  }
  DeviceAnswer answer = WriteAnswer(content);
  switch (fault.kind) {
    case FaultKind::Drop: answer.delivery = Delivery::Drop; break;
    case FaultKind::Delay: answer.delayMs = fault.value; break;
    case FaultKind::Garbage: answer.body = "<JOB><RESPONCE><CODE>600</CODE></RESPONCE><<<\x01 not the end"; break;
    case FaultKind::Huge: {
      std::string filler(2u << 20, 'x');
      answer.body = "<?xml version=\"1.0\"?>\n<JOB><RESPONCE><CODE>600</CODE><STATUS>" + filler +
                    "</STATUS></RESPONCE></JOB>\n";
      break;
    }
    case FaultKind::HttpError:
      answer.httpStatus = fault.value;
      answer.contentType = "text/plain; charset=UTF-8";
      answer.body = "the device answers HTTP " + std::to_string(fault.value) + " on request\n";
      break;
    case FaultKind::WrongType: answer.contentType = "text/plain; charset=UTF-8"; break;
    default: break;
  }
  return answer;
}

}  // namespace k460::device
