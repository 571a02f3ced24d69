// The loader's records of loaded libraries, shared by the files of the
// module facility. Every function here expects LoaderLock() to be held.
#pragma once

#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

#include "platform/module/module.h"
#include "platform/module/ordinals.h"

namespace k460::module {

enum class ModuleKind {
  Library,  // a shared object of the suite, loaded and unloaded by count
  System,   // a system library name standing for the platform; never unloaded
  Program,  // the running program (GetModuleHandleW(NULL)); never unloaded
};

using EntryPoint = BOOL (*)(HINSTANCE, DWORD, LPVOID);

struct Module {
  HMODULE handle = nullptr;
  ModuleKind kind = ModuleKind::Library;
  std::filesystem::path hostPath;  // the file (Library), the platform or the program
  std::u16string fileName;         // what GetModuleFileNameW reports
  std::u16string systemName;       // System: lower-case name from the table
  void* dl = nullptr;              // dlopen handle
  const void* linkMap = nullptr;   // the dynamic loader's record of the object
  int references = 0;
  bool attached = false;  // entry point told of the process attach
  EntryPoint entry = nullptr;
  const K460ResourceDirectory* resources = nullptr;
  const K460OrdinalEntry* ordinals = nullptr;
};

// Held for every loader operation and around entry-point calls, so an
// entry point may load or free libraries itself (the lock is recursive).
std::recursive_mutex& LoaderLock();

// The record behind a handle; null for stale or invented handles.
Module* FindModule(HMODULE handle);
// The record for `handle`, the program for null; sets ERROR_INVALID_HANDLE
// and answers null when there is none.
Module* ResolveModule(HMODULE handle);
Module* ProgramModule();
// The pinned record of a system library (lower-case table name).
Module* SystemModule(std::u16string_view systemName);
Module* FindLibraryByPath(const std::filesystem::path& canonicalPath);
Module* FindLibraryByDl(void* dl);
// A loaded library whose file name matches without regard to case.
Module* FindLibraryByFileName(std::string_view fileName);
// Takes the record into the table and gives it its handle.
Module* AddModule(std::unique_ptr<Module> module);
void RemoveModule(HMODULE handle);

// A symbol defined by the module's own object, not by one it depends on.
void* OwnSymbol(const Module& module, const char* name);
// Fills linkMap, entry, resources and ordinals from the object; false when
// the object carries a resource directory of another layout.
bool ReadModuleTables(Module& module);

}  // namespace k460::module
