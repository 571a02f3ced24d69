// Writing values and sections of INI files.
#include <string>
#include <vector>

#include "platform/base/internal.h"
#include "platform/base/text.h"
#include "platform/profile/ini_file.h"
#include "platform/profile/profile.h"

namespace {

BOOL Fail(DWORD error) {
  SetLastError(error);
  return FALSE;
}

// Loads the file, lets `edit` change it and saves it when `edit` says it
// changed. Deleting from a file that does not exist leaves no file behind.
template <class Edit>
BOOL EditProfile(LPCWSTR fileName, Edit edit) {
  std::filesystem::path path;
  DWORD error = ERROR_SUCCESS;
  if (!k460::ProfilePath(fileName, &path, &error)) return Fail(error);
  auto lock = k460::LockProfiles();
  k460::IniFile file = k460::LoadIniFile(path);
  if (!edit(file.document)) return TRUE;
  error = k460::SaveIniFile(file);
  return error == ERROR_SUCCESS ? TRUE : Fail(error);
}

}  // namespace

K460_API BOOL WritePrivateProfileStringW(LPCWSTR lpAppName, LPCWSTR lpKeyName, LPCWSTR lpString,
                                         LPCWSTR lpFileName) {
  // All three null asks to write cached changes out; nothing is ever cached.
  if (!lpAppName && !lpKeyName && !lpString) return TRUE;
  if (!lpAppName) return Fail(ERROR_INVALID_PARAMETER);
  if (k460::CallFailsSetError("WritePrivateProfileStringW", k460::Utf16ToUtf8(k460::WideView(lpFileName))))
    return FALSE;
  return EditProfile(lpFileName, [&](k460::IniDocument& document) {
    if (!lpKeyName) return document.RemoveSection(lpAppName);
    if (!lpString) return document.RemoveKey(lpAppName, lpKeyName);
    document.Set(lpAppName, lpKeyName, lpString);
    return true;
  });
}

K460_API BOOL WritePrivateProfileSectionW(LPCWSTR lpAppName, LPCWSTR lpString, LPCWSTR lpFileName) {
  if (!lpAppName) return Fail(ERROR_INVALID_PARAMETER);
  if (k460::CallFailsSetError("WritePrivateProfileSectionW", k460::Utf16ToUtf8(k460::WideView(lpFileName))))
    return FALSE;
  return EditProfile(lpFileName, [&](k460::IniDocument& document) {
    if (!lpString) return document.RemoveSection(lpAppName);
    std::vector<std::u16string> lines;
    for (LPCWSTR p = lpString; *p; p += lines.back().size() + 1) lines.emplace_back(p);
    document.ReplaceSection(lpAppName, lines);
    return true;
  });
}
