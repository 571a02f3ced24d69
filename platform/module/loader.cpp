// LoadLibraryW and its companions: finding, loading, counting and unloading
// the suite's shared objects, their entry points and exported functions.
#include <dlfcn.h>

#include <cstring>
#include <string>
#include <system_error>

#include "platform/base/internal.h"
#include "platform/base/text.h"
#include "platform/module/library_names.h"
#include "platform/module/module.h"
#include "platform/module/module_host.h"
#include "platform/module/module_table.h"

namespace k460 {
namespace {

using namespace module;
namespace fs = std::filesystem;

thread_local std::string tLoadFailure;

constexpr DWORD kKnownLoadFlags = DONT_RESOLVE_DLL_REFERENCES | LOAD_LIBRARY_AS_DATAFILE | LOAD_WITH_ALTERED_SEARCH_PATH;

bool RunsEntryPoint(DWORD flags) { return (flags & (DONT_RESOLVE_DLL_REFERENCES | LOAD_LIBRARY_AS_DATAFILE)) == 0; }

// The last error for a file that exists but that the dynamic loader refused.
DWORD LoadErrorFrom(const std::string& message) {
  if (message.find("undefined symbol") != std::string::npos) return ERROR_PROC_NOT_FOUND;
  if (message.find("cannot open shared object file") != std::string::npos) return ERROR_MOD_NOT_FOUND;
  return ERROR_BAD_EXE_FORMAT;
}

// Tells a library of the process attach; on refusal it is told of the
// detach at once, as the system does, and the caller unloads it.
bool Attach(Module& module) {
  module.attached = true;
  if (!module.entry || module.entry(module.handle, DLL_PROCESS_ATTACH, nullptr)) return true;
  module.entry(module.handle, DLL_PROCESS_DETACH, nullptr);
  module.attached = false;
  return false;
}

void Unload(Module& module) {
  void* dl = module.dl;
  RemoveModule(module.handle);
  if (dl) dlclose(dl);
}

HMODULE AddReference(Module& module, DWORD flags) {
  if (module.kind != ModuleKind::Library) return module.handle;
  ++module.references;
  if (!module.attached && RunsEntryPoint(flags) && !Attach(module)) {
    --module.references;
    SetLastError(ERROR_DLL_INIT_FAILED);
    return nullptr;
  }
  return module.handle;
}

std::optional<fs::path> FindLibraryFile(const LibraryName& name) {
  if (!name.folder.empty()) return FindFileInFolder(HostPath(name.folder), name.fileName);
  for (const auto& folder : SearchFolders())
    if (auto file = FindFileInFolder(folder, name.fileName)) return file;
  return std::nullopt;
}

HMODULE Load(LPCWSTR fileName, DWORD flags) {
  tLoadFailure.clear();
  if (!fileName) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  std::u16string_view text = WideView(fileName);
  if (text.empty()) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
  }
  std::lock_guard lock(LoaderLock());
  if (auto system = SystemLibraryName(text)) return SystemModule(*system)->handle;

  LibraryName name = ParseLibraryName(text);
  if (name.folder.empty())
    if (Module* loaded = FindLibraryByFileName(name.fileName)) return AddReference(*loaded, flags);
  auto file = FindLibraryFile(name);
  if (!file) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
  }
  std::error_code ec;
  fs::path path = fs::canonical(*file, ec);
  if (ec) path = *file;
  if (Module* loaded = FindLibraryByPath(path)) return AddReference(*loaded, flags);

  void* dl = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!dl) {
    const char* message = dlerror();
    tLoadFailure = message ? message : "unknown failure";
    SetLastError(LoadErrorFrom(tLoadFailure));
    return nullptr;
  }
  if (Module* loaded = FindLibraryByDl(dl)) {  // the same object under another name
    dlclose(dl);
    return AddReference(*loaded, flags);
  }
  auto record = std::make_unique<Module>();
  record->hostPath = path;
  record->fileName = WindowsPath(path);
  record->dl = dl;
  if (!ReadModuleTables(*record)) {
    dlclose(dl);
    tLoadFailure = "resource directory of another layout: rebuild the library";
    SetLastError(ERROR_BAD_EXE_FORMAT);
    return nullptr;
  }
  Module* module = AddModule(std::move(record));
  module->references = 1;
  if (RunsEntryPoint(flags) && !Attach(*module)) {
    Unload(*module);
    SetLastError(ERROR_DLL_INIT_FAILED);
    return nullptr;
  }
  return module->handle;
}

FARPROC FromOrdinalTable(const Module& module, WORD ordinal, const char* name) {
  if (!module.ordinals) return nullptr;
  for (const K460OrdinalEntry* entry = module.ordinals; entry->ordinal != 0; ++entry) {
    bool match = name ? (entry->name && std::strcmp(entry->name, name) == 0) : entry->ordinal == ordinal;
    if (match) return reinterpret_cast<FARPROC>(entry->proc);
  }
  return nullptr;
}

}  // namespace

std::string LastLibraryLoadFailure() { return tLoadFailure; }

}  // namespace k460

K460_API HMODULE LoadLibraryW(LPCWSTR lpLibFileName) {
  if (k460::CallFailsSetError("LoadLibraryW", k460::Utf16ToUtf8(k460::WideView(lpLibFileName)))) return nullptr;
  return k460::Load(lpLibFileName, 0);
}

K460_API HMODULE LoadLibraryExW(LPCWSTR lpLibFileName, HANDLE hFile, DWORD dwFlags) {
  if (k460::CallFailsSetError("LoadLibraryExW", k460::Utf16ToUtf8(k460::WideView(lpLibFileName)))) return nullptr;
  if (hFile || (dwFlags & ~k460::kKnownLoadFlags)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  return k460::Load(lpLibFileName, dwFlags);
}

K460_API BOOL FreeLibrary(HMODULE hLibModule) {
  using namespace k460::module;
  if (k460::CallFailsSetError("FreeLibrary")) return FALSE;
  std::lock_guard lock(LoaderLock());
  Module* module = FindModule(hLibModule);
  if (!module) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  // references is 0 while the detach runs: a free from inside it has nothing left to do.
  if (module->kind != ModuleKind::Library || module->references <= 0 || --module->references > 0) return TRUE;
  if (module->attached && module->entry) module->entry(module->handle, DLL_PROCESS_DETACH, nullptr);
  k460::Unload(*module);
  return TRUE;
}

K460_API FARPROC GetProcAddress(HMODULE hModule, LPCSTR lpProcName) {
  using namespace k460::module;
  bool byOrdinal = IS_INTRESOURCE(lpProcName);
  WORD ordinal = LOWORD(reinterpret_cast<ULONG_PTR>(lpProcName));
  std::string detail = byOrdinal ? "#" + std::to_string(ordinal) : std::string(lpProcName);
  if (k460::CallFailsSetError("GetProcAddress", detail)) return nullptr;
  std::lock_guard lock(LoaderLock());
  Module* module = ResolveModule(hModule);
  if (!module) return nullptr;
  FARPROC proc = nullptr;
  if (byOrdinal) {
    if (ordinal != 0) proc = k460::FromOrdinalTable(*module, ordinal, nullptr);
  } else {
    proc = reinterpret_cast<FARPROC>(OwnSymbol(*module, lpProcName));
    if (!proc) proc = k460::FromOrdinalTable(*module, 0, lpProcName);
  }
  if (!proc) SetLastError(ERROR_PROC_NOT_FOUND);
  return proc;
}

K460_API HMODULE GetModuleHandleW(LPCWSTR lpModuleName) {
  using namespace k460::module;
  if (k460::CallFailsSetError("GetModuleHandleW", k460::Utf16ToUtf8(k460::WideView(lpModuleName)))) return nullptr;
  std::lock_guard lock(LoaderLock());
  if (!lpModuleName) return ProgramModule()->handle;
  std::u16string_view text = k460::WideView(lpModuleName);
  if (auto system = SystemLibraryName(text)) return SystemModule(*system)->handle;
  LibraryName name = ParseLibraryName(text);
  Module* module = nullptr;
  if (name.folder.empty()) {
    module = FindLibraryByFileName(name.fileName);
  } else if (auto file = FindFileInFolder(k460::HostPath(name.folder), name.fileName)) {
    std::error_code ec;
    auto path = std::filesystem::canonical(*file, ec);
    module = FindLibraryByPath(ec ? *file : path);
  }
  if (!module) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
  }
  return module->handle;
}

K460_API DWORD GetModuleFileNameW(HMODULE hModule, LPWSTR lpFilename, DWORD nSize) {
  using namespace k460::module;
  if (k460::CallFailsSetError("GetModuleFileNameW")) return 0;
  if (!lpFilename && nSize) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  std::lock_guard lock(LoaderLock());
  Module* module = ResolveModule(hModule);
  if (!module) return 0;
  const std::u16string& name = module->fileName;
  if (nSize == 0) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  if (name.size() < nSize) {
    std::copy(name.begin(), name.end(), lpFilename);
    lpFilename[name.size()] = 0;
    return static_cast<DWORD>(name.size());
  }
  std::copy(name.begin(), name.begin() + (nSize - 1), lpFilename);
  lpFilename[nSize - 1] = 0;
  SetLastError(ERROR_INSUFFICIENT_BUFFER);
  return nSize;
}
