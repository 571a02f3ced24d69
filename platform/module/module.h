// Libraries loaded at run time and the resources compiled into them.
//
// The suite's libraries are shared objects named as they are loaded
// ("xlgraph" and "XLGRAPH.DLL" both load xlgraph.so). A name without a
// folder is looked for among the libraries already loaded, then in the
// machine's printer-driver directory, then in the folders of K460_LIBPATH,
// then beside the platform library itself. The system's own library names
// ("kernel32.dll", "userenv.dll", "winspool.drv", ...) load the platform,
// so GetProcAddress finds its functions; they count as always loaded and
// are never unloaded. An entry point runs under the loader's lock, as on the
// system: it may load and free libraries, but must not wait for a thread
// that does. Failures answer NULL/FALSE/0 with
// the reason in the thread's last error, as the system does.
#pragma once

#include "platform/base/base.h"
#include "platform/module/resource_directory.h"

inline constexpr DWORD ERROR_DLL_INIT_FAILED = 1114;

// Reasons passed to a library's entry point ("DllMain" or "DllEntryPoint",
// BOOL(HINSTANCE, DWORD reason, LPVOID)). Only process attach and detach
// are delivered.
inline constexpr DWORD DLL_PROCESS_DETACH = 0;
inline constexpr DWORD DLL_PROCESS_ATTACH = 1;
inline constexpr DWORD DLL_THREAD_ATTACH = 2;
inline constexpr DWORD DLL_THREAD_DETACH = 3;

// LoadLibraryExW flags understood here; any other flag is refused.
inline constexpr DWORD DONT_RESOLVE_DLL_REFERENCES = 0x00000001;  // no entry point call
inline constexpr DWORD LOAD_LIBRARY_AS_DATAFILE = 0x00000002;     // resources only
inline constexpr DWORD LOAD_WITH_ALTERED_SEARCH_PATH = 0x00000008;  // accepted, no effect

// A procedure to be cast to its real type. The system declares it as
// returning INT_PTR; `void (*)()` is the type the compiler lets every
// function pointer be cast to and from without -Wcast-function-type.
using FARPROC = void (*)();  // the one pointer type that casts to any other without a warning

K460_API HMODULE LoadLibraryW(LPCWSTR lpLibFileName);
K460_API HMODULE LoadLibraryExW(LPCWSTR lpLibFileName, HANDLE hFile, DWORD dwFlags);
// Each load counts; the last FreeLibrary calls the entry point with
// DLL_PROCESS_DETACH and unloads, after which the handle is stale.
K460_API BOOL FreeLibrary(HMODULE hLibModule);
// By name, or by ordinal when lpProcName is a small integer (IS_INTRESOURCE).
K460_API FARPROC GetProcAddress(HMODULE hModule, LPCSTR lpProcName);
// A loaded library without adding a reference; NULL names the program.
K460_API HMODULE GetModuleHandleW(LPCWSTR lpModuleName);
// The library's file in Windows form ("C:\...") when it lies in the machine
// root, else its host path. A short buffer gets the terminated beginning,
// nSize is returned and the last error is ERROR_INSUFFICIENT_BUFFER.
K460_API DWORD GetModuleFileNameW(HMODULE hModule, LPWSTR lpFilename, DWORD nSize);

// ---- Resources -------------------------------------------------------------
#define RT_CURSOR MAKEINTRESOURCEW(k460::resources::kTypeCursor)
#define RT_BITMAP MAKEINTRESOURCEW(k460::resources::kTypeBitmap)
#define RT_ICON MAKEINTRESOURCEW(k460::resources::kTypeIcon)
#define RT_MENU MAKEINTRESOURCEW(k460::resources::kTypeMenu)
#define RT_DIALOG MAKEINTRESOURCEW(k460::resources::kTypeDialog)
#define RT_STRING MAKEINTRESOURCEW(k460::resources::kTypeString)
#define RT_FONTDIR MAKEINTRESOURCEW(k460::resources::kTypeFontDir)
#define RT_FONT MAKEINTRESOURCEW(k460::resources::kTypeFont)
#define RT_ACCELERATOR MAKEINTRESOURCEW(k460::resources::kTypeAccelerator)
#define RT_RCDATA MAKEINTRESOURCEW(k460::resources::kTypeRcData)
#define RT_MESSAGETABLE MAKEINTRESOURCEW(k460::resources::kTypeMessageTable)
#define RT_GROUP_CURSOR MAKEINTRESOURCEW(k460::resources::kTypeGroupCursor)
#define RT_GROUP_ICON MAKEINTRESOURCEW(k460::resources::kTypeGroupIcon)
#define RT_VERSION MAKEINTRESOURCEW(k460::resources::kTypeVersion)
#define RT_HTML MAKEINTRESOURCEW(k460::resources::kTypeHtml)
#define RT_MANIFEST MAKEINTRESOURCEW(k460::resources::kTypeManifest)

// Types and names are numbers (MAKEINTRESOURCEW), "#123", or texts compared
// without regard to case. The language is chosen in this order: the one
// asked for (FindResourceW and language 0 ask for GetUserDefaultLangID()),
// one of the same primary language, a neutral one, the first.
K460_API HRSRC FindResourceW(HMODULE hModule, LPCWSTR lpName, LPCWSTR lpType);
K460_API HRSRC FindResourceExW(HMODULE hModule, LPCWSTR lpType, LPCWSTR lpName, WORD wLanguage);
// The resource's bytes stay valid while the library is loaded; they are
// read-only. FreeResource has nothing to do and answers FALSE.
K460_API HGLOBAL LoadResource(HMODULE hModule, HRSRC hResInfo);
K460_API LPVOID LockResource(HGLOBAL hResData);
K460_API DWORD SizeofResource(HMODULE hModule, HRSRC hResInfo);
K460_API BOOL FreeResource(HGLOBAL hResData);
// Copies string uID (truncated to cchBufferMax - 1 characters) and a
// terminator; returns the characters copied. With cchBufferMax 0 it stores
// a read-only pointer to the text (terminated) in the buffer instead and
// returns the text's length. A missing string answers 0 with
// ERROR_RESOURCE_NAME_NOT_FOUND.
K460_API int LoadStringW(HINSTANCE hInstance, UINT uID, LPWSTR lpBuffer, int cchBufferMax);
