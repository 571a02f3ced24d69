// The library's exports by ordinal, as the network monitor and the fax user
// interface bind them.
#include "platform/module/ordinals.h"
#include "platform/outside/qtxnpxml/qtxnpxml.h"

K460_ORDINAL_TABLE(
    K460_ORDINAL(ORD_McmdCreateCommandObject, McmdCreateCommandObject),
    K460_ORDINAL(ORD_McmdDeleteCommandObject, McmdDeleteCommandObject), K460_ORDINAL(ORD_McmdClear, McmdClear),
    K460_ORDINAL(ORD_McmdAttachFile, McmdAttachFile), K460_ORDINAL(ORD_McmdSetMode, McmdSetMode),
    K460_ORDINAL(ORD_McmdAddParamString, McmdAddParamString),
    K460_ORDINAL(ORD_McmdAddParamNumber, McmdAddParamNumber), K460_ORDINAL(ORD_McmdAddParamHex, McmdAddParamHex),
    K460_ORDINAL(ORD_McmdBeginElement, McmdBeginElement), K460_ORDINAL(ORD_McmdEndElement, McmdEndElement),
    K460_ORDINAL(ORD_McmdAddString, McmdAddString), K460_ORDINAL(ORD_McmdAddNumber, McmdAddNumber),
    K460_ORDINAL(ORD_McmdAddHex, McmdAddHex), K460_ORDINAL(ORD_McmdGetAnswer, McmdGetAnswer),
    K460_ORDINAL(ORD_McmdGetNextAnswer, McmdGetNextAnswer), K460_ORDINAL(ORD_McmdGetAnswerKey, McmdGetAnswerKey),
    K460_ORDINAL(ORD_McmdGetAnswerText, McmdGetAnswerText),
    K460_ORDINAL(ORD_McmdStringToNumber, McmdStringToNumber), K460_ORDINAL(ORD_McmdHexToNumber, McmdHexToNumber),
    K460_ORDINAL(ORD_MnetCreateNetworkObject, MnetCreateNetworkObject),
    K460_ORDINAL(ORD_MnetDeleteNetworkObject, MnetDeleteNetworkObject),
    K460_ORDINAL(ORD_MnetGetLastError, MnetGetLastError), K460_ORDINAL(ORD_MnetPostFile, MnetPostFile),
    K460_ORDINAL(ORD_MnetSetProgressWindow, MnetSetProgressWindow),
    K460_ORDINAL(ORD_MnetSetTimeouts, MnetSetTimeouts),
    K460_ORDINAL(ORD_MnetSetDefaultTimeouts, MnetSetDefaultTimeouts),
    K460_ORDINAL(ORD_MnetGetHttpStatus, MnetGetHttpStatus));
