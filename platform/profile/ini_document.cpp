// Parsing, querying and editing the lines of an INI file.
#include "platform/profile/ini_document.h"

#include "platform/base/text.h"

namespace k460 {
namespace {

constexpr std::size_t npos = std::u16string::npos;

std::u16string_view Trim(std::u16string_view s) {
  constexpr std::u16string_view kBlanks = u" \t\r";
  std::size_t first = s.find_first_not_of(kBlanks);
  if (first == npos) return {};
  std::size_t last = s.find_last_not_of(kBlanks);
  return s.substr(first, last - first + 1);
}

bool Contains(const std::vector<std::u16string>& names, std::u16string_view name) {
  for (const auto& n : names)
    if (EqualsNoCase(n, name)) return true;
  return false;
}

}  // namespace

IniDocument::Line IniDocument::ParseLine(std::u16string_view text) {
  Line line{Kind::Other, std::u16string(text), {}, {}};
  std::u16string_view body = Trim(text);
  if (!body.empty() && body.front() == u'[') {
    std::size_t close = body.find(u']');
    line.kind = Kind::Section;
    line.name = Trim(body.substr(1, close == npos ? npos : close - 1));
  } else if (!body.empty() && body.front() != u';' && body.find(u'=') != npos) {
    std::size_t eq = body.find(u'=');
    line.kind = Kind::Entry;
    line.name = Trim(body.substr(0, eq));
    line.value = Trim(body.substr(eq + 1));
  }
  return line;
}

IniDocument IniDocument::Parse(std::u16string_view text) {
  IniDocument document;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find_first_of(u"\r\n", start);
    if (end == npos) end = text.size();
    document.lines_.push_back(ParseLine(text.substr(start, end - start)));
    start = end;
    if (start < text.size() && text[start] == u'\r') ++start;
    if (start < text.size() && text[start] == u'\n') ++start;
  }
  return document;
}

std::u16string IniDocument::Serialize() const {
  std::u16string out;
  for (const auto& line : lines_) {
    out += line.text;
    out += u"\r\n";
  }
  return out;
}

std::size_t IniDocument::FindSection(std::u16string_view section) const {
  for (std::size_t i = 0; i < lines_.size(); ++i)
    if (lines_[i].kind == Kind::Section && EqualsNoCase(lines_[i].name, section)) return i;
  return npos;
}

std::size_t IniDocument::SectionEnd(std::size_t header) const {
  std::size_t i = header + 1;
  while (i < lines_.size() && lines_[i].kind != Kind::Section) ++i;
  return i;
}

std::vector<std::u16string> IniDocument::SectionNames() const {
  std::vector<std::u16string> names;
  for (const auto& line : lines_)
    if (line.kind == Kind::Section && !Contains(names, line.name)) names.push_back(line.name);
  return names;
}

// A section written twice counts as one: its parts are read in file order.
std::vector<std::u16string> IniDocument::KeyNames(std::u16string_view section) const {
  std::vector<std::u16string> names;
  bool inside = false;
  for (const auto& line : lines_) {
    if (line.kind == Kind::Section) inside = EqualsNoCase(line.name, section);
    else if (inside && line.kind == Kind::Entry && !Contains(names, line.name)) names.push_back(line.name);
  }
  return names;
}

std::optional<std::u16string> IniDocument::Value(std::u16string_view section, std::u16string_view key) const {
  bool inside = false;
  for (const auto& line : lines_) {
    if (line.kind == Kind::Section) inside = EqualsNoCase(line.name, section);
    else if (inside && line.kind == Kind::Entry && EqualsNoCase(line.name, key)) return line.value;
  }
  return std::nullopt;
}

std::vector<std::u16string> IniDocument::SectionLines(std::u16string_view section) const {
  std::vector<std::u16string> out;
  bool inside = false;
  for (const auto& line : lines_) {
    if (line.kind == Kind::Section) inside = EqualsNoCase(line.name, section);
    else if (inside && line.kind == Kind::Entry) out.push_back(line.name + u"=" + line.value);
  }
  return out;
}

std::size_t IniDocument::AppendSection(std::u16string_view section) {
  if (!lines_.empty() && !Trim(lines_.back().text).empty()) lines_.push_back(ParseLine(u""));
  lines_.push_back(ParseLine(u"[" + std::u16string(section) + u"]"));
  return lines_.size() - 1;
}

void IniDocument::Set(std::u16string_view section, std::u16string_view key, std::u16string_view value) {
  bool inside = false;
  for (auto& line : lines_) {
    if (line.kind == Kind::Section) inside = EqualsNoCase(line.name, section);
    else if (inside && line.kind == Kind::Entry && EqualsNoCase(line.name, key)) {
      line = ParseLine(line.name + u"=" + std::u16string(value));
      return;
    }
  }
  std::size_t header = FindSection(section);
  if (header == npos) header = AppendSection(section);
  // After the section's last entry, so that comments before the next
  // section stay with it.
  std::size_t at = header + 1;
  for (std::size_t i = header + 1; i < SectionEnd(header); ++i)
    if (lines_[i].kind == Kind::Entry) at = i + 1;
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at),
                ParseLine(std::u16string(key) + u"=" + std::u16string(value)));
}

bool IniDocument::RemoveKey(std::u16string_view section, std::u16string_view key) {
  bool inside = false, removed = false;
  for (std::size_t i = 0; i < lines_.size();) {
    const Line& line = lines_[i];
    if (line.kind == Kind::Section) inside = EqualsNoCase(line.name, section);
    if (inside && line.kind == Kind::Entry && EqualsNoCase(line.name, key)) {
      lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(i));
      removed = true;
    } else {
      ++i;
    }
  }
  return removed;
}

bool IniDocument::RemoveSection(std::u16string_view section) {
  bool removed = false;
  for (std::size_t header = FindSection(section); header != npos; header = FindSection(section)) {
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(header),
                 lines_.begin() + static_cast<std::ptrdiff_t>(SectionEnd(header)));
    removed = true;
  }
  return removed;
}

void IniDocument::ReplaceSection(std::u16string_view section, const std::vector<std::u16string>& lines) {
  std::size_t header = FindSection(section);
  if (header == npos) {
    header = AppendSection(section);
  } else {
    // Entries of the section go, in every part of it; comments stay.
    bool inside = false;
    for (std::size_t i = 0; i < lines_.size();) {
      if (lines_[i].kind == Kind::Section) inside = EqualsNoCase(lines_[i].name, section);
      if (inside && lines_[i].kind == Kind::Entry)
        lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(i));
      else
        ++i;
    }
  }
  std::size_t at = header + 1;
  for (const auto& text : lines) lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at++), ParseLine(text));
}

}  // namespace k460
