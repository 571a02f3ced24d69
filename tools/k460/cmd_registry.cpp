// k460 registry: look at and change the registry of a machine root.
//
//   k460 registry list [KEY] [-r]         values and subkeys (-r: the whole tree below)
//   k460 registry get KEY NAME [--raw]     one value (--raw: its bytes as they are)
//   k460 registry set KEY NAME TYPE VALUE...
//   k460 registry delete KEY [NAME] [--tree]
//
// KEY begins with its hive: HKLM, HKCU, HKCR, HKU or the full names
// (HKEY_LOCAL_MACHINE, ...), e.g. "HKLM\SYSTEM\CurrentControlSet\Control\Print".
#include <cctype>
#include <cstdio>
#include <cstring>
#include <iomanip>
#include <iostream>
#include <memory>
#include <sstream>

#include "platform/base/text.h"
#include "platform/registry/registry.h"
#include "platform/registry/registry_host.h"
#include "tools/k460/commands.h"

namespace k460::tool {
namespace {

struct Hive {
  const char* shortName;
  const char* longName;
  HKEY key;
};
const Hive kHives[] = {
    {"HKCR", "HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},
    {"HKCU", "HKEY_CURRENT_USER", HKEY_CURRENT_USER},
    {"HKLM", "HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE},
    {"HKU", "HKEY_USERS", HKEY_USERS},
};

std::string ErrorText(LONG rc) {
  switch (rc) {
    case ERROR_FILE_NOT_FOUND: return "not found";
    case ERROR_ACCESS_DENIED: return "access denied";
    case ERROR_BADDB: return "the hive file is damaged";
    case ERROR_CANTWRITE: return "the hive file cannot be written";
    case ERROR_BAD_PATHNAME: return "bad key path";
    case ERROR_INVALID_PARAMETER: return "invalid name";
  }
  return "error " + std::to_string(rc);
}

// A key path split into its hive and the path below it.
struct KeyPath {
  const Hive* hive = nullptr;
  std::u16string sub;
};

bool ParseKeyPath(const std::string& text, KeyPath* path) {
  std::string head = text.substr(0, text.find('\\'));
  for (auto& h : kHives)
    if (EqualsNoCase(head, h.shortName) || EqualsNoCase(head, h.longName)) {
      path->hive = &h;
      path->sub = head.size() < text.size() ? Utf8ToUtf16(text.substr(head.size() + 1)) : u"";
      return true;
    }
  std::cerr << "k460 registry: \"" << text << "\" does not begin with HKLM, HKCU, HKCR or HKU\n";
  return false;
}

std::string Join(const KeyPath& path) {
  return std::string(path.hive->longName) + (path.sub.empty() ? "" : "\\" + Utf16ToUtf8(path.sub));
}

const char* TypeName(DWORD type) {
  switch (type) {
    case REG_NONE: return "REG_NONE";
    case REG_SZ: return "REG_SZ";
    case REG_EXPAND_SZ: return "REG_EXPAND_SZ";
    case REG_BINARY: return "REG_BINARY";
    case REG_DWORD: return "REG_DWORD";
    case REG_MULTI_SZ: return "REG_MULTI_SZ";
    case REG_QWORD: return "REG_QWORD";
  }
  return nullptr;
}

std::string Hex(const std::vector<BYTE>& data, std::size_t limit) {
  std::ostringstream out;
  for (std::size_t i = 0; i < data.size() && i < limit; ++i)
    out << (i ? " " : "") << std::hex << std::setw(2) << std::setfill('0') << int(data[i]);
  if (data.size() > limit) out << " ... (" << std::dec << data.size() << " bytes)";
  return out.str();
}

std::u16string Utf16(const std::vector<BYTE>& data) {
  std::u16string text;
  for (std::size_t i = 0; i + 1 < data.size(); i += 2)
    text.push_back(static_cast<char16_t>(data[i] | data[i + 1] << 8));
  return text;
}

std::string Quoted(std::u16string_view text) {
  std::string out = "\"";
  for (char c : Utf16ToUtf8(text)) {
    if (c == '"' || c == '\\') out += '\\';
    if (static_cast<unsigned char>(c) < 0x20) {
      char esc[8];
      std::snprintf(esc, sizeof esc, "\\x%02x", c);
      out += esc;
    } else {
      out += c;
    }
  }
  return out + "\"";
}

// The value as a person reads it; binary data beyond `limit` bytes is cut.
std::string Describe(DWORD type, const std::vector<BYTE>& data, std::size_t limit) {
  std::string name = TypeName(type) ? TypeName(type) : "type " + std::to_string(type);
  std::u16string text = Utf16(data);
  if ((type == REG_SZ || type == REG_EXPAND_SZ) && data.size() % 2 == 0) {
    while (!text.empty() && text.back() == 0) text.pop_back();
    if (text.find(u'\0') == std::u16string::npos) return name + " " + Quoted(text);
  }
  if (type == REG_MULTI_SZ && data.size() % 2 == 0) {
    std::string out = name;
    std::size_t start = 0;
    while (start < text.size() && text[start] != 0) {
      std::size_t end = text.find(u'\0', start);
      if (end == std::u16string::npos) end = text.size();
      out += " " + Quoted(std::u16string_view(text).substr(start, end - start));
      start = end + 1;
    }
    return out;
  }
  if ((type == REG_DWORD && data.size() == 4) || (type == REG_QWORD && data.size() == 8)) {
    std::uint64_t v = 0;
    for (std::size_t i = data.size(); i-- > 0;) v = v << 8 | data[i];
    std::ostringstream out;
    out << name << " " << v << " (0x" << std::hex << v << ")";
    return out.str();
  }
  return name + " [" + Hex(data, limit) + "]";
}

// Every value of an open key, with its bytes.
struct ValueEntry {
  std::u16string name;
  DWORD type;
  std::vector<BYTE> data;
};

LONG ReadValues(HKEY key, std::vector<ValueEntry>* values) {
  DWORD count = 0, maxName = 0, maxData = 0;
  LONG rc = RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, &maxName, &maxData,
                             nullptr, nullptr);
  for (DWORD i = 0; rc == ERROR_SUCCESS && i < count; ++i) {
    std::vector<WCHAR> name(maxName + 1);
    ValueEntry v;
    v.data.resize(maxData);
    DWORD nameSize = maxName + 1, dataSize = maxData;
    rc = RegEnumValueW(key, i, name.data(), &nameSize, nullptr, &v.type, v.data.data(), &dataSize);
    v.name.assign(name.data(), nameSize);
    v.data.resize(dataSize);
    values->push_back(std::move(v));
  }
  return rc == ERROR_NO_MORE_ITEMS ? ERROR_SUCCESS : rc;
}

LONG ReadSubkeys(HKEY key, std::vector<std::u16string>* names) {
  WCHAR name[256];
  for (DWORD i = 0;; ++i) {
    DWORD size = 256;
    LONG rc = RegEnumKeyExW(key, i, name, &size, nullptr, nullptr, nullptr, nullptr);
    if (rc == ERROR_NO_MORE_ITEMS) return ERROR_SUCCESS;
    if (rc != ERROR_SUCCESS) return rc;
    names->emplace_back(name, size);
  }
}

int List(const KeyPath& path, bool recursive) {
  HKEY key = nullptr;
  LONG rc = RegOpenKeyExW(path.hive->key, path.sub.c_str(), 0, KEY_READ, &key);
  std::vector<ValueEntry> values;
  std::vector<std::u16string> subkeys;
  if (rc == ERROR_SUCCESS) rc = ReadValues(key, &values);
  if (rc == ERROR_SUCCESS) rc = ReadSubkeys(key, &subkeys);
  RegCloseKey(key);
  if (rc != ERROR_SUCCESS) {
    std::cerr << "k460 registry: " << Join(path) << ": " << ErrorText(rc) << "\n";
    return 1;
  }
  std::cout << "[" << Join(path) << "]\n";
  for (auto& v : values)
    std::cout << "  " << (v.name.empty() ? "(default)" : Quoted(v.name)) << " " << Describe(v.type, v.data, 32)
              << "\n";
  if (!recursive) {
    for (auto& s : subkeys) std::cout << "  " << Utf16ToUtf8(s) << "\\\n";
    return 0;
  }
  int result = 0;
  for (auto& s : subkeys) {
    std::cout << "\n";
    result |= List(KeyPath{path.hive, path.sub.empty() ? s : path.sub + u"\\" + s}, true);
  }
  return result;
}

int Get(const KeyPath& path, const std::string& name, bool raw) {
  HKEY key = nullptr;
  std::u16string wide = Utf8ToUtf16(name);
  DWORD type = 0, size = 0;
  LONG rc = RegOpenKeyExW(path.hive->key, path.sub.c_str(), 0, KEY_READ, &key);
  if (rc == ERROR_SUCCESS) rc = RegQueryValueExW(key, wide.c_str(), nullptr, &type, nullptr, &size);
  std::vector<BYTE> data(size);
  if (rc == ERROR_SUCCESS) rc = RegQueryValueExW(key, wide.c_str(), nullptr, &type, data.data(), &size);
  RegCloseKey(key);
  if (rc != ERROR_SUCCESS) {
    std::cerr << "k460 registry: " << Join(path) << " " << Quoted(wide) << ": " << ErrorText(rc) << "\n";
    return 1;
  }
  data.resize(size);
  if (raw)
    std::cout.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
  else
    std::cout << Describe(type, data, SIZE_MAX) << "\n";
  return 0;
}

// Makes the bytes of a value from the command line's words.
bool Encode(const std::string& type, const std::vector<std::string>& words, DWORD* regType, std::vector<BYTE>* data) {
  auto text = [&](const std::string& s) {
    for (char16_t c : Utf8ToUtf16(s)) {
      data->push_back(static_cast<BYTE>(c & 0xFF));
      data->push_back(static_cast<BYTE>(c >> 8));
    }
    data->push_back(0);
    data->push_back(0);
  };
  auto number = [&](int bytes) {
    if (words.size() != 1) return false;
    char* end = nullptr;
    std::uint64_t v = std::strtoull(words[0].c_str(), &end, 0);
    if (words[0].empty() || *end) return false;
    for (int i = 0; i < bytes; ++i) data->push_back(static_cast<BYTE>(v >> (8 * i)));
    return true;
  };
  if (type == "sz" || type == "expand_sz") {
    *regType = type == "sz" ? REG_SZ : REG_EXPAND_SZ;
    if (words.size() != 1) return false;
    text(words[0]);
    return true;
  }
  if (type == "multi_sz") {
    *regType = REG_MULTI_SZ;
    for (auto& w : words) text(w);
    data->push_back(0);
    data->push_back(0);
    return true;
  }
  if (type == "dword") return *regType = REG_DWORD, number(4);
  if (type == "qword") return *regType = REG_QWORD, number(8);
  if (type == "binary" || type == "none") {
    *regType = type == "binary" ? REG_BINARY : REG_NONE;
    std::string hex;
    for (auto& w : words)
      for (char c : w)
        if (!std::isspace(static_cast<unsigned char>(c)) && c != ',') hex += c;
    if (hex.size() % 2 || hex.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) return false;
    for (std::size_t i = 0; i < hex.size(); i += 2)
      data->push_back(static_cast<BYTE>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    return true;
  }
  return false;
}

int Set(const KeyPath& path, const std::string& name, const std::string& type, const std::vector<std::string>& words) {
  DWORD regType = 0;
  std::vector<BYTE> data;
  if (!Encode(type, words, &regType, &data)) {
    std::cerr << "k460 registry: cannot make a " << type << " value of what was given\n";
    return 2;
  }
  HKEY key = nullptr;
  std::u16string wide = Utf8ToUtf16(name);
  LONG rc = RegCreateKeyExW(path.hive->key, path.sub.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE,
                            nullptr, &key, nullptr);
  if (rc == ERROR_SUCCESS)
    rc = RegSetValueExW(key, wide.c_str(), 0, regType, data.data(), static_cast<DWORD>(data.size()));
  RegCloseKey(key);
  if (rc != ERROR_SUCCESS) {
    std::cerr << "k460 registry: " << Join(path) << " " << Quoted(wide) << ": " << ErrorText(rc) << "\n";
    return 1;
  }
  return 0;
}

int Delete(const KeyPath& path, const std::vector<std::string>& names, bool tree) {
  LONG rc;
  if (!names.empty()) {
    HKEY key = nullptr;
    rc = RegOpenKeyExW(path.hive->key, path.sub.c_str(), 0, KEY_SET_VALUE, &key);
    for (std::size_t i = 0; rc == ERROR_SUCCESS && i < names.size(); ++i)
      rc = RegDeleteValueW(key, Utf8ToUtf16(names[i]).c_str());
    RegCloseKey(key);
  } else if (path.sub.empty()) {
    std::cerr << "k460 registry: a hive itself cannot be deleted\n";
    return 2;
  } else {
    rc = tree ? DeleteRegistryTree(path.hive->key, path.sub.c_str()) : RegDeleteKeyW(path.hive->key, path.sub.c_str());
  }
  if (rc != ERROR_SUCCESS) {
    std::cerr << "k460 registry: " << Join(path) << ": " << ErrorText(rc)
              << (rc == ERROR_ACCESS_DENIED && names.empty() ? " (a key with subkeys needs --tree)" : "") << "\n";
    return 1;
  }
  return 0;
}

struct Options {
  std::string key, name, type;
  std::vector<std::string> words;
  bool recursive = false, raw = false, tree = false;
};

K460_COMMAND("registry", "List, read, write and delete registry keys and values of the machine",
             [](CLI::App& app) -> std::function<int()> {
               auto o = std::make_shared<Options>();
               app.require_subcommand(1);
               auto* list = app.add_subcommand("list", "Show a key's values and subkeys (no KEY: every hive)");
               list->add_option("KEY", o->key, "Key path, e.g. HKLM\\SYSTEM\\CurrentControlSet");
               list->add_flag("-r,--recursive", o->recursive, "Show the whole tree below the key");
               auto* get = app.add_subcommand("get", "Show one value");
               get->add_option("KEY", o->key)->required();
               get->add_option("NAME", o->name, "Value name (\"\" for the default value)")->required();
               get->add_flag("--raw", o->raw, "Write the value's bytes unchanged to standard output");
               auto* set = app.add_subcommand("set", "Write a value, creating its key");
               set->add_option("KEY", o->key)->required();
               set->add_option("NAME", o->name)->required();
               set->add_option("TYPE", o->type, "sz, expand_sz, multi_sz, dword, qword, binary (hex) or none")
                   ->required()
                   ->check(CLI::IsMember({"sz", "expand_sz", "multi_sz", "dword", "qword", "binary", "none"}));
               set->add_option("VALUE", o->words, "The value; several for multi_sz");
               auto* del = app.add_subcommand("delete", "Delete values, or the key when no value is named");
               del->add_option("KEY", o->key)->required();
               del->add_option("NAME", o->words, "Values to delete");
               del->add_flag("--tree", o->tree, "Delete the key with everything below it");
               return [o, list, get, set, del]() -> int {
                 if (list->parsed() && o->key.empty()) {
                   int result = 0;
                   for (auto& h : kHives) result |= List(KeyPath{&h, u""}, o->recursive);
                   return result;
                 }
                 KeyPath path;
                 if (!ParseKeyPath(o->key, &path)) return 2;
                 if (list->parsed()) return List(path, o->recursive);
                 if (get->parsed()) return Get(path, o->name, o->raw);
                 if (set->parsed()) return Set(path, o->name, o->type, o->words);
                 if (del->parsed()) return Delete(path, o->words, o->tree);
                 return 2;
               };
             });

}  // namespace
}  // namespace k460::tool
