#include "platform/spooler/regkey.h"

#include "platform/base/text.h"
#include "platform/registry/registry_host.h"

namespace k460 {

namespace {
std::u16string Z(std::u16string_view s) { return std::u16string(s); }
}  // namespace

RegKey& RegKey::operator=(RegKey&& other) noexcept {
  if (this != &other) {
    if (key_) RegCloseKey(key_);
    key_ = other.key_;
    other.key_ = nullptr;
    snapshot_ = std::move(other.snapshot_);
    other.snapshot_.reset();
  }
  return *this;
}

RegKey::~RegKey() {
  if (key_) RegCloseKey(key_);
}

RegKey RegKey::Open(HKEY root, std::u16string_view path, REGSAM access) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(root, Z(path).c_str(), 0, access, &key) != ERROR_SUCCESS) return RegKey();
  return RegKey(key);
}

RegKey RegKey::Create(HKEY root, std::u16string_view path, REGSAM access) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(root, Z(path).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr, &key, nullptr) !=
      ERROR_SUCCESS)
    return RegKey();
  return RegKey(key);
}

LONG RegKey::DeleteTree(HKEY root, std::u16string_view path) {
  if (path.empty()) return ERROR_INVALID_PARAMETER;  // never the root itself
  return DeleteRegistryTree(root, Z(path).c_str());
}

bool RegKey::Snapshot() {
  snapshot_.reset();
  if (!key_) return false;
  std::vector<RegistryValue> values;
  if (ReadRegistryValues(key_, &values) != ERROR_SUCCESS) return false;
  snapshot_ = std::move(values);
  return true;
}

std::optional<std::pair<DWORD, std::vector<BYTE>>> RegKey::GetRaw(std::u16string_view name) const {
  if (!key_) return std::nullopt;
  if (snapshot_) {
    for (const auto& value : *snapshot_)
      if (EqualsNoCase(value.name, name)) return std::make_pair(value.type, value.data);
    return std::nullopt;
  }
  std::u16string n = Z(name);
  DWORD type = 0, size = 0;
  if (RegQueryValueExW(key_, n.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return std::nullopt;
  std::vector<BYTE> data(size);
  for (;;) {
    size = static_cast<DWORD>(data.size());
    LONG rc = RegQueryValueExW(key_, n.c_str(), nullptr, &type, data.empty() ? nullptr : data.data(), &size);
    if (rc == ERROR_MORE_DATA) {
      data.resize(size);
      continue;
    }
    if (rc != ERROR_SUCCESS) return std::nullopt;
    data.resize(size);
    return std::make_pair(type, std::move(data));
  }
}

std::optional<DWORD> RegKey::GetDword(std::u16string_view name) const {
  auto raw = GetRaw(name);
  if (!raw || raw->first != REG_DWORD || raw->second.size() != 4) return std::nullopt;
  const auto& b = raw->second;
  return static_cast<DWORD>(b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<DWORD>(b[3]) << 24));
}

static std::u16string WideFromBytes(const std::vector<BYTE>& b) {
  std::u16string s(b.size() / 2, u'\0');
  for (std::size_t i = 0; i < s.size(); ++i) s[i] = static_cast<char16_t>(b[2 * i] | (b[2 * i + 1] << 8));
  return s;
}

std::optional<std::u16string> RegKey::GetString(std::u16string_view name) const {
  auto raw = GetRaw(name);
  if (!raw || (raw->first != REG_SZ && raw->first != REG_EXPAND_SZ)) return std::nullopt;
  std::u16string s = WideFromBytes(raw->second);
  if (auto nul = s.find(u'\0'); nul != std::u16string::npos) s.resize(nul);
  return s;
}

std::optional<std::vector<std::u16string>> RegKey::GetMultiString(std::u16string_view name) const {
  auto raw = GetRaw(name);
  if (!raw || raw->first != REG_MULTI_SZ) return std::nullopt;
  std::u16string all = WideFromBytes(raw->second);
  std::vector<std::u16string> out;
  std::size_t i = 0;
  while (i < all.size()) {
    std::size_t end = all.find(u'\0', i);
    if (end == std::u16string::npos) end = all.size();
    if (end == i) break;
    out.push_back(all.substr(i, end - i));
    i = end + 1;
  }
  return out;
}

LONG RegKey::SetRaw(std::u16string_view name, DWORD type, const void* data, DWORD size) const {
  snapshot_.reset();
  if (!key_) return ERROR_INVALID_HANDLE;
  return RegSetValueExW(key_, Z(name).c_str(), 0, type, static_cast<const BYTE*>(data), size);
}

LONG RegKey::SetDword(std::u16string_view name, DWORD value) const {
  BYTE b[4] = {static_cast<BYTE>(value), static_cast<BYTE>(value >> 8), static_cast<BYTE>(value >> 16),
               static_cast<BYTE>(value >> 24)};
  return SetRaw(name, REG_DWORD, b, 4);
}

static std::vector<BYTE> BytesFromWide(std::u16string_view s) {
  std::vector<BYTE> b;
  b.reserve(s.size() * 2);
  for (char16_t c : s) {
    b.push_back(static_cast<BYTE>(c));
    b.push_back(static_cast<BYTE>(c >> 8));
  }
  return b;
}

LONG RegKey::SetString(std::u16string_view name, std::u16string_view value) const {
  auto b = BytesFromWide(std::u16string(value) + u'\0');
  return SetRaw(name, REG_SZ, b.data(), static_cast<DWORD>(b.size()));
}

LONG RegKey::SetMultiString(std::u16string_view name, const std::vector<std::u16string>& values) const {
  std::u16string all;
  for (const auto& v : values) all += v + u'\0';
  all += u'\0';
  auto b = BytesFromWide(all);
  return SetRaw(name, REG_MULTI_SZ, b.data(), static_cast<DWORD>(b.size()));
}

LONG RegKey::DeleteValue(std::u16string_view name) const {
  snapshot_.reset();
  if (!key_) return ERROR_INVALID_HANDLE;
  return RegDeleteValueW(key_, Z(name).c_str());
}

std::vector<std::u16string> RegKey::SubKeys() const {
  std::vector<std::u16string> out;
  if (!key_) return out;
  for (DWORD i = 0;; ++i) {
    WCHAR name[256];
    DWORD len = 256;
    if (RegEnumKeyExW(key_, i, name, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    out.emplace_back(name, len);
  }
  return out;
}

std::vector<std::u16string> RegKey::ValueNames() const {
  std::vector<std::u16string> out;
  if (!key_) return out;
  for (DWORD i = 0;; ++i) {
    WCHAR name[16384];
    DWORD len = 16384;
    if (RegEnumValueW(key_, i, name, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    out.emplace_back(name, len);
  }
  return out;
}

}  // namespace k460
