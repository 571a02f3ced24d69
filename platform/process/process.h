// Processes and what they show to a person. Nothing is drawn: every message
// box is written to the machine's message log and answered by the policy
// that the host or test has set (by default, the box's default button).
#pragma once

#include <cstddef>

#include "platform/base/base.h"


// ---- Message boxes -------------------------------------------------------------
// Buttons.
inline constexpr UINT MB_OK = 0x00000000;
inline constexpr UINT MB_OKCANCEL = 0x00000001;
inline constexpr UINT MB_ABORTRETRYIGNORE = 0x00000002;
inline constexpr UINT MB_YESNOCANCEL = 0x00000003;
inline constexpr UINT MB_YESNO = 0x00000004;
inline constexpr UINT MB_RETRYCANCEL = 0x00000005;
inline constexpr UINT MB_TYPEMASK = 0x0000000F;
// Icons.
inline constexpr UINT MB_ICONHAND = 0x00000010;
inline constexpr UINT MB_ICONERROR = MB_ICONHAND;
inline constexpr UINT MB_ICONSTOP = MB_ICONHAND;
inline constexpr UINT MB_ICONQUESTION = 0x00000020;
inline constexpr UINT MB_ICONEXCLAMATION = 0x00000030;
inline constexpr UINT MB_ICONWARNING = MB_ICONEXCLAMATION;
inline constexpr UINT MB_ICONASTERISK = 0x00000040;
inline constexpr UINT MB_ICONINFORMATION = MB_ICONASTERISK;
inline constexpr UINT MB_ICONMASK = 0x000000F0;
// Default button (the first unless one of these names another).
inline constexpr UINT MB_DEFBUTTON1 = 0x00000000;
inline constexpr UINT MB_DEFBUTTON2 = 0x00000100;
inline constexpr UINT MB_DEFBUTTON3 = 0x00000200;
inline constexpr UINT MB_DEFMASK = 0x00000F00;
// Modality and placement.
inline constexpr UINT MB_APPLMODAL = 0x00000000;
inline constexpr UINT MB_SYSTEMMODAL = 0x00001000;
inline constexpr UINT MB_TASKMODAL = 0x00002000;
inline constexpr UINT MB_MODEMASK = 0x00003000;
inline constexpr UINT MB_SETFOREGROUND = 0x00010000;
inline constexpr UINT MB_TOPMOST = 0x00040000;
inline constexpr UINT MB_SERVICE_NOTIFICATION = 0x00200000;

// Answers.
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDABORT = 3;
inline constexpr int IDRETRY = 4;
inline constexpr int IDIGNORE = 5;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;

// Answers with the button the person chose, or 0 (last error set) for an
// unknown button set. A null caption reads "Error", as on the original system.
K460_API int MessageBoxW(HWND hWnd, LPCWSTR lpText, LPCWSTR lpCaption, UINT uType);

// ---- Errors of processes, tokens and pipes -----------------------------------
inline constexpr DWORD ERROR_NO_TOKEN = 1008;
inline constexpr DWORD ERROR_BAD_IMPERSONATION_LEVEL = 1346;
inline constexpr DWORD ERROR_BAD_TOKEN_TYPE = 1349;
inline constexpr DWORD ERROR_PIPE_LISTENING = 536;
inline constexpr DWORD ERROR_UNKNOWN_REVISION = 1305;
inline constexpr DWORD ERROR_NO_ASSOCIATION = 1155;

// ---- The calling thread and process --------------------------------------------
// Pseudo handles that stand for the caller wherever a thread or process
// handle is taken; closing them does nothing.
K460_API HANDLE GetCurrentThread();
K460_API HANDLE GetCurrentProcess();

// ---- Access tokens ---------------------------------------------------------------
// A token names the account a thread or process acts for. On this machine
// every thread acts for the machine profile's user (the spooler stand-in
// runs its clients' calls as that user), so a thread always has a token,
// and every program started with one runs as the host user.
inline constexpr DWORD TOKEN_ASSIGN_PRIMARY = 0x0001;
inline constexpr DWORD TOKEN_DUPLICATE = 0x0002;
inline constexpr DWORD TOKEN_IMPERSONATE = 0x0004;
inline constexpr DWORD TOKEN_QUERY = 0x0008;
inline constexpr DWORD TOKEN_ADJUST_DEFAULT = 0x0080;
inline constexpr DWORD TOKEN_ADJUST_SESSIONID = 0x0100;
inline constexpr DWORD TOKEN_ALL_ACCESS = 0x000F01FF;
inline constexpr DWORD MAXIMUM_ALLOWED = 0x02000000;

enum SECURITY_IMPERSONATION_LEVEL : int {
  SecurityAnonymous = 0,
  SecurityIdentification = 1,
  SecurityImpersonation = 2,
  SecurityDelegation = 3,
};
enum TOKEN_TYPE : int {
  TokenPrimary = 1,
  TokenImpersonation = 2,
};

K460_API BOOL OpenThreadToken(HANDLE ThreadHandle, DWORD DesiredAccess, BOOL OpenAsSelf, PHANDLE TokenHandle);
K460_API BOOL OpenProcessToken(HANDLE ProcessHandle, DWORD DesiredAccess, PHANDLE TokenHandle);
K460_API BOOL DuplicateTokenEx(HANDLE hExistingToken, DWORD dwDesiredAccess, LPSECURITY_ATTRIBUTES lpTokenAttributes,
                               SECURITY_IMPERSONATION_LEVEL ImpersonationLevel, TOKEN_TYPE TokenType,
                               PHANDLE phNewToken);

// ---- Security descriptors ----------------------------------------------------------
// What callers build to hand to CreateNamedPipeW and SetFileSecurityW. Host
// permissions cannot express Windows access lists, and the platform never
// widens access for them: every program of this machine runs as the host
// user, so pipes and secured files are reachable by that user only,
// whatever the descriptor grants (a null DACL included).
struct ACL {
  BYTE AclRevision;
  BYTE Sbz1;
  WORD AclSize;
  WORD AceCount;
  WORD Sbz2;
};
static_assert(sizeof(ACL) == 8 && offsetof(ACL, AclSize) == 2 && offsetof(ACL, AceCount) == 4);
using PACL = ACL*;
struct SECURITY_DESCRIPTOR {
  BYTE Revision;
  BYTE Sbz1;
  WORD Control;
  PVOID Owner;
  PVOID Group;
  PACL Sacl;
  PACL Dacl;
};
static_assert(sizeof(void*) != 8 || sizeof(SECURITY_DESCRIPTOR) == 40);
static_assert(offsetof(SECURITY_DESCRIPTOR, Control) == 2 && offsetof(SECURITY_DESCRIPTOR, Owner) == sizeof(void*));
inline constexpr DWORD SECURITY_DESCRIPTOR_REVISION = 1;
inline constexpr DWORD ACL_REVISION = 2;
inline constexpr WORD SE_DACL_PRESENT = 0x0004;
inline constexpr WORD SE_DACL_DEFAULTED = 0x0008;
inline constexpr DWORD DACL_SECURITY_INFORMATION = 0x00000004;

K460_API BOOL InitializeSecurityDescriptor(LPVOID pSecurityDescriptor, DWORD dwRevision);
K460_API BOOL SetSecurityDescriptorDacl(LPVOID pSecurityDescriptor, BOOL bDaclPresent, PACL pDacl,
                                        BOOL bDaclDefaulted);
// An access list without entries: nobody but the owner.
K460_API BOOL InitializeAcl(PACL pAcl, DWORD nAclLength, DWORD dwAclRevision);
// With DACL_SECURITY_INFORMATION: the file or folder becomes reachable by
// its owner only (the host user), as said above.
K460_API BOOL SetFileSecurityW(LPCWSTR lpFileName, DWORD SecurityInformation, LPVOID pSecurityDescriptor);

// ---- Processes ---------------------------------------------------------------------
// Programs are started from the machine: a Windows path names the program
// file inside the root ("C:\Windows\System32\qtxweb.exe" is
// <root>/drive_c/Windows/System32/qtxweb.exe, or the same name without
// ".exe"); a program of the system directory (or named without a folder)
// that is not installed there is the platform's stand-in program of that
// name ("qtxweb"), found where the loader finds libraries: K460_LIBPATH and
// beside libk460platform.so. Nothing else of the host is started. The
// command line is split by the system's rules; the program gets the machine
// root in K460_ROOT. A process handle (and its thread handle) is signalled
// when the program ends; WaitForSingleObject waits for it.
inline constexpr DWORD CREATE_NEW_CONSOLE = 0x00000010;
inline constexpr DWORD NORMAL_PRIORITY_CLASS = 0x00000020;
inline constexpr DWORD CREATE_UNICODE_ENVIRONMENT = 0x00000400;
inline constexpr DWORD CREATE_NO_WINDOW = 0x08000000;
inline constexpr DWORD DETACHED_PROCESS = 0x00000008;

inline constexpr DWORD STARTF_USESHOWWINDOW = 0x00000001;
inline constexpr WORD SW_HIDE = 0;
inline constexpr WORD SW_SHOWNORMAL = 1;
inline constexpr WORD SW_NORMAL = 1;
inline constexpr WORD SW_SHOW = 5;

struct STARTUPINFOW {
  DWORD cb;
  LPWSTR lpReserved;
  LPWSTR lpDesktop;
  LPWSTR lpTitle;
  DWORD dwX;
  DWORD dwY;
  DWORD dwXSize;
  DWORD dwYSize;
  DWORD dwXCountChars;
  DWORD dwYCountChars;
  DWORD dwFillAttribute;
  DWORD dwFlags;
  WORD wShowWindow;
  WORD cbReserved2;
  LPBYTE lpReserved2;
  HANDLE hStdInput;
  HANDLE hStdOutput;
  HANDLE hStdError;
};
using LPSTARTUPINFOW = STARTUPINFOW*;
static_assert(sizeof(void*) != 8 || sizeof(STARTUPINFOW) == 104);
static_assert(sizeof(void*) != 8 || (offsetof(STARTUPINFOW, dwFlags) == 60 && offsetof(STARTUPINFOW, wShowWindow) == 64 &&
                                     offsetof(STARTUPINFOW, hStdInput) == 80));

struct PROCESS_INFORMATION {
  HANDLE hProcess;
  HANDLE hThread;
  DWORD dwProcessId;
  DWORD dwThreadId;
};
using LPPROCESS_INFORMATION = PROCESS_INFORMATION*;
static_assert(sizeof(void*) != 8 || sizeof(PROCESS_INFORMATION) == 24);

K460_API BOOL CreateProcessW(LPCWSTR lpApplicationName, LPWSTR lpCommandLine,
                             LPSECURITY_ATTRIBUTES lpProcessAttributes, LPSECURITY_ATTRIBUTES lpThreadAttributes,
                             BOOL bInheritHandles, DWORD dwCreationFlags, LPVOID lpEnvironment,
                             LPCWSTR lpCurrentDirectory, LPSTARTUPINFOW lpStartupInfo,
                             LPPROCESS_INFORMATION lpProcessInformation);
// The same, for the account of a primary token (ERROR_BAD_TOKEN_TYPE for an
// impersonation token).
K460_API BOOL CreateProcessAsUserW(HANDLE hToken, LPCWSTR lpApplicationName, LPWSTR lpCommandLine,
                                   LPSECURITY_ATTRIBUTES lpProcessAttributes,
                                   LPSECURITY_ATTRIBUTES lpThreadAttributes, BOOL bInheritHandles,
                                   DWORD dwCreationFlags, LPVOID lpEnvironment, LPCWSTR lpCurrentDirectory,
                                   LPSTARTUPINFOW lpStartupInfo, LPPROCESS_INFORMATION lpProcessInformation);
// STILL_ACTIVE while the program runs; its exit status after. A program
// ended by a signal exits with 0xC0000000 | the signal number.
K460_API BOOL GetExitCodeProcess(HANDLE hProcess, LPDWORD lpExitCode);
K460_API DWORD GetProcessId(HANDLE Process);

// Starts a program the way CreateProcessW finds it, with lpParameters as
// its arguments. Verbs: none or "open"; there are no file associations, so
// a document or an address cannot be opened. Returns a value above 32 on
// success, else SE_ERR_* (with the last error set).
inline constexpr INT_PTR SE_ERR_FNF = 2;
inline constexpr INT_PTR SE_ERR_ACCESSDENIED = 5;
inline constexpr INT_PTR SE_ERR_NOASSOC = 31;
K460_API HINSTANCE ShellExecuteW(HWND hwnd, LPCWSTR lpOperation, LPCWSTR lpFile, LPCWSTR lpParameters,
                                 LPCWSTR lpDirectory, INT nShowCmd);

// ---- Named pipes -----------------------------------------------------------------------
// "\\.\pipe\name" (names compare without regard to case) is a local socket
// in <root>/pipes/, a folder only the host user can enter; message pipes are
// sequenced-packet sockets, byte pipes stream sockets, so the two ends may
// live in different processes of the machine. The server makes instances
// with CreateNamedPipeW and waits for a client with ConnectNamedPipe; a
// client opens the name with CreateFileW; both use ReadFile and WriteFile.
// Asynchronous input and output is not offered (an OVERLAPPED argument is
// refused with ERROR_INVALID_PARAMETER); PIPE_NOWAIT serves callers that
// must not block. A client may connect before the server waits for it.
inline constexpr DWORD PIPE_ACCESS_INBOUND = 0x00000001;
inline constexpr DWORD PIPE_ACCESS_OUTBOUND = 0x00000002;
inline constexpr DWORD PIPE_ACCESS_DUPLEX = 0x00000003;
inline constexpr DWORD FILE_FLAG_FIRST_PIPE_INSTANCE = 0x00080000;

inline constexpr DWORD PIPE_TYPE_BYTE = 0x00000000;
inline constexpr DWORD PIPE_TYPE_MESSAGE = 0x00000004;
inline constexpr DWORD PIPE_READMODE_BYTE = 0x00000000;
inline constexpr DWORD PIPE_READMODE_MESSAGE = 0x00000002;
inline constexpr DWORD PIPE_WAIT = 0x00000000;
inline constexpr DWORD PIPE_NOWAIT = 0x00000001;
inline constexpr DWORD PIPE_ACCEPT_REMOTE_CLIENTS = 0x00000000;
inline constexpr DWORD PIPE_REJECT_REMOTE_CLIENTS = 0x00000008;
inline constexpr DWORD PIPE_UNLIMITED_INSTANCES = 255;

inline constexpr DWORD NMPWAIT_USE_DEFAULT_WAIT = 0x00000000;
inline constexpr DWORD NMPWAIT_WAIT_FOREVER = 0xFFFFFFFF;

// nDefaultTimeOut is what WaitNamedPipeW with NMPWAIT_USE_DEFAULT_WAIT waits
// in this process (0: 50 ms). Buffer sizes are advice and ignored.
K460_API HANDLE CreateNamedPipeW(LPCWSTR lpName, DWORD dwOpenMode, DWORD dwPipeMode, DWORD nMaxInstances,
                                 DWORD nOutBufferSize, DWORD nInBufferSize, DWORD nDefaultTimeOut,
                                 LPSECURITY_ATTRIBUTES lpSecurityAttributes);
// TRUE once a client is connected; FALSE with ERROR_PIPE_CONNECTED when one
// connected before the call, ERROR_PIPE_LISTENING in no-wait mode when none
// has yet.
K460_API BOOL ConnectNamedPipe(HANDLE hNamedPipe, LPVOID lpOverlapped);
// Drops the client of a server instance (unread data is lost); the
// instance can then wait for the next one.
K460_API BOOL DisconnectNamedPipe(HANDLE hNamedPipe);
// Waits, on the platform clock, until an instance of the pipe exists;
// FALSE with ERROR_SEM_TIMEOUT when none appears in time.
K460_API BOOL WaitNamedPipeW(LPCWSTR lpNamedPipeName, DWORD nTimeOut);
// Read mode and wait mode of either end (lpMode: PIPE_READMODE_* | PIPE_*WAIT);
// the collection arguments must be null.
K460_API BOOL SetNamedPipeHandleState(HANDLE hNamedPipe, LPDWORD lpMode, LPDWORD lpMaxCollectionCount,
                                      LPDWORD lpCollectDataTimeout);
