#include "platform/outside/device/command_reading.h"

#include <pugixml.hpp>

#include <arpa/inet.h>

#include <algorithm>
#include <charconv>

#include "monitors/common/command_keys.h"
#include "monitors/common/page_codes.h"

namespace k460::device {
namespace {

using command::CommandKeyName;
using pagestream::CodedField;
namespace keys = command;

struct Refused {
  int code;
  std::string reason;
};

[[noreturn]] void Refuse(int code, std::string reason) { throw Refused{code, std::move(reason)}; }

std::string_view Name(int key) { return CommandKeyName(key); }

// The element children of a node, taken in order.
class Children {
 public:
  explicit Children(pugi::xml_node parent) : parent_(parent) {
    for (pugi::xml_node child = parent.first_child(); child; child = child.next_sibling()) {
      if (child.type() == pugi::node_element) {
        children_.push_back(child);
      } else if ((child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata) && !Blank(child.value())) {
        Refuse(kCodeBadTree, std::string("text inside the section ") + parent.name());
      }
    }
  }
  // The next child when it is named `name`.
  pugi::xml_node Optional(int key) {
    if (next_ < children_.size() && Name(key) == children_[next_].name()) return children_[next_++];
    return {};
  }
  pugi::xml_node Required(int key) {
    pugi::xml_node node = Optional(key);
    if (!node) {
      std::string found = next_ < children_.size() ? std::string(", found ") + children_[next_].name() : "";
      Refuse(kCodeBadTree, std::string(parent_.name()) + " lacks " + std::string(Name(key)) + found);
    }
    return node;
  }
  void End() {
    if (next_ < children_.size())
      Refuse(kCodeBadTree, std::string("unexpected ") + children_[next_].name() + " in " + parent_.name());
  }

 private:
  static bool Blank(const char* text) {
    for (; *text; ++text) {
      if (*text != ' ' && *text != '\t' && *text != '\r' && *text != '\n') return false;
    }
    return true;
  }
  pugi::xml_node parent_;
  std::vector<pugi::xml_node> children_;
  std::size_t next_ = 0;
};

std::string Value(pugi::xml_node node) {
  for (pugi::xml_node child = node.first_child(); child; child = child.next_sibling()) {
    if (child.type() == pugi::node_element) Refuse(kCodeBadTree, std::string(node.name()) + " holds elements");
  }
  return node.text().get();
}

int Integer(pugi::xml_node node, int low, int high) {
  std::string text = Value(node);
  int value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size() || value < low || value > high)
    Refuse(kCodeBadValue, std::string(node.name()) + " \"" + text + "\" is not a number from " + std::to_string(low) +
                              " to " + std::to_string(high));
  return value;
}

std::string Keyword(pugi::xml_node node, CodedField field) {
  std::string text = Value(node);
  auto keywords = pagestream::CodeTableOf(field).keywords;
  if (std::find(keywords.begin(), keywords.end(), text) == keywords.end())
    Refuse(kCodeBadValue, std::string(node.name()) + " \"" + text + "\" is no keyword of it");
  return text;
}

std::string Text(pugi::xml_node node, bool mayBeEmpty) {
  std::string text = Value(node);
  if ((!mayBeEmpty && text.empty()) || text.size() > 1024)
    Refuse(kCodeBadValue, std::string(node.name()) + " is empty or too long");
  return text;
}

std::uint32_t ServiceId(pugi::xml_node node) {
  std::string text = Value(node);
  std::optional<std::uint32_t> id = ReadServiceId(text);
  if (!id) Refuse(kCodeBadValue, "SERVICEID \"" + text + "\" is not 8 hexadecimal digits");
  return *id;
}

std::string Address(pugi::xml_node node) {
  std::string text = Value(node);
  in_addr parsed{};
  if (inet_pton(AF_INET, text.c_str(), &parsed) != 1) Refuse(kCodeBadValue, "SENDERIP \"" + text + "\" is no address");
  return text;
}

// SERVICEID and SENDERIP travel only over the network.
bool Network(Transport transport) { return transport == Transport::Network; }

void ReadImageInfo(pugi::xml_node section, Command* command) {
  Children children(section);
  PageSettings& settings = command->settings;
  auto keep = [&](pugi::xml_node node, std::string value) { settings.values.emplace_back(node.name(), value); };
  pugi::xml_node node = children.Required(keys::KEY_IMAGEFORMAT);
  if (Value(node) != "MMR") Refuse(kCodeBadValue, "IMAGEFORMAT \"" + Value(node) + "\": the device takes MMR");
  keep(node, "MMR");
  node = children.Required(keys::KEY_ORIENTATION);
  keep(node, Keyword(node, CodedField::Orient));
  node = children.Required(keys::KEY_SETPAGESIZE);
  keep(node, Keyword(node, CodedField::Paper));
  node = children.Required(keys::KEY_XSIZE);
  settings.width = Integer(node, 1, 32767);
  keep(node, std::to_string(settings.width));
  node = children.Required(keys::KEY_YSIZE);
  settings.height = Integer(node, 1, 32767);
  keep(node, std::to_string(settings.height));
  node = children.Required(keys::KEY_XRESOLUTION);
  settings.resolution = Integer(node, 1, 9600);
  keep(node, std::to_string(settings.resolution));
  node = children.Required(keys::KEY_YRESOLUTION);
  if (Integer(node, 1, 9600) != settings.resolution) Refuse(kCodeBadValue, "XRESOLUTION and YRESOLUTION differ");
  keep(node, std::to_string(settings.resolution));
  node = children.Required(keys::KEY_ANGLE);
  settings.angle = Integer(node, 0, 270);
  if (settings.angle % 90 != 0) Refuse(kCodeBadValue, "ANGLE " + std::to_string(settings.angle));
  keep(node, std::to_string(settings.angle));
  children.End();
  if (static_cast<std::uint64_t>(settings.width) * static_cast<std::uint64_t>(settings.height) > kMaxPagePixels)
    Refuse(kCodeBadValue, "a page larger than the device takes");
}

void ReadOutputInfo(pugi::xml_node section, Command* command) {
  Children children(section);
  auto& values = command->settings.values;
  auto keyword = [&](int key, CodedField field) {
    pugi::xml_node node = children.Required(key);
    std::string value = Keyword(node, field);
    values.emplace_back(node.name(), value);
    return value;
  };
  keyword(keys::KEY_PAPERSOURCE, CodedField::Casset);
  keyword(keys::KEY_OUTBIN, CodedField::Outbin);
  keyword(keys::KEY_PAPERTYPE, CodedField::PaperType);
  keyword(keys::KEY_ECNOMODE, CodedField::TonerSaving);
  keyword(keys::KEY_OUTPUTORDER, CodedField::OutputOder);
  keyword(keys::KEY_STACK, CodedField::Stack);
  // A finishing detail comes exactly when its setting is on.
  if (keyword(keys::KEY_DUPLEX, CodedField::Duplex) != "OFF") keyword(keys::KEY_BINDING, CodedField::DuplexBinding);
  pugi::xml_node copies = children.Optional(keys::KEY_QTY);
  if (!copies) copies = children.Required(keys::KEY_COPIES);
  values.emplace_back(copies.name(), std::to_string(Integer(copies, 1, 9999)));
  if (keyword(keys::KEY_PUNCH, CodedField::Punch) != "OFF") keyword(keys::KEY_PUNCHHOLES, CodedField::PunchHoles);
  if (keyword(keys::KEY_STAPLE, CodedField::Staple) != "OFF") keyword(keys::KEY_STAPLEPOINT, CodedField::StaplePoint);
  children.End();
}

void ReadPrint(pugi::xml_node print, CommandName name, Transport transport, Command* command) {
  Children sections(print);
  Children jobInfo(sections.Required(keys::KEY_JOBINFO));
  if (name == CommandName::Create) {
    command->jobName = Text(jobInfo.Required(keys::KEY_JOBNAME), false);
    command->computer = Text(jobInfo.Required(keys::KEY_OUTPUTPC), true);
  } else if (name == CommandName::GetStatus) {
    if (pugi::xml_node id = Network(transport) ? jobInfo.Required(keys::KEY_SERVICEID) : jobInfo.Optional(keys::KEY_SERVICEID))
      command->serviceId = ServiceId(id);
  } else {
    if (Network(transport)) command->serviceId = ServiceId(jobInfo.Required(keys::KEY_SERVICEID));
    command->pageNumber = Integer(jobInfo.Required(keys::KEY_PAGENUMBER), 0, 99999);
  }
  if (name != CommandName::GetStatus && Network(transport))
    command->senderIp = Address(jobInfo.Required(keys::KEY_SENDERIP));
  jobInfo.End();
  if (name == CommandName::Create || name == CommandName::Add) {
    ReadImageInfo(sections.Required(keys::KEY_IMAGEINFO), command);
    ReadOutputInfo(sections.Required(keys::KEY_OUTPUTINFO), command);
  }
  sections.End();
}

void ReadFax(pugi::xml_node fax, Command* command) {
  Children sections(fax);
  Children jobInfo(sections.Required(keys::KEY_JOBINFO));
  command->jobName = Text(jobInfo.Required(keys::KEY_JOBNAME), false);
  command->computer = Text(jobInfo.Required(keys::KEY_OUTPUTPC), true);
  command->senderIp = Address(jobInfo.Required(keys::KEY_SENDERIP));
  jobInfo.End();
  Children condition(sections.Required(keys::KEY_CONDITION));
  command->fileSizeKb = Integer(condition.Required(keys::KEY_FILESIZE), 1, 1'000'000);
  condition.End();
  sections.End();
}

// "faxauto" = "1" with "userno", "password", "item" and, unless the item is
// "tmp", "txdoc"; or "faxauto" = "0" alone.
void ReadFaxParams(const std::vector<const FormPart*>& params, Command* command) {
  auto& kept = command->faxParams;
  for (const FormPart* part : params) kept.emplace_back(part->name, part->data);
  auto value = [&](std::string_view name) -> const std::string* {
    for (auto& [key, text] : kept) {
      if (key == name) return &text;
    }
    return nullptr;
  };
  std::vector<std::string_view> expected{Name(keys::KEY_FAXAUTO)};
  const std::string* automatic = value(Name(keys::KEY_FAXAUTO));
  if (!automatic || (*automatic != "0" && *automatic != "1")) Refuse(kCodeBadTree, "CREATE FAX without faxauto 0 or 1");
  if (*automatic == "1") {
    expected.insert(expected.end(), {Name(keys::KEY_USERNO), Name(keys::KEY_FAXPASSWORD), Name(keys::KEY_ITEM)});
    const std::string* item = value(Name(keys::KEY_ITEM));
    auto items = pagestream::CodeTableOf(CodedField::FaxItem).keywords;
    if (!item || std::find(items.begin(), items.end(), *item) == items.end())
      Refuse(kCodeBadValue, "the fax item is missing or no keyword");
    if (*item != "tmp") {
      expected.push_back(Name(keys::KEY_TXDOC));
      const std::string* list = value(Name(keys::KEY_TXDOC));
      if (list && *list != "0" && *list != "1") Refuse(kCodeBadValue, "txdoc \"" + *list + "\"");
    }
  }
  if (kept.size() != expected.size())
    Refuse(kCodeBadTree, "CREATE FAX carries " + std::to_string(kept.size()) + " fax parameters, not " +
                             std::to_string(expected.size()));
  for (std::string_view name : expected) {
    if (!value(name)) Refuse(kCodeBadTree, "CREATE FAX lacks the parameter " + std::string(name));
  }
}

CommandName ReadJob(pugi::xml_node root, Transport transport, Command* command) {
  Children children(root);
  std::string verb = Value(children.Required(keys::KEY_COMMAND));
  std::string type = Value(children.Required(keys::KEY_TYPE));
  CommandName name;
  if (verb == "GETSTATUS" && type == "PRINT") name = CommandName::GetStatus;
  else if (verb == "CREATE" && type == "PRINT") name = CommandName::Create;
  else if (verb == "ADD" && type == "PRINT") name = CommandName::Add;
  else if (verb == "END" && type == "PRINT") name = CommandName::End;
  else if (verb == "CREATE" && type == "FAX/STRAGE") name = CommandName::CreateFax;
  else Refuse(kCodeUnknownCommand, "unknown command " + verb + " of type " + type);
  if (name == CommandName::CreateFax && !Network(transport)) Refuse(kCodeUnknownCommand, "no fax over the port");
  command->name = name;
  command->recognized = true;
  Children param(children.Required(keys::KEY_PARAM));
  children.End();
  if (name == CommandName::CreateFax) {
    ReadFax(param.Required(keys::KEY_FAX), command);
  } else {
    ReadPrint(param.Required(keys::KEY_PRINT), name, transport, command);
  }
  param.End();
  return name;
}

}  // namespace

std::string_view TargetOf(CommandName name) {
  switch (name) {
    case CommandName::GetStatus: return "GETSTATUS";
    case CommandName::Create: return "CREATE";
    case CommandName::Add: return "ADD";
    case CommandName::End: return "END";
    case CommandName::CreateFax: return "FAX";
    case CommandName::GetUserId: return "GETUSERID";
  }
  return "*";
}

std::string_view AnswerNameOf(CommandName name) {
  return name == CommandName::CreateFax ? "CREATE" : TargetOf(name);
}

std::optional<std::uint32_t> ReadServiceId(std::string_view text) {
  if (text.size() != 8) return std::nullopt;
  std::uint32_t value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

Refusal ReadCommand(std::string_view document, const std::vector<const FormPart*>& params, Transport transport,
                    Command* command) {
  *command = Command();
  try {
    pugi::xml_document xml;
    pugi::xml_parse_result parsed = xml.load_buffer(document.data(), document.size(), pugi::parse_default,
                                                    pugi::encoding_utf8);
    if (!parsed) Refuse(kCodeBadDocument, std::string("the command is not XML: ") + parsed.description());
    pugi::xml_node root = xml.document_element();
    if (!root) Refuse(kCodeBadDocument, "the command document has no element");
    std::string mode = root.attribute("mode").value();
    if (Name(keys::KEY_JOB) == root.name()) {
      if (mode != "2") Refuse(kCodeBadTree, "a job command in mode \"" + mode + "\"");
      ReadJob(root, transport, command);
    } else if (std::string_view("SERVER") == root.name()) {
      if (mode != "1") Refuse(kCodeBadTree, "a server query in mode \"" + mode + "\"");
      Children children(root);
      if (Value(children.Required(keys::KEY_COMMAND)) != "GETUSERID") Refuse(kCodeUnknownCommand, "unknown query");
      command->name = CommandName::GetUserId;
      command->recognized = true;
      children.End();
    } else {
      Refuse(kCodeBadTree, std::string("unknown root element ") + root.name());
    }
    if (command->name == CommandName::CreateFax) {
      ReadFaxParams(params, command);
    } else if (!params.empty()) {
      Refuse(kCodeBadTree, "parameter \"" + params.front()->name + "\" with " + std::string(TargetOf(command->name)));
    }
  } catch (const Refused& refused) {
    return {refused.code, refused.reason};
  }
  return {};
}

}  // namespace k460::device
