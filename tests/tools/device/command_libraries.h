// The two command libraries as their callers bind them: loaded by name
// through the platform, every function found by its ordinal.
#pragma once

#include <string>

#include "platform/module/module.h"
#include "platform/outside/qtxnpxml/qtxnpxml.h"
#include "platform/outside/qtxupxml/qtxupxml.h"

namespace k460::testing {

// What both libraries export.
struct CommandFunctions {
  PFN_McmdCreateCommandObject Create = nullptr;
  PFN_McmdDeleteCommandObject Delete = nullptr;
  PFN_McmdClear Clear = nullptr;
  PFN_McmdAttachFile AttachFile = nullptr;
  PFN_McmdSetMode SetMode = nullptr;
  PFN_McmdAddParamString AddParamString = nullptr;
  PFN_McmdAddParamNumber AddParamNumber = nullptr;
  PFN_McmdAddParamHex AddParamHex = nullptr;
  PFN_McmdBeginElement Begin = nullptr;
  PFN_McmdEndElement End = nullptr;
  PFN_McmdAddString AddString = nullptr;
  PFN_McmdAddNumber AddNumber = nullptr;
  PFN_McmdAddHex AddHex = nullptr;
  PFN_McmdStringToNumber StringToNumber = nullptr;
  PFN_McmdHexToNumber HexToNumber = nullptr;
};

struct NetworkLibrary : CommandFunctions {
  HMODULE module = nullptr;
  PFN_McmdGetAnswer GetAnswer = nullptr;
  PFN_McmdGetNextAnswer GetNextAnswer = nullptr;
  PFN_McmdGetAnswerKey GetAnswerKey = nullptr;
  PFN_McmdGetAnswerText GetAnswerText = nullptr;
  PFN_MnetCreateNetworkObject CreateNet = nullptr;
  PFN_MnetDeleteNetworkObject DeleteNet = nullptr;
  PFN_MnetGetLastError GetLastNetError = nullptr;
  PFN_MnetPostFile PostFile = nullptr;
  PFN_MnetSetProgressWindow SetProgressWindow = nullptr;
  PFN_MnetSetTimeouts SetTimeouts = nullptr;
  PFN_MnetSetDefaultTimeouts SetDefaultTimeouts = nullptr;
  PFN_MnetGetHttpStatus GetHttpStatus = nullptr;

  // "" once loaded and bound, else what is missing.
  std::string Load();
  void Unload();
};

struct PortLibrary : CommandFunctions {
  HMODULE module = nullptr;
  PFN_McmdOpenRequest OpenRequest = nullptr;
  PFN_McmdGetRequestSize GetRequestSize = nullptr;
  PFN_McmdReadRequest ReadRequest = nullptr;
  PFN_McmdAbortRequest AbortRequest = nullptr;
  PFN_McmdCloseRequest CloseRequest = nullptr;

  std::string Load();
  void Unload();
};

}  // namespace k460::testing
