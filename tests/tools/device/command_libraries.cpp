#include "tests/tools/device/command_libraries.h"

namespace k460::testing {
namespace {

template <class F>
bool Bind(HMODULE module, WORD ordinal, F* proc, std::string* missing) {
  *proc = reinterpret_cast<F>(GetProcAddress(module, MAKEINTRESOURCEA(ordinal)));
  if (!*proc) *missing += " " + std::to_string(ordinal);
  return *proc != nullptr;
}

void BindCommands(HMODULE module, CommandFunctions* f, std::string* missing) {
  Bind(module, ORD_McmdCreateCommandObject, &f->Create, missing);
  Bind(module, ORD_McmdDeleteCommandObject, &f->Delete, missing);
  Bind(module, ORD_McmdClear, &f->Clear, missing);
  Bind(module, ORD_McmdAttachFile, &f->AttachFile, missing);
  Bind(module, ORD_McmdSetMode, &f->SetMode, missing);
  Bind(module, ORD_McmdAddParamString, &f->AddParamString, missing);
  Bind(module, ORD_McmdAddParamNumber, &f->AddParamNumber, missing);
  Bind(module, ORD_McmdAddParamHex, &f->AddParamHex, missing);
  Bind(module, ORD_McmdBeginElement, &f->Begin, missing);
  Bind(module, ORD_McmdEndElement, &f->End, missing);
  Bind(module, ORD_McmdAddString, &f->AddString, missing);
  Bind(module, ORD_McmdAddNumber, &f->AddNumber, missing);
  Bind(module, ORD_McmdAddHex, &f->AddHex, missing);
  Bind(module, ORD_McmdStringToNumber, &f->StringToNumber, missing);
  Bind(module, ORD_McmdHexToNumber, &f->HexToNumber, missing);
}

}  // namespace

std::string NetworkLibrary::Load() {
  module = LoadLibraryW(u"qtxnpxml.dll");
  if (!module) return "LoadLibraryW(qtxnpxml.dll) failed, error " + std::to_string(GetLastError());
  std::string missing;
  BindCommands(module, this, &missing);
  Bind(module, ORD_McmdGetAnswer, &GetAnswer, &missing);
  Bind(module, ORD_McmdGetNextAnswer, &GetNextAnswer, &missing);
  Bind(module, ORD_McmdGetAnswerKey, &GetAnswerKey, &missing);
  Bind(module, ORD_McmdGetAnswerText, &GetAnswerText, &missing);
  Bind(module, ORD_MnetCreateNetworkObject, &CreateNet, &missing);
  Bind(module, ORD_MnetDeleteNetworkObject, &DeleteNet, &missing);
  Bind(module, ORD_MnetGetLastError, &GetLastNetError, &missing);
  Bind(module, ORD_MnetPostFile, &PostFile, &missing);
  Bind(module, ORD_MnetSetProgressWindow, &SetProgressWindow, &missing);
  Bind(module, ORD_MnetSetTimeouts, &SetTimeouts, &missing);
  Bind(module, ORD_MnetSetDefaultTimeouts, &SetDefaultTimeouts, &missing);
  Bind(module, ORD_MnetGetHttpStatus, &GetHttpStatus, &missing);
  return missing.empty() ? "" : "qtxnpxml.dll lacks the ordinals" + missing;
}

void NetworkLibrary::Unload() {
  if (module) FreeLibrary(module);
  module = nullptr;
}

std::string PortLibrary::Load() {
  module = LoadLibraryW(u"qtxupxml.dll");
  if (!module) return "LoadLibraryW(qtxupxml.dll) failed, error " + std::to_string(GetLastError());
  std::string missing;
  BindCommands(module, this, &missing);
  Bind(module, ORD_McmdOpenRequest, &OpenRequest, &missing);
  Bind(module, ORD_McmdGetRequestSize, &GetRequestSize, &missing);
  Bind(module, ORD_McmdReadRequest, &ReadRequest, &missing);
  Bind(module, ORD_McmdAbortRequest, &AbortRequest, &missing);
  Bind(module, ORD_McmdCloseRequest, &CloseRequest, &missing);
  return missing.empty() ? "" : "qtxupxml.dll lacks the ordinals" + missing;
}

void PortLibrary::Unload() {
  if (module) FreeLibrary(module);
  module = nullptr;
}

}  // namespace k460::testing
