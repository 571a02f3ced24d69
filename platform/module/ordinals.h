// How a library exports functions by ordinal. A library bound by ordinal
// defines one table, `k460_ordinal_table`, with C linkage and default
// visibility; GetProcAddress(module, MAKEINTRESOURCEA(n)) finds entry n in
// it, and GetProcAddress by name also finds a named entry whose function is
// not exported as a symbol. Ordinal 0 ends the table.
//
//   K460_ORDINAL_TABLE(
//       K460_ORDINAL(101, McmdCreateCommandObject),
//       K460_ORDINAL_NONAME(217, SetProgressTexts))
#pragma once

#include "platform/base/types.h"

using K460OrdinalProc = void (*)();

struct K460OrdinalEntry {
  WORD ordinal;
  const char* name;  // null: exported by ordinal only
  K460OrdinalProc proc;
};

#define K460_ORDINAL_TABLE_SYMBOL "k460_ordinal_table"

#define K460_ORDINAL(number, function) \
  K460OrdinalEntry { number, #function, reinterpret_cast<K460OrdinalProc>(&function) }
#define K460_ORDINAL_NONAME(number, function) \
  K460OrdinalEntry { number, nullptr, reinterpret_cast<K460OrdinalProc>(&function) }
#define K460_ORDINAL_TABLE(...)                                                               \
  extern "C" __attribute__((visibility("default"))) const K460OrdinalEntry k460_ordinal_table[] = { \
      __VA_ARGS__, K460OrdinalEntry{0, nullptr, nullptr}}
