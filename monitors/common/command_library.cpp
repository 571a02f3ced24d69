// Binding the network command library by ordinal, as the network monitor
// loads it at run time (the monitors never link it).
#include "monitors/common/device_commands.h"
#include "platform/module/module.h"
#include "platform/outside/qtxnpxml/qtxnpxml.h"

namespace k460::command {
namespace {

// Binds one function; false (and *proc null) when the library lacks it.
template <class F>
bool Bind(HMODULE module, WORD ordinal, F* proc) {
  *proc = reinterpret_cast<F>(GetProcAddress(module, MAKEINTRESOURCEA(ordinal)));
  return *proc != nullptr;
}

bool BindAll(CommandLibrary& l) {
  HMODULE m = l.module;
  return Bind(m, ORD_McmdCreateCommandObject, &l.CreateCommandObject) &&
         Bind(m, ORD_McmdDeleteCommandObject, &l.DeleteCommandObject) && Bind(m, ORD_McmdClear, &l.Clear) &&
         Bind(m, ORD_McmdAttachFile, &l.AttachFile) && Bind(m, ORD_McmdSetMode, &l.SetMode) &&
         Bind(m, ORD_McmdAddParamString, &l.AddParamString) && Bind(m, ORD_McmdAddParamNumber, &l.AddParamNumber) &&
         Bind(m, ORD_McmdAddParamHex, &l.AddParamHex) && Bind(m, ORD_McmdBeginElement, &l.BeginElement) &&
         Bind(m, ORD_McmdEndElement, &l.EndElement) && Bind(m, ORD_McmdAddString, &l.AddString) &&
         Bind(m, ORD_McmdAddNumber, &l.AddNumber) && Bind(m, ORD_McmdAddHex, &l.AddHex) &&
         Bind(m, ORD_McmdGetAnswer, &l.GetAnswer) && Bind(m, ORD_McmdStringToNumber, &l.StringToNumber) &&
         Bind(m, ORD_McmdHexToNumber, &l.HexToNumber) &&
         Bind(m, ORD_MnetCreateNetworkObject, &l.MnetCreateNetworkObject) &&
         Bind(m, ORD_MnetDeleteNetworkObject, &l.MnetDeleteNetworkObject) &&
         Bind(m, ORD_MnetGetLastError, &l.MnetGetLastError) && Bind(m, ORD_MnetPostFile, &l.MnetPostFile);
}

}  // namespace

std::optional<CommandLibrary> LoadNetworkCommandLibrary() {
  CommandLibrary library;
  library.module = LoadLibraryW(u"qtxnpxml.dll");
  if (!library.module) return std::nullopt;
  if (!BindAll(library)) {
    // Keep the reason of the missing function, not that of the unload.
    const DWORD error = GetLastError();
    FreeCommandLibrary(library);
    SetLastError(error);
    return std::nullopt;
  }
  return library;
}

void FreeCommandLibrary(CommandLibrary& library) {
  if (library.module) FreeLibrary(library.module);
  library = CommandLibrary{};
}

}  // namespace k460::command
