// Access tokens, the caller's pseudo handles and security descriptors. Every
// thread acts for the machine profile's user, so tokens only carry their
// kind: what matters is that a program is started with a primary token.
#include "platform/process/tokens.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

#include "platform/base/text.h"

namespace k460::process {
namespace {

BOOL Fail(DWORD error) {
  SetLastError(error);
  return FALSE;
}

bool IsThread(HANDLE handle) { return handle == kCurrentThreadHandle || LookupHandle(handle) != nullptr; }
bool IsProcess(HANDLE handle) { return handle == kCurrentProcessHandle || LookupHandle(handle) != nullptr; }

}  // namespace
}  // namespace k460::process

using namespace k460::process;

K460_API HANDLE GetCurrentThread() { return kCurrentThreadHandle; }
K460_API HANDLE GetCurrentProcess() { return kCurrentProcessHandle; }

K460_API BOOL OpenThreadToken(HANDLE ThreadHandle, DWORD DesiredAccess, BOOL, PHANDLE TokenHandle) {
  if (k460::CallFailsSetError("OpenThreadToken")) return FALSE;
  if (!TokenHandle) return Fail(ERROR_INVALID_PARAMETER);
  *TokenHandle = nullptr;
  if (!IsThread(ThreadHandle)) return Fail(ERROR_INVALID_HANDLE);
  *TokenHandle = k460::InsertHandle(
      std::make_shared<TokenObject>(TokenImpersonation, SecurityImpersonation, DesiredAccess));
  return TRUE;
}

K460_API BOOL OpenProcessToken(HANDLE ProcessHandle, DWORD DesiredAccess, PHANDLE TokenHandle) {
  if (k460::CallFailsSetError("OpenProcessToken")) return FALSE;
  if (!TokenHandle) return Fail(ERROR_INVALID_PARAMETER);
  *TokenHandle = nullptr;
  if (!IsProcess(ProcessHandle)) return Fail(ERROR_INVALID_HANDLE);
  *TokenHandle = k460::InsertHandle(std::make_shared<TokenObject>(TokenPrimary, SecurityImpersonation, DesiredAccess));
  return TRUE;
}

K460_API BOOL DuplicateTokenEx(HANDLE hExistingToken, DWORD dwDesiredAccess, LPSECURITY_ATTRIBUTES,
                               SECURITY_IMPERSONATION_LEVEL ImpersonationLevel, TOKEN_TYPE TokenType,
                               PHANDLE phNewToken) {
  if (k460::CallFailsSetError("DuplicateTokenEx")) return FALSE;
  if (!phNewToken) return Fail(ERROR_INVALID_PARAMETER);
  *phNewToken = nullptr;
  auto existing = k460::LookupHandleAs<TokenObject>(hExistingToken);
  if (!existing) return Fail(ERROR_INVALID_HANDLE);
  if (TokenType != TokenPrimary && TokenType != TokenImpersonation) return Fail(ERROR_INVALID_PARAMETER);
  if (ImpersonationLevel < SecurityAnonymous || ImpersonationLevel > SecurityDelegation)
    return Fail(ERROR_INVALID_PARAMETER);
  // A token cannot be raised above the level it was given.
  if (existing->type == TokenImpersonation && ImpersonationLevel > existing->level)
    return Fail(ERROR_BAD_IMPERSONATION_LEVEL);
  DWORD access = dwDesiredAccess == MAXIMUM_ALLOWED || dwDesiredAccess == 0 ? existing->access : dwDesiredAccess;
  *phNewToken = k460::InsertHandle(std::make_shared<TokenObject>(TokenType, ImpersonationLevel, access));
  return TRUE;
}

K460_API BOOL InitializeSecurityDescriptor(LPVOID pSecurityDescriptor, DWORD dwRevision) {
  if (!pSecurityDescriptor) return Fail(ERROR_INVALID_PARAMETER);
  if (dwRevision != SECURITY_DESCRIPTOR_REVISION) return Fail(ERROR_UNKNOWN_REVISION);
  std::memset(pSecurityDescriptor, 0, sizeof(SECURITY_DESCRIPTOR));
  static_cast<SECURITY_DESCRIPTOR*>(pSecurityDescriptor)->Revision = SECURITY_DESCRIPTOR_REVISION;
  return TRUE;
}

K460_API BOOL SetSecurityDescriptorDacl(LPVOID pSecurityDescriptor, BOOL bDaclPresent, PACL pDacl,
                                        BOOL bDaclDefaulted) {
  auto* sd = static_cast<SECURITY_DESCRIPTOR*>(pSecurityDescriptor);
  if (!sd) return Fail(ERROR_INVALID_PARAMETER);
  if (sd->Revision != SECURITY_DESCRIPTOR_REVISION) return Fail(ERROR_UNKNOWN_REVISION);
  sd->Control &= static_cast<WORD>(~(SE_DACL_PRESENT | SE_DACL_DEFAULTED));
  sd->Dacl = nullptr;
  if (bDaclPresent) {
    sd->Control |= SE_DACL_PRESENT;
    sd->Dacl = pDacl;
    if (bDaclDefaulted) sd->Control |= SE_DACL_DEFAULTED;
  }
  return TRUE;
}

K460_API BOOL InitializeAcl(PACL pAcl, DWORD nAclLength, DWORD dwAclRevision) {
  if (!pAcl || nAclLength < sizeof(ACL) || nAclLength > 0xFFFF) return Fail(ERROR_INSUFFICIENT_BUFFER);
  if (dwAclRevision != ACL_REVISION) return Fail(ERROR_INVALID_PARAMETER);
  *pAcl = ACL{static_cast<BYTE>(dwAclRevision), 0, static_cast<WORD>(nAclLength), 0, 0};
  return TRUE;
}

K460_API BOOL SetFileSecurityW(LPCWSTR lpFileName, DWORD SecurityInformation, LPVOID pSecurityDescriptor) {
  if (k460::CallFailsSetError("SetFileSecurityW", k460::Utf16ToUtf8(k460::WideView(lpFileName)))) return FALSE;
  auto* sd = static_cast<SECURITY_DESCRIPTOR*>(pSecurityDescriptor);
  if (!lpFileName || !sd || sd->Revision != SECURITY_DESCRIPTOR_REVISION) return Fail(ERROR_INVALID_PARAMETER);
  if (!(SecurityInformation & DACL_SECURITY_INFORMATION)) return TRUE;
  auto path = k460::HostPath(lpFileName);
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return Fail(ERROR_FILE_NOT_FOUND);
  if (st.st_uid != ::getuid()) return Fail(ERROR_ACCESS_DENIED);
  mode_t mode = S_ISDIR(st.st_mode) ? 0700 : (st.st_mode & 0700);
  if (::chmod(path.c_str(), mode) != 0) return Fail(ERROR_ACCESS_DENIED);
  return TRUE;
}
