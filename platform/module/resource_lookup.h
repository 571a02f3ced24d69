// Finding a resource entry in a loaded library; shared by the resource
// functions and LoadStringW. Expects the loader lock to be held.
#pragma once

#include "platform/module/module_table.h"

namespace k460::module {

// The entry of `type`/`name` in the language chosen for `language` (0: the
// user's), or null with *error set to the reason.
const K460ResourceEntry* FindResourceEntry(const Module& module, LPCWSTR type, LPCWSTR name, WORD language,
                                           DWORD* error);

}  // namespace k460::module
