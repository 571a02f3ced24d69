#include "driver/pcl/printer_common/settings/settings.h"

void CopyBoundedString(WCHAR* dest, const WCHAR* source, std::size_t capacity) {
  if (!dest || capacity == 0) return;
  std::size_t i = 0;
  if (source)
    for (; i + 1 < capacity && source[i] != 0; ++i) dest[i] = source[i];
  for (; i < capacity; ++i) dest[i] = 0;
}

void StoreText(WCHAR* field, std::size_t capacity, std::u16string_view text) {
  if (!field || capacity == 0) return;
  std::size_t i = 0;
  for (; i + 1 < capacity && i < text.size() && text[i] != 0; ++i) StoreLe<WCHAR>(field + i, text[i]);
  for (; i < capacity; ++i) StoreLe<WCHAR>(field + i, 0);
}

std::u16string LoadText(const WCHAR* field, std::size_t capacity) {
  std::u16string text;
  if (!field) return text;
  for (std::size_t i = 0; i < capacity; ++i) {
    const WCHAR c = LoadLe<WCHAR>(field + i);
    if (c == 0) break;
    text.push_back(c);
  }
  return text;
}
