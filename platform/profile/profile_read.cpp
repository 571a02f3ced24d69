// Reading values, names and sections of INI files.
#include <optional>
#include <string>
#include <vector>

#include "platform/base/text.h"
#include "platform/profile/ini_file.h"
#include "platform/profile/profile.h"

namespace {

// One pair of enclosing quotes, double or single, is not part of the value.
std::u16string Unquote(std::u16string value) {
  if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') && value.back() == value.front())
    return value.substr(1, value.size() - 2);
  return value;
}

DWORD CopyValue(std::u16string_view value, LPWSTR buffer, DWORD size) {
  if (value.size() < size) {
    value.copy(buffer, value.size());
    buffer[value.size()] = 0;
    return static_cast<DWORD>(value.size());
  }
  value.copy(buffer, size - 1);
  buffer[size - 1] = 0;
  SetLastError(ERROR_MORE_DATA);
  return size - 1;
}

// Names each ended by a null character, the list by one more.
DWORD CopyList(const std::vector<std::u16string>& items, LPWSTR buffer, DWORD size) {
  std::u16string joined;
  for (const auto& item : items) {
    joined += item;
    joined += u'\0';
  }
  if (joined.empty()) joined = u'\0';  // an empty list is two nulls
  if (joined.size() < size) {
    joined.copy(buffer, joined.size());
    buffer[joined.size()] = 0;
    return static_cast<DWORD>(items.empty() ? 0 : joined.size());
  }
  if (size < 2) {
    buffer[0] = 0;
    SetLastError(ERROR_MORE_DATA);
    return 0;
  }
  joined.copy(buffer, size - 2);
  buffer[size - 2] = 0;
  buffer[size - 1] = 0;
  SetLastError(ERROR_MORE_DATA);
  return size - 2;
}

// The document of a profile file; a bad name reads as a missing file.
k460::IniFile Load(LPCWSTR fileName) {
  std::filesystem::path path;
  DWORD error = ERROR_SUCCESS;
  if (!k460::ProfilePath(fileName, &path, &error)) return k460::IniFile{};
  return k460::LoadIniFile(path);
}

}  // namespace

K460_API DWORD GetPrivateProfileStringW(LPCWSTR lpAppName, LPCWSTR lpKeyName, LPCWSTR lpDefault,
                                        LPWSTR lpReturnedString, DWORD nSize, LPCWSTR lpFileName) {
  if (!lpReturnedString || nSize == 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  auto lock = k460::LockProfiles();
  k460::IniFile file = Load(lpFileName);
  SetLastError(file.exists ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND);
  if (!lpAppName) return CopyList(file.document.SectionNames(), lpReturnedString, nSize);
  if (!lpKeyName) return CopyList(file.document.KeyNames(lpAppName), lpReturnedString, nSize);
  if (auto value = file.document.Value(lpAppName, lpKeyName)) return CopyValue(Unquote(*value), lpReturnedString, nSize);
  std::u16string_view fallback = k460::WideView(lpDefault);
  while (!fallback.empty() && fallback.back() == u' ') fallback.remove_suffix(1);
  SetLastError(ERROR_FILE_NOT_FOUND);
  return CopyValue(fallback, lpReturnedString, nSize);
}

K460_API UINT GetPrivateProfileIntW(LPCWSTR lpAppName, LPCWSTR lpKeyName, INT nDefault, LPCWSTR lpFileName) {
  if (!lpAppName || !lpKeyName) return static_cast<UINT>(nDefault);
  std::optional<std::u16string> value;
  {
    auto lock = k460::LockProfiles();
    value = Load(lpFileName).document.Value(lpAppName, lpKeyName);
  }
  if (!value) return static_cast<UINT>(nDefault);
  std::u16string text = Unquote(*value);
  if (text.empty()) return static_cast<UINT>(nDefault);
  std::size_t i = 0;
  bool negative = false;
  if (text[i] == u'-' || text[i] == u'+') negative = text[i++] == u'-';
  UINT number = 0;  // wraps like the original's 32-bit arithmetic
  for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) number = number * 10 + (text[i] - u'0');
  return negative ? 0u - number : number;
}

K460_API DWORD GetPrivateProfileSectionW(LPCWSTR lpAppName, LPWSTR lpReturnedString, DWORD nSize,
                                         LPCWSTR lpFileName) {
  if (!lpAppName || !lpReturnedString || nSize == 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  auto lock = k460::LockProfiles();
  k460::IniFile file = Load(lpFileName);
  SetLastError(file.exists ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND);
  return CopyList(file.document.SectionLines(lpAppName), lpReturnedString, nSize);
}
