// Creating and releasing the page store of a document printed in booklet or
// reverse order. The store lives in the sink parameters of the stream
// (pBooklet_Reverse_Info and pPageStore); it releases itself when it has
// replayed the document at BOOKLET_REVERSE_END_DOC.
#pragma once

#include "driver/pcl/printer_common/nt/pclxl/xlstream.h"

// Gives the sink parameters a new, empty page store. FALSE when it cannot be
// made.
BOOL InitBooklet_Reverseprint(DevParams* pdevparams);
// Releases a store that never saw the end of its document (a stream given
// up before DrvEndDoc). Safe when there is none.
void FreeBooklet_Reverseprint(DevParams* pdevparams);
