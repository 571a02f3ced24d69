// LoadStringW: strings from the string-table blocks of a library.
#include <cstring>

#include "platform/base/internal.h"
#include "platform/module/module.h"
#include "platform/module/resource_lookup.h"

namespace {

WORD ReadWord(const unsigned char* p) { return static_cast<WORD>(p[0] | (p[1] << 8)); }

// Finds slot `index` of a block; false when the block is malformed or the
// slot is empty. The text is left in place (it is terminated, see
// resource_directory.h).
bool FindSlot(const K460ResourceEntry& block, unsigned index, const WCHAR** text, WORD* length) {
  std::size_t at = 0;
  for (unsigned slot = 0; slot <= index; ++slot) {
    if (at + 2 > block.size) return false;
    WORD count = ReadWord(block.data + at);
    std::size_t next = at + 2 + 2 * (static_cast<std::size_t>(count) + 1);
    if (next > block.size) return false;
    if (slot == index) {
      *text = reinterpret_cast<const WCHAR*>(block.data + at + 2);
      *length = count;
      return count != 0;
    }
    at = next;
  }
  return false;
}

}  // namespace

K460_API int LoadStringW(HINSTANCE hInstance, UINT uID, LPWSTR lpBuffer, int cchBufferMax) {
  using namespace k460::module;
  if (k460::CallFailsSetError("LoadStringW", std::to_string(uID))) return 0;
  if (!lpBuffer || cchBufferMax < 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  std::lock_guard lock(LoaderLock());
  Module* module = ResolveModule(hInstance);
  if (!module) return 0;
  DWORD error = ERROR_SUCCESS;
  const WCHAR* text = nullptr;
  WORD length = 0;
  if (uID > 0xFFFF) {
    SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return 0;
  }
  const unsigned block = uID / k460::resources::kStringsPerBlock + 1;
  const K460ResourceEntry* entry =
      FindResourceEntry(*module, RT_STRING, MAKEINTRESOURCEW(static_cast<WORD>(block)), 0, &error);
  if (!entry || !FindSlot(*entry, uID % k460::resources::kStringsPerBlock, &text, &length)) {
    SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return 0;
  }
  if (cchBufferMax == 0) {
    // The caller asked for the text itself: a pointer stored in its buffer.
    const WCHAR* pointer = text;
    std::memcpy(lpBuffer, &pointer, sizeof pointer);
    return length;
  }
  int copied = std::min<int>(length, cchBufferMax - 1);
  std::memcpy(lpBuffer, text, static_cast<std::size_t>(copied) * sizeof(WCHAR));
  lpBuffer[copied] = 0;
  return copied;
}
