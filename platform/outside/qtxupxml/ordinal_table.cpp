// The library's exports by ordinal, as the language monitor binds them.
#include "platform/module/ordinals.h"
#include "platform/outside/qtxupxml/qtxupxml.h"

K460_ORDINAL_TABLE(
    K460_ORDINAL(ORD_McmdCreateCommandObject, McmdCreateCommandObject),
    K460_ORDINAL(ORD_McmdDeleteCommandObject, McmdDeleteCommandObject), K460_ORDINAL(ORD_McmdClear, McmdClear),
    K460_ORDINAL(ORD_McmdAbortRequest, McmdAbortRequest), K460_ORDINAL(ORD_McmdGetRequestSize, McmdGetRequestSize),
    K460_ORDINAL(ORD_McmdOpenRequest, McmdOpenRequest), K460_ORDINAL(ORD_McmdCloseRequest, McmdCloseRequest),
    K460_ORDINAL(ORD_McmdReadRequest, McmdReadRequest), K460_ORDINAL(ORD_McmdAttachFile, McmdAttachFile),
    K460_ORDINAL(ORD_McmdSetMode, McmdSetMode), K460_ORDINAL(ORD_McmdAddParamString, McmdAddParamString),
    K460_ORDINAL(ORD_McmdAddParamNumber, McmdAddParamNumber), K460_ORDINAL(ORD_McmdAddParamHex, McmdAddParamHex),
    K460_ORDINAL(ORD_McmdBeginElement, McmdBeginElement), K460_ORDINAL(ORD_McmdEndElement, McmdEndElement),
    K460_ORDINAL(ORD_McmdAddString, McmdAddString), K460_ORDINAL(ORD_McmdAddNumber, McmdAddNumber),
    K460_ORDINAL(ORD_McmdAddHex, McmdAddHex), K460_ORDINAL(ORD_McmdStringToNumber, McmdStringToNumber),
    K460_ORDINAL(ORD_McmdHexToNumber, McmdHexToNumber));
