// ShellExecuteW: the shell's way of starting a program. Without file
// associations on this machine only programs can be opened.
#include "platform/base/internal.h"
#include "platform/base/text.h"
#include "platform/process/process_start.h"
#include "platform/process/program_files.h"

namespace {

HINSTANCE ShellResult(INT_PTR code) { return reinterpret_cast<HINSTANCE>(code); }

HINSTANCE ShellFail(INT_PTR code, DWORD error) {
  SetLastError(error);
  return ShellResult(code);
}

// The program in double quotes, so that a path with blanks stays one argument.
std::u16string CommandLineFor(std::u16string_view file, LPCWSTR parameters) {
  std::u16string line = u"\"" + std::u16string(file) + u"\"";
  if (parameters && *parameters) line += u" " + std::u16string(parameters);
  return line;
}

}  // namespace

K460_API HINSTANCE ShellExecuteW(HWND, LPCWSTR lpOperation, LPCWSTR lpFile, LPCWSTR lpParameters,
                                 LPCWSTR lpDirectory, INT nShowCmd) {
  if (k460::CallFailsSetError("ShellExecuteW", k460::Utf16ToUtf8(k460::WideView(lpFile))))
    return ShellResult(SE_ERR_FNF);
  if (!lpFile || !*lpFile) return ShellFail(SE_ERR_FNF, ERROR_FILE_NOT_FOUND);
  if (lpOperation && *lpOperation && !k460::EqualsNoCase(k460::WideView(lpOperation), u"open"))
    return ShellFail(SE_ERR_NOASSOC, ERROR_NO_ASSOCIATION);
  if (!k460::process::FindProgramFile(lpFile)) {
    std::u16string_view file(lpFile);
    bool document = file.find(u':') != std::u16string_view::npos && file.find(u"://") != std::u16string_view::npos;
    return document ? ShellFail(SE_ERR_NOASSOC, ERROR_NO_ASSOCIATION) : ShellFail(SE_ERR_FNF, ERROR_FILE_NOT_FOUND);
  }
  std::u16string line = CommandLineFor(lpFile, lpParameters);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = static_cast<WORD>(nShowCmd);
  PROCESS_INFORMATION info{};
  if (!k460::process::StartProcess("ShellExecuteW start", lpFile, line.data(), 0, nullptr, lpDirectory, &startup,
                                   &info)) {
    DWORD error = GetLastError();
    return ShellFail(error == ERROR_ACCESS_DENIED ? SE_ERR_ACCESSDENIED : SE_ERR_FNF, error);
  }
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
  return ShellResult(42);
}
