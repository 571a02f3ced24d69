// The machine's well-known folders.
#include "platform/base/internal.h"
#include "platform/files/file_paths.h"
#include "platform/files/files.h"
#include "platform/files/standard_folders.h"

K460_API UINT GetSystemDirectoryW(LPWSTR lpBuffer, UINT uSize) {
  k460::EnsureStandardFolders();
  return k460::CopyOutString(k460::SystemDirectory(), lpBuffer, uSize);
}

K460_API UINT GetWindowsDirectoryW(LPWSTR lpBuffer, UINT uSize) {
  k460::EnsureStandardFolders();
  return k460::CopyOutString(k460::WindowsDirectory(), lpBuffer, uSize);
}

K460_API BOOL GetAllUsersProfileDirectoryW(LPWSTR lpProfileDir, LPDWORD lpcchSize) {
  if (!lpcchSize) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  std::u16string folder = k460::AllUsersDirectory();
  k460::EnsureFolder(folder);
  DWORD needed = static_cast<DWORD>(folder.size() + 1);
  bool fits = lpProfileDir && *lpcchSize >= needed;
  *lpcchSize = needed;
  if (!fits) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
  }
  k460::CopyOutString(folder, lpProfileDir, needed);
  return TRUE;
}

K460_API HRESULT SHGetFolderPathW(HWND /*hwnd*/, int csidl, HANDLE /*hToken*/, DWORD dwFlags, LPWSTR pszPath) {
  if (!pszPath) return E_INVALIDARG;
  pszPath[0] = 0;
  auto folder = k460::KnownFolderPath(csidl);
  if (!folder || dwFlags > SHGFP_TYPE_DEFAULT) return E_INVALIDARG;
  if (folder->size() >= MAX_PATH || !k460::EnsureFolder(*folder)) return E_FAIL;
  k460::CopyOutString(*folder, pszPath, MAX_PATH);
  return S_OK;
}
