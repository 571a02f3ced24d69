// Resources of loaded libraries: lookup with language choice, and the
// handles that lead to their bytes.
#include <string_view>

#include "platform/base/internal.h"
#include "platform/base/text.h"
#include "platform/module/module.h"
#include "platform/module/resource_lookup.h"

namespace k460::module {
namespace {

// A type or name asked for: a number (small pointer or "#123") or a text.
struct Key {
  bool isNumber = false;
  WORD number = 0;
  std::u16string_view text;
};

Key KeyOf(LPCWSTR p) {
  Key key;
  if (IS_INTRESOURCE(p)) {
    key.isNumber = true;
    key.number = LOWORD(reinterpret_cast<ULONG_PTR>(p));
    return key;
  }
  key.text = WideView(p);
  if (key.text.size() >= 2 && key.text.size() <= 6 && key.text[0] == u'#') {
    unsigned value = 0;
    bool digits = true;
    for (char16_t c : key.text.substr(1)) {
      digits = digits && c >= u'0' && c <= u'9';
      value = value * 10 + (c - u'0');
    }
    if (digits && value <= 0xFFFF) {
      key.isNumber = true;
      key.number = static_cast<WORD>(value);
    }
  }
  return key;
}

bool Matches(const K460ResourceId& id, const Key& key) {
  if (key.isNumber) return !id.name && id.number == key.number;
  return id.name && EqualsNoCase(std::u16string_view(id.name), key.text);
}

// Language 0 and the neutral "user default"/"system default" ids stand for
// the language of the machine's user.
LANGID PreferredLanguage(WORD language) {
  if (PRIMARYLANGID(language) == LANG_NEUTRAL && SUBLANGID(language) <= 2) return GetUserDefaultLangID();
  return language;
}

const K460ResourceEntry* Entries(const Module& module) { return module.resources->entries; }

// The entry that `hResInfo` points at, when it is one of the module's.
const K460ResourceEntry* EntryOf(const Module& module, HRSRC hResInfo) {
  if (!module.resources || !hResInfo) return nullptr;
  auto* entry = reinterpret_cast<const K460ResourceEntry*>(hResInfo);
  const K460ResourceEntry* first = Entries(module);
  const K460ResourceEntry* last = first + module.resources->count;
  // Compared as addresses: an invented handle is not a pointer into the array.
  auto at = reinterpret_cast<std::uintptr_t>(entry), begin = reinterpret_cast<std::uintptr_t>(first),
       end = reinterpret_cast<std::uintptr_t>(last);
  if (at < begin || at >= end || (at - begin) % sizeof(K460ResourceEntry) != 0) return nullptr;
  return entry;
}

}  // namespace

const K460ResourceEntry* FindResourceEntry(const Module& module, LPCWSTR type, LPCWSTR name, WORD language,
                                           DWORD* error) {
  if (!module.resources || module.resources->count == 0) {
    *error = ERROR_RESOURCE_DATA_NOT_FOUND;
    return nullptr;
  }
  Key typeKey = KeyOf(type), nameKey = KeyOf(name);
  LANGID preferred = PreferredLanguage(language);
  const K460ResourceEntry *exact = nullptr, *samePrimary = nullptr, *neutral = nullptr, *first = nullptr;
  bool typeFound = false;
  for (std::uint32_t i = 0; i < module.resources->count; ++i) {
    const K460ResourceEntry& entry = Entries(module)[i];
    if (!Matches(entry.type, typeKey)) continue;
    typeFound = true;
    if (!Matches(entry.name, nameKey)) continue;
    if (!first) first = &entry;
    if (entry.language == preferred && !exact) exact = &entry;
    if (PRIMARYLANGID(entry.language) == PRIMARYLANGID(preferred) && !samePrimary) samePrimary = &entry;
    if (PRIMARYLANGID(entry.language) == LANG_NEUTRAL && !neutral) neutral = &entry;
  }
  const K460ResourceEntry* chosen = exact ? exact : samePrimary ? samePrimary : neutral ? neutral : first;
  if (!chosen) *error = typeFound ? ERROR_RESOURCE_NAME_NOT_FOUND : ERROR_RESOURCE_TYPE_NOT_FOUND;
  return chosen;
}

}  // namespace k460::module

namespace {

using namespace k460::module;

HRSRC Find(const char* function, HMODULE hModule, LPCWSTR lpType, LPCWSTR lpName, WORD wLanguage) {
  if (k460::CallFailsSetError(function)) return nullptr;
  std::lock_guard lock(LoaderLock());
  Module* module = ResolveModule(hModule);
  if (!module) return nullptr;
  DWORD error = ERROR_SUCCESS;
  const K460ResourceEntry* entry = FindResourceEntry(*module, lpType, lpName, wLanguage, &error);
  if (!entry) {
    SetLastError(error);
    return nullptr;
  }
  return reinterpret_cast<HRSRC>(const_cast<K460ResourceEntry*>(entry));
}

// The entry behind a resource handle of `hModule`; sets the last error when
// the module or the handle is not valid.
const K460ResourceEntry* ValidEntry(HMODULE hModule, HRSRC hResInfo) {
  Module* module = ResolveModule(hModule);
  if (!module) return nullptr;
  const K460ResourceEntry* entry = k460::module::EntryOf(*module, hResInfo);
  if (!entry) SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
  return entry;
}

}  // namespace

K460_API HRSRC FindResourceW(HMODULE hModule, LPCWSTR lpName, LPCWSTR lpType) {
  return Find("FindResourceW", hModule, lpType, lpName, 0);
}

K460_API HRSRC FindResourceExW(HMODULE hModule, LPCWSTR lpType, LPCWSTR lpName, WORD wLanguage) {
  return Find("FindResourceExW", hModule, lpType, lpName, wLanguage);
}

K460_API HGLOBAL LoadResource(HMODULE hModule, HRSRC hResInfo) {
  if (k460::CallFailsSetError("LoadResource")) return nullptr;
  std::lock_guard lock(LoaderLock());
  const K460ResourceEntry* entry = ValidEntry(hModule, hResInfo);
  return entry ? const_cast<unsigned char*>(entry->data) : nullptr;
}

K460_API LPVOID LockResource(HGLOBAL hResData) { return hResData; }

K460_API DWORD SizeofResource(HMODULE hModule, HRSRC hResInfo) {
  if (k460::CallFailsSetError("SizeofResource")) return 0;
  std::lock_guard lock(LoaderLock());
  const K460ResourceEntry* entry = ValidEntry(hModule, hResInfo);
  return entry ? entry->size : 0;
}

K460_API BOOL FreeResource(HGLOBAL) { return FALSE; }
