// The table of loaded libraries behind HMODULE values.
#include "platform/module/module_table.h"

#include <dlfcn.h>
#include <link.h>

#include <map>
#include <system_error>

#include "platform/base/internal.h"
#include "platform/base/text.h"
#include "platform/module/library_names.h"

namespace k460::module {
namespace {

// Module handles come from a range of their own, stepping like image bases,
// and are never reused: a handle kept past the last FreeLibrary is stale,
// and a kernel handle is never mistaken for a module or the reverse.
std::uintptr_t gNextHandle = 0x460000000000;

std::map<std::uintptr_t, std::unique_ptr<Module>>& Table() {
  static auto* table = new std::map<std::uintptr_t, std::unique_ptr<Module>>();
  return *table;
}

const void* LinkMapOf(void* dl) {
  link_map* map = nullptr;
  if (dlinfo(dl, RTLD_DI_LINKMAP, &map) != 0) return nullptr;
  return map;
}

}  // namespace

std::recursive_mutex& LoaderLock() {
  static auto* lock = new std::recursive_mutex();
  return *lock;
}

Module* FindModule(HMODULE handle) {
  auto it = Table().find(reinterpret_cast<std::uintptr_t>(handle));
  return it == Table().end() ? nullptr : it->second.get();
}

Module* ResolveModule(HMODULE handle) {
  Module* module = handle ? FindModule(handle) : ProgramModule();
  if (!module) SetLastError(ERROR_INVALID_HANDLE);
  return module;
}

Module* ProgramModule() {
  static Module* program = [] {
    auto module = std::make_unique<Module>();
    module->kind = ModuleKind::Program;
    std::error_code ec;
    module->hostPath = std::filesystem::read_symlink("/proc/self/exe", ec);
    module->fileName = WindowsPath(module->hostPath);
    module->dl = dlopen(nullptr, RTLD_NOW);
    module->references = 1;
    module->attached = true;
    ReadModuleTables(*module);
    return AddModule(std::move(module));
  }();
  return program;
}

Module* SystemModule(std::u16string_view systemName) {
  for (auto& [value, module] : Table())
    if (module->kind == ModuleKind::System && module->systemName == systemName) return module.get();
  auto module = std::make_unique<Module>();
  module->kind = ModuleKind::System;
  module->systemName = systemName;
  module->hostPath = PlatformLibraryPath();
  module->fileName = SystemDirectory() + u"\\" + std::u16string(systemName);
  // The platform is loaded already (the caller links it); this only takes
  // its handle, never to be closed.
  module->dl = dlopen(module->hostPath.c_str(), RTLD_NOW | RTLD_NOLOAD);
  module->references = 1;
  module->attached = true;
  ReadModuleTables(*module);
  return AddModule(std::move(module));
}

Module* FindLibraryByPath(const std::filesystem::path& canonicalPath) {
  for (auto& [value, module] : Table())
    if (module->kind == ModuleKind::Library && module->hostPath == canonicalPath) return module.get();
  return nullptr;
}

Module* FindLibraryByDl(void* dl) {
  for (auto& [value, module] : Table())
    if (module->kind == ModuleKind::Library && module->dl == dl) return module.get();
  return nullptr;
}

Module* FindLibraryByFileName(std::string_view fileName) {
  for (auto& [value, module] : Table())
    if (module->kind == ModuleKind::Library && EqualsNoCase(module->hostPath.filename().string(), fileName))
      return module.get();
  return nullptr;
}

Module* AddModule(std::unique_ptr<Module> module) {
  std::uintptr_t value = gNextHandle;
  gNextHandle += 0x10000;
  module->handle = reinterpret_cast<HMODULE>(value);
  Module* raw = module.get();
  Table().emplace(value, std::move(module));
  return raw;
}

void RemoveModule(HMODULE handle) { Table().erase(reinterpret_cast<std::uintptr_t>(handle)); }

void* OwnSymbol(const Module& module, const char* name) {
  if (!module.dl || !module.linkMap) return nullptr;
  void* symbol = dlsym(module.dl, name);
  if (!symbol) return nullptr;
  Dl_info info;
  link_map* owner = nullptr;
  if (!dladdr1(symbol, &info, reinterpret_cast<void**>(&owner), RTLD_DL_LINKMAP) || owner != module.linkMap)
    return nullptr;
  return symbol;
}

bool ReadModuleTables(Module& module) {
  if (!module.dl) return true;
  module.linkMap = LinkMapOf(module.dl);
  void* entry = OwnSymbol(module, "DllMain");
  if (!entry) entry = OwnSymbol(module, "DllEntryPoint");
  module.entry = reinterpret_cast<EntryPoint>(entry);
  module.ordinals = static_cast<const K460OrdinalEntry*>(OwnSymbol(module, K460_ORDINAL_TABLE_SYMBOL));
  const char* symbol = module.kind == ModuleKind::Program ? K460_PROGRAM_RESOURCE_DIRECTORY_SYMBOL
                                                          : K460_RESOURCE_DIRECTORY_SYMBOL;
  auto* directory = static_cast<const K460ResourceDirectory*>(OwnSymbol(module, symbol));
  if (directory && (directory->magic != resources::kDirectoryMagic ||
                    directory->version != resources::kDirectoryVersion || (directory->count && !directory->entries)))
    return false;
  module.resources = directory;
  return true;
}

}  // namespace k460::module
